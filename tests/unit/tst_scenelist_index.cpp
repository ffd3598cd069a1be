// The matching table's saved text form and the asset library index.
#include "scenelist/LibraryIndex.h"
#include "scenelist/MatchingTable.h"
#include "support/ProductionValues.h"

#include "RecordedUser.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <utime.h>

namespace {

bool setModified(const QString &path, const QDateTime &time)
{
    const auto seconds = time_t(time.toSecsSinceEpoch());
    const utimbuf times{seconds, seconds};
    return ::utime(QFile::encodeName(path).constData(), &times) == 0;
}

} // namespace

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
        for (const char *file : {"a/char_a.png", "b/char_a.png", "b/Char_B.psd", "b/notes.txt",
                                 "b/Dup.png", "b/DUP.png"})
            QVERIFY(writeFile(lib(file)));
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("found");
        // This disk tells case apart: a name is returned as asked only where that file exists.
        QTest::newRow("first folder wins, spelled as on disk")
            << "Char_A.PNG" << QStringList{"a/char_a.png"};
        QTest::newRow("as asked where it exists") << "DUP.png" << QStringList{"b/DUP.png"};
        QTest::newRow("wildcard, lower-cased")
            << "CHAR_*.P?G" << QStringList{"a/char_a.png", "b/char_a.png"};
        QTest::newRow("wildcard, spelled as on disk")
            << "char_[ab].ps*" << QStringList{"b/Char_B.psd"};
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
        QCOMPARE(names(library), found);
    }

    void wildcardEntryAndMissingEntry()
    {
        QVERIFY(writeFile(lib("e/x/chars/bob.png")));
        QVERIFY(writeFile(lib("e/y/chars/bob.png")));
        QVERIFY(writeFile(lib("e/y/props/cup.png")));
        const LibraryIndex index = collect({lib("e/*/chars"), "  ", lib("e/gone")}, 0);
        QCOMPARE(index.folders(), QStringList({lib("e/x/chars"), lib("e/y/chars"), lib("e/gone")}));
        QCOMPARE(index.recordCount(), 2);
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

    // Links between siblings, to an ancestor, and out of the library to a folder that links
    // back to itself: each folder is read once and each file indexed once, whatever the depth.
    void linkedFoldersAreWalkedOnce_data()
    {
        for (const char *file : {"k/lib/a/chars/x.png", "k/lib/b/chars/y.png", "k/ext/z.png"})
            QVERIFY(writeFile(lib(file)));
        QVERIFY(QDir().mkpath(lib("k/lib/c")));
        const QStringList links{"lib/a/l1>../b", "lib/a/l2>../b", "lib/b/l1>../a",
                                "lib/b/l2>../a", "lib/c/up>..",   "lib/c/out>../../ext",
                                "ext/again>."};
        for (const QString &link : links)
            QVERIFY(QFile::link(link.section('>', 1), lib("k/" + link.section('>', 0, 0))));
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("folders");
        // Full recursion reads lib, a, a/chars, b, b/chars, c and ext (as c/out); the wildcard
        // search lists lib, a, b, c and ext, then the two chars folders are read.
        QTest::newRow("full recursion")
            << "lib" << 99 << QStringList{"x.png", "y.png", "z.png"} << 7;
        QTest::newRow("wildcard entry, no recursion")
            << "lib/*/chars" << 0 << QStringList{"x.png", "y.png"} << 2;
    }

    void linkedFoldersAreWalkedOnce()
    {
        QFETCH(QString, entry);
        QFETCH(int, depth);
        QFETCH(QStringList, files);
        QFETCH(int, folders);
        const LibraryIndex index = collect({lib("k/" + entry)}, depth);
        QCOMPARE(names(index), files);
        QCOMPARE(index.folders().size(), folders);
        QCOMPARE(index.folderReads(), 7);
        // A folder is indexed by its own path, never through a link inside the library.
        QCOMPARE(index.folders().filter(QRegularExpression("/(l1|l2|up)(/|$)")), QStringList());
    }

    // Between two scenes of a batch a file is added to one folder and one removed from another:
    // a refresh reads those two folders again and gives what a full collection gives.
    void refreshReadsOnlyChangedFolders()
    {
        for (const char *file : {"r/a/one.png", "r/a/two.png", "r/b/three.png", "r/c/four.png"})
            QVERIFY(writeFile(lib(file)));
        backdate({"r", "r/a", "r/b", "r/c"});
        LibraryIndex index = collect({lib("r")}, 1);
        const int reads = index.folderReads();
        QCOMPARE(reads, 4);
        QVERIFY(index.refresh({lib("r")}, 1, kFilters, ProductionValues()));
        QCOMPARE(index.folderReads(), reads); // nothing changed: nothing read

        QVERIFY(writeFile(lib("r/a/zero.png")));
        QVERIFY(QFile::remove(lib("r/b/three.png")));
        QVERIFY(index.refresh({lib("r")}, 1, kFilters, ProductionValues()));
        QCOMPARE(index.folderReads(), reads + 2);
        const LibraryIndex full = collect({lib("r")}, 1);
        QCOMPARE(names(index), names(full));
        QCOMPARE(index.folders(), full.folders());
        QVERIFY(names(index).contains("zero.png"));
        QVERIFY(!names(index).contains("three.png"));
        QStringList results;
        QVERIFY(index.findFiles("ZERO.png", &results));
        QCOMPARE(results, QStringList{lib("r/a/zero.png")});
        QVERIFY(!index.findFiles("three.png", &results));
    }

    // A new subfolder is walked; a folder that disappears leaves with its files.
    void refreshFollowsNewAndRemovedFolders()
    {
        QVERIFY(writeFile(lib("n/old/gone.png")));
        QVERIFY(writeFile(lib("n/kept.png")));
        LibraryIndex index = collect({lib("n")}, 99);
        QVERIFY(QDir(lib("n/old")).removeRecursively());
        QVERIFY(writeFile(lib("n/new/deep/found.png")));
        QVERIFY(index.refresh({lib("n")}, 99, kFilters, ProductionValues()));
        QCOMPARE(names(index), QStringList({"kept.png", "found.png"}));
        QCOMPARE(index.folders(), collect({lib("n")}, 99).folders());
    }

private:
    QString lib(const QString &relative) const { return m_tmp.path() + "/" + relative; }
    LibraryIndex collect(const QStringList &entries, int depth) const
    {
        LibraryIndex index;
        index.collect(entries, depth, kFilters, ProductionValues());
        return index;
    }
    static QStringList names(const LibraryIndex &index)
    {
        QStringList names;
        for (int i = 0; i < index.recordCount(); ++i)
            names << index.recordName(i);
        return names;
    }
    // Folder times an hour back: a folder changed within two seconds of its reading is read
    // again at the next refresh, however little time has passed.
    void backdate(const QStringList &folders) const
    {
        const QDateTime past = QDateTime::currentDateTime().addSecs(-3600);
        for (const QString &folder : folders)
            QVERIFY(setModified(lib(folder), past));
    }
    static const QStringList kFilters;
    QTemporaryDir m_tmp;
};

const QStringList TestSceneListIndex::kFilters{"*.png", "*.psd"};

QTEST_GUILESS_MAIN(TestSceneListIndex)
#include "tst_scenelist_index.moc"
