#pragma once

#include <QObject>

class SuiteRegistry;
class FaultPlan;
class TestHost;

// The open project of the test host and the suites that work on it (project, item,
// composition, layer, footage, memory, utility), with the ExtendScript engine.
class ProjectHost : public QObject
{
    Q_OBJECT
public:
    ProjectHost(TestHost &host, SuiteRegistry &suites, FaultPlan &faults,
                QObject *parent = nullptr);
    ~ProjectHost() override;
};
