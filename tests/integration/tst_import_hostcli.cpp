// cellkit-host --import as the demo runs it: the sample scenes written by --make-samples,
// only the scenes named by --scene imported, one saved project each, and the summary printed.
#include "HostProcess.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestImportHostCli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void importsTheNamedSampleScenesInBatchMode()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString scenes = tmp.filePath(QStringLiteral("scenes"));
        // Relative paths, from the temporary folder: the import makes each scene folder the
        // current one, and the outputs still land where the command line meant.
        const HostProcessRun run = runHost(
            {"--config-dir", "config", "--make-samples", "scenes", "--command", "cellKit",
             "--set", "ckImpNewProject=true", "--set", "cbImpPrecomp=1", "--set",
             "efImpFileExtensions=*.png,*.tga", "--import", "scenes", "--scene", "SC03_tga",
             "--scene", "SC02_tree", "--dump", "dump.json", "--log", "log.txt"},
            QProcessEnvironment::systemEnvironment(), tmp.path());
        QVERIFY2(run.code == 0, qPrintable(run.err));
        for (const char *output : {"dump.json", "log.txt"}) {
            QVERIFY2(QFileInfo::exists(tmp.filePath(output)), output);
            QVERIFY(!QFileInfo::exists(scenes + "/SC03_tga/" + output));
        }

        QVERIFY(QFileInfo::exists(scenes + "/SC02_tree/SC02_tree.aep"));
        QVERIFY(QFileInfo::exists(scenes + "/SC03_tga/SC03_tga.aep"));
        QVERIFY(!QFileInfo::exists(scenes + "/SC01_alpha/SC01_alpha.aep"));
        QVERIFY(!run.out.contains(QLatin1String("SC01_alpha\n")));

        // Scenes come in list order, whatever the order of --scene; the TGA sequence is one
        // layer, and each sub-folder of the tree became a precomposition, the background's at
        // the bottom of the stack (under the effects and the character).
        const int tree = run.out.indexOf(QLatin1String("SC02_tree\n"));
        const int tga = run.out.indexOf(QLatin1String("SC03_tga\n"));
        QVERIFY2(tree >= 0 && tga > tree, qPrintable(run.out));
        QVERIFY(run.out.indexOf(QLatin1String("1. T[0001-0006].tga"), tga) > tga);
        QVERIFY2(run.out.indexOf(QLatin1String("3. 3_BG  <- composition \"3_BG\""), tree) > tree,
                 qPrintable(run.out));
        const int fx = run.out.indexOf(QLatin1String("composition \"1_FX\""), tree);
        QVERIFY2(fx > tree && fx < tga, qPrintable(run.out));
        QVERIFY(run.out.indexOf(QLatin1String("1. Glow[0001-0008].png"), fx) > fx);
    }

    void sceneWithoutImportIsRefused()
    {
        const HostProcessRun run = runHost({"--scene", "SC01"});
        QCOMPARE(run.code, 1);
        QVERIFY(run.err.contains(QLatin1String("--scene belongs after --import")));
    }
};

QTEST_MAIN(TestImportHostCli)
#include "tst_import_hostcli.moc"
