#include "testhost/app/HostActions.h"

void addCoreActions(ActionTable &table)
{
    Q_UNUSED(table)
}
