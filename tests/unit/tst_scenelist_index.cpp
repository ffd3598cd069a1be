// The matching table's saved text form and the asset library index.
#include "scenelist/LibraryIndex.h"
#include "scenelist/MatchingTable.h"
#include "support/ProductionValues.h"

#include "RecordedUser.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSceneListIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cell"); // row 0's cell in the saved form
        QTest::newRow("escaped separators") << "1,1,6,a[VIRGULE]b[POINT_VIRGULE]c" << 4 << "a,b;c";
        QTest::newRow("combo not a number") << "x,2" << 1 << "0";
        QTest::newRow("combo outside its list") << "7,31" << 1 << "-1";
        QTest::newRow("values past column 13") << "1,1,1,,,,,,,,,,Comm,extra" << 13 << "Comm";
    }

    void tableText()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(QString, cell);
        QCOMPARE(MatchingTable::fromText(text).row(0).cellText(column), cell);
    }

    void tableRoundTripKeepsEveryCell()
    {
        QStringList rows;
        for (int r = 0; r < 30; ++r) { // more rows than the table: the extra ones are dropped
            const QString n = QString::number(r);
            rows << "1," + n + ",6,6:,EP%02e_%a,png psd,DIR" + n + ",L[VIRGULE]" + n + ",1," +
                        n.rightJustified(3, '0') + ",2,\"fishMode\":\"shotgun\",c[POINT_VIRGULE]";
        }
        const QString text = rows.mid(0, MatchingTable::RowCount).join(';');
        const MatchingTable table = MatchingTable::fromText(rows.join(';'));
        QCOMPARE(table.saveToText(), text);
        QCOMPARE(table.row(1).layerName, QStringLiteral("L,1"));
        QCOMPARE(table.extensions(1, MatchingTable::Filter), QStringList({"*.png", "*.psd"}));
        QCOMPARE(table.firstExtension(1), QStringLiteral(".png"));
        QCOMPARE(table.nameFilters(), QStringList({"*.png", "*.psd"}));
    }

    void inactiveRowsAreNotUsed()
    {
        const QString text = "1,2,6;1,2,6;2,0,6;1,2,6";
        MatchingTable table = MatchingTable::fromText(text, "1,x,99,-1");
        QCOMPARE(table.rowsForColumn(2), QList<int>({0, 3}));
        QCOMPARE(table.rowsWithOrigin(OriginSceneName, true), QList<int>({2}));
        QCOMPARE(table.inactiveRowsText(), QStringLiteral("1"));
        table.loadInactiveRows(QString()); // no key: every row ticked
        QCOMPARE(table.rowsForColumn(2), QList<int>({0, 1, 3}));
    }

    void findFiles_data()
    {
        for (const char *file : {"a/char_a.png", "b/char_a.png", "b/Char_B.psd", "b/notes.txt"})
            QVERIFY(writeFile(lib(file)));
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("first folder wins, name as asked")
            << "Char_A.PNG" << QStringList{"a/Char_A.PNG"};
        QTest::newRow("wildcard, lower-cased")
            << "CHAR_*.P?G" << QStringList{"a/char_a.png", "b/char_a.png"};
        QTest::newRow("set in wildcard") << "char_[ab].ps*" << QStringList{"b/char_b.psd"};
        QTest::newRow("filtered out") << "notes.txt" << QStringList();
    }

    void findFiles()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, found);
        const LibraryIndex index = collect({lib("a"), lib("b")}, 0);
        QStringList results;
        QCOMPARE(index.findFiles(name, &results), !found.isEmpty());
        for (QString &path : found)
            path = lib(path);
        QCOMPARE(results, found);
    }

    void folderSearchIsCaseSensitive()
    {
        QVERIFY(writeFile(lib("c/CHARS/x.png")));
        const LibraryIndex index = collect({lib("c")}, 1);
        QStringList results;
        QVERIFY(index.findFolders("CHARS", &results));
        QCOMPARE(results, QStringList{lib("c/CHARS")});
        QVERIFY(!index.findFolders("chars", &results));
        QVERIFY(index.findFolders("CH*", &results));
    }

    void depths_data()
    {
        QVERIFY(writeFile(lib("d/top.png")));
        QVERIFY(writeFile(lib("d/s1/one.png")));
        QVERIFY(writeFile(lib("d/s1/s2/s3/three.png")));
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("No Recursion") << 0 << QStringList{"top.png"};
        QTest::newRow("/Sub Folders") << 1 << QStringList{"top.png", "one.png"};
        QTest::newRow("Full Recursion") << 3 << QStringList{"top.png", "one.png", "three.png"};
    }

    void depths()
    {
        QFETCH(int, index);
        QFETCH(QStringList, found);
        const LibraryIndex library =
            collect({lib("d")}, LibraryIndex::depthForRecursionIndex(index));
        QStringList names;
        for (const LibraryIndex::Record &record : library.records())
            names << record.name;
        QCOMPARE(names, found);
    }

    void wildcardEntryAndMissingEntry()
    {
        QVERIFY(writeFile(lib("e/x/chars/bob.png")));
        QVERIFY(writeFile(lib("e/y/chars/bob.png")));
        QVERIFY(writeFile(lib("e/y/props/cup.png")));
        const LibraryIndex index = collect({lib("e/*/chars"), "  ", lib("e/gone")}, 0);
        QCOMPARE(index.folders(), QStringList({lib("e/x/chars"), lib("e/y/chars"), lib("e/gone")}));
        QCOMPARE(index.records().size(), 2);
        QStringList results;
        QVERIFY(index.findFolders("gone", &results));
    }

    void hashAgreesWithTheWalk()
    {
        // Case folding, not lower-casing: the long s folds to s, the sharp s stays itself.
        const QString files = QString::fromUtf8("\xc5\xbftar.png|Stra\xc3\x9f"
                                                "e.PNG|\xc3\x89t\xc3\xa9.png");
        for (const QString &file : files.split('|'))
            QVERIFY(writeFile(lib("h/" + file)));
        const LibraryIndex index = collect({lib("h")}, 0);
        const QStringList names =
            QString::fromUtf8("STAR.png|star.PNG|strasse.png|STRASSE.PNG|stra\xc3\x9f"
                              "e.png|"
                              "\xc3\xa9t\xc3\x89.PNG")
                .split('|');
        QStringList results;
        for (const QString &name : names) {
            index.findFiles(name, &results);
            QCOMPARE(results.value(0), index.findFileByWalk(name));
        }
        QVERIFY(!index.findFileByWalk("STAR.png").isEmpty());
    }

    void linkBackToAParentEndsTheScan()
    {
        QVERIFY(writeFile(lib("k/a/x.png")));
        QVERIFY(QFile::link(lib("k"), lib("k/a/up")));
        const LibraryIndex index = collect({lib("k")}, 99);
        QCOMPARE(index.records().size(), 1);
    }

private:
    QString lib(const QString &relative) const { return m_tmp.path() + "/" + relative; }
    LibraryIndex collect(const QStringList &entries, int depth) const
    {
        LibraryIndex index;
        index.collect(entries, depth, {"*.png", "*.psd"}, ProductionValues());
        return index;
    }
    QTemporaryDir m_tmp;
};

QTEST_GUILESS_MAIN(TestSceneListIndex)
#include "tst_scenelist_index.moc"
