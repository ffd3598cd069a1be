#include "testhost/project/ProjectHost.h"

ProjectHost::ProjectHost(TestHost &, SuiteRegistry &, FaultPlan &, QObject *parent)
    : QObject(parent)
{
}

ProjectHost::~ProjectHost() = default;
