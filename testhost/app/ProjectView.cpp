#include "testhost/app/ProjectView.h"

// Placeholder until the project view is written: the window shows no project dock.
QWidget *createProjectView(TestHost &, QWidget *)
{
    return nullptr;
}
