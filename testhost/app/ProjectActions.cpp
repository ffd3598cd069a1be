#include "testhost/app/HostActions.h"

void addProjectActions(ActionTable &table)
{
    Q_UNUSED(table)
}
