#include "testhost/app/HostActions.h"

void addPanelActions(ActionTable &table)
{
    Q_UNUSED(table)
}
