#pragma once
// Runs the cellkit-host program under test (CELLKIT_TEST_HOST) headless and keeps what it said.
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct HostProcessRun
{
    int code = -1; // -1: did not finish in time, -2: crashed
    QString out;
    QString err;
};

HostProcessRun runHost(const QStringList &args,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
