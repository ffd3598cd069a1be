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

// `folder`: the working folder of the run (empty: this test's).
HostProcessRun runHost(const QStringList &args,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
                       const QString &folder = QString());

// Runs this test program again as a child with `variable` set to `scenario` (for checks that
// need a fresh process, e.g. with or without a Qt application). True when the child ended
// normally with status 0; output receives what it printed.
bool runSelfScenario(const QString &variable, const QByteArray &scenario, QByteArray *output);
