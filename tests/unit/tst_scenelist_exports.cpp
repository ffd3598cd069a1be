// The scene tree exports, the code conversion table and the external asset query.
#include "scenelist/AssetQuery.h"
#include "scenelist/CodeConversionTable.h"
#include "scenelist/MatchingTable.h"
#include "scenelist/SceneListExport.h"
#include "scenelist/SceneTree.h"

#include "FileSizeLimit.h"
#include "RecordedUser.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

SceneTreeRow element(const QString &name, const QString &file, int cid, int tid, bool found)
{
    QStringList cells{name, {}, {}, file, {}, {}, {}};
    return SceneTreeRow(cells << QString::number(cid) << QString::number(tid)
                              << (found ? "1" : "0"));
}

} // namespace

class TestSceneListExports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        SceneTreeScene twelve({"12"});
        twelve.selected = true;
        twelve.elements << element("a", "a.mov", 0, 3, false)
                        << element("big", "big.png", 1, 8, false)
                        << element("bob", "bob.png", 1, 6, true) << element("90", {}, 2, 2, false);
        SceneTreeScene spaced({"sc 12"});
        spaced.selected = true;
        spaced.elements << element("24", {}, 2, 2, false) << element("48", {}, 2, 2, false)
                        << element("CH9", "CODE-NOT-FOUND[CH9]", 3, 7, false);
        m_tree.appendScene(twelve);
        m_tree.appendScene(SceneTreeScene({"13"}));
        m_tree.appendScene(spaced);
        QVERIFY(QDir().mkpath(path("out")));

        const QString fake = path("fake-python");
        QVERIFY(writeFile(
            fake,
            "#!/bin/sh\ncase \"$2\" in\n none) echo None;;\n error) echo ERROR; echo why;;\n"
            " two) printf '/a/b.png\\r\\n/c d/%s.png\\n' \"$3\";;\n slow) exec sleep 5;;\nesac\n"));
        QFile::setPermissions(fake, QFile::permissions(fake) | QFile::ExeOwner);
        m_query.setInterpreter(fake);
        m_query.setScriptFolder(path("config"));
        QVERIFY(QDir().mkpath(path("config")));
    }

    void init() { m_user.forget(); }
    void shotLedgerExport()
    {
        QVERIFY(m_export.exportShotLedger(path("out"), "Prod", "3"));
        QCOMPARE(readFile(path("out/Prod_03.csv")), QByteArray("012\n0SC12\n"));
        QCOMPARE(readFile(path("out/Prod_03.time")),
                 QByteArray("012;012-sc;90;\n0SC12;0SC12-sc;48;\n"));
        QVERIFY(m_user.log.contains("Scene: 0SC12 NbIma :48"));
        QVERIFY(m_user.prompts.asked().value(0).text.startsWith(
            "The Followings Files have been created with 2 Line(s)\n\n    " +
            path("out/Prod_03.csv")));

        SceneTree none;
        none.appendScene(SceneTreeScene({"12"}));
        QVERIFY(!SceneListExport(none, m_table).exportShotLedger(path("none"), "Prod", "3"));
        QCOMPARE(m_user.prompts.asked().value(1).text,
                 QStringLiteral("No lines Selected ... Abort"));
    }

    // No output folder: both exports refuse, as Create AE does, instead of writing to "/".
    void exportsNeedAnOutputFolder()
    {
        QVERIFY(!m_export.exportShotLedger(QString(), "Prod", "3"));
        QVERIFY(!m_export.createMissingFilesLog(QString()));
        QCOMPARE(m_user.prompts.asked().size(), 2);
        for (const auto &question : m_user.prompts.asked())
            QCOMPARE(question.text, QStringLiteral("Select Destination Directory first"));
    }

    // A scene name that cannot be a file name is left out; a production name that cannot
    // stops the SLG export before anything is written.
    void unsafeNamesAreRefused()
    {
        SceneTree tree;
        for (const char *name : {"../../esc", "SC01"}) {
            SceneTreeScene scene({name});
            scene.selected = true;
            tree.appendScene(scene);
        }
        SceneListExport exporter(tree, m_table);
        QVERIFY(QDir().mkpath(path("names")));
        QVERIFY(exporter.exportShotLedger(path("names"), "Prod", "3"));
        QCOMPARE(readFile(path("names/Prod_03.csv")), QByteArray("0SC01\n"));
        QCOMPARE(m_user.log
                     .filter("-ERR- SLG Export : the scene [../../esc] is not exported: it "
                             "holds a path separator")
                     .size(),
                 1);
        QVERIFY(!exporter.exportShotLedger(path("names"), "../Prod", "3"));
        QVERIFY(!QFileInfo::exists(path("Prod_03.csv"))); // names/../Prod_03.csv
        QCOMPARE(m_user.log.filter("-ERR- SLG Export : the file name [../Prod_03]").size(), 1);
    }

    void missingFilesLog()
    {
        QVERIFY(m_export.createMissingFilesLog(path("out")));
        // Only Movie to Code elements not found: the DocSize and NbIma ones never.
        QCOMPARE(readFile(path("out/MissingFiles.log")),
                 QByteArray("SC : ====== 12 ======\r\nKO : a => a.mov\r\nSC : ====== 13 ======\r\n"
                            "SC : ====== sc 12 ======\r\nKO : CH9 => CODE-NOT-FOUND[CH9]\r\n"));
        QCOMPARE(m_user.prompts.asked().value(0).text,
                 "Error log Created Here :\n\n " + path("out/MissingFiles.log") + "\n\n");
    }

    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("logged");
        QTest::newRow("SLG list") << "Prod_03.csv"
                                  << QString("-ERR- SLG Export : %1 not written: ");
        QTest::newRow("query script") << AssetQuery::scriptFileName()
                                      << QString("-ERR- CreateShotgunScriptApi : %1 not written: ");
    }

    void failedWriteKeepsTheOldFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, logged);
        const bool script = file == AssetQuery::scriptFileName();
        const QString target = path((script ? "config/" : "full/") + file);
        QDir(path("full")).removeRecursively();
        QDir().mkpath(path("full"));
        QFile::remove(target);
        if (!script) // a good file from an earlier export
            QVERIFY(writeFile(target, "previous content\n"));
        const QByteArray before = readFile(target);
        bool ok = true;
        QStringList results;
        {
            const FileSizeLimit limit(4);
            ok = script ? m_query.shotgunQuery("two", &results, "p")
                        : m_export.exportShotLedger(path("full"), "Prod", "3");
        }
        QVERIFY(!ok);
        QCOMPARE(readFile(target), before);
        QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files).size(), script ? 0 : 1);
        const QString reason = m_user.log.filter(logged.arg(target)).value(0);
        QVERIFY2(reason.endsWith("File too large"), qPrintable(m_user.log.join('\n')));
        if (!script)
            QCOMPARE(m_user.prompts.asked().last().text, "Error creating " + target);
    }

    void codeTable_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("answers"); // file name, layer name, layer folder, type
        const QString table = ";A;;;;;PR;MODEL;;DIR;EXPL\n;B;;;;;PR;MODEL;; ;\n;C;;;;;XX;MODEL\n"
                              ";D;;;;;PR;;\n;A;;;;;XX;OTHER\nlast;E;no;line;break";
        const auto row = [&table](const char *name, const QString &code,
                                  const QStringList &answers) {
            QTest::newRow(name) << table << code << answers;
        };
        row("explicit name", "A", {"EXPL.max", "MODEL.max", "DIR", "PR"});
        row("PR gives the plain model", "B", {"MODEL.max", "MODEL.max", "", "PR"});
        row("other types give the clone", "C", {"MODEL_Clone.max", "MODEL.max", "", "XX"});
        row("no model name", "D", {"CODE-NOT-FOUND2[D]", "CODE-NOT-FOUND3[D]", "", "PR"});
        row("last record without line break", "E",
            {"CODE-NOT-FOUND2[E]", "CODE-NOT-FOUND3[E]", "", ""});
        row("unknown code", "Z", {"CODE-NOT-FOUND[Z]", "CODE-NOT-FOUND4[Z]", "", ""});
        QTest::newRow("no table file")
            << QString() << "A"
            << QStringList{"CONVERSION-FILE-NOT-FOUND", "CONVERSION-FILE-NOT-FOUND", "", ""};
    }

    void codeTable()
    {
        QFETCH(QString, records);
        QFETCH(QString, code);
        QFETCH(QStringList, answers);
        CodeConversionTable codes;
        if (!records.isNull()) {
            QVERIFY(writeFile(path("codes.csv"), records.toUtf8()));
            codes.setPath(path("codes.csv"));
            codes.setPath("..."); // ignored
        }
        QCOMPARE(QStringList({codes.conversionFileName(code), codes.conversionLayerName(code),
                              codes.conversionLayerDir(code), codes.conversionType(code)}),
                 answers);
    }

    void query_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("None") << "none" << true << QStringList();
        QTest::newRow("ERROR") << "error" << false << QStringList();
        QTest::newRow("two paths") << "two" << true << QStringList{"/a/b.png", "/c d/param.png"};
        QTest::newRow("past the time limit") << "slow" << false << QStringList();
    }

    void query()
    {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        QFETCH(QStringList, results);
        m_query.setTimeLimits(5000, 300);
        QStringList found{"stale"};
        QCOMPARE(m_query.shotgunQuery(name, &found, "param"), ok);
        QCOMPARE(found, results);
        QCOMPARE(m_user.log.filter("Python Call : ").value(0),
                 "Python Call : " + m_query.scriptPath() + ' ' + name + " param");
        QCOMPARE(m_user.log.filter("no answer for [slow] within 300 ms").size(),
                 int(name == "slow"));
    }

    void queryRewritesADeletedScript()
    {
        QStringList found;
        QVERIFY(m_query.shotgunQuery("none", &found, {}));
        QVERIFY(QFile::remove(m_query.scriptPath()));
        QVERIFY(m_query.shotgunQuery("none", &found, {}));
        QCOMPARE(readFile(m_query.scriptPath()), readFile(":/Scripts/ShotgunApiGet.py"));
        QCOMPARE(m_user.log.filter("-INF- CreateShotgunScriptApi : Creation Fichier ").size(), 1);

        AssetQuery missing;
        missing.setInterpreter(path("no-python"));
        QVERIFY(!missing.shotgunQuery("none", &found, {}));
        QCOMPARE(m_user.prompts.asked().value(0).text,
                 "Python.exe non trouvé [" + path("no-python") + ']');
    }

private:
    QString path(const QString &relative) const { return m_tmp.path() + '/' + relative; }

    QTemporaryDir m_tmp;
    RecordedUser m_user;
    SceneTree m_tree;
    MatchingTable m_table = MatchingTable::fromText(";;2,0,2"); // row 2 is NbIma
    SceneListExport m_export{m_tree, m_table};
    AssetQuery m_query;
};

QTEST_GUILESS_MAIN(TestSceneListExports)
#include "tst_scenelist_exports.moc"
