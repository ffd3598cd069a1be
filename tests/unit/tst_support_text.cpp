// The text and path helpers: path parts in both separator styles, sequence numbers, wildcards,
// placeholders, name cuts, the record splitter of the scene lists, the check of names that
// become file names and the spelling of a path on disk.
#include "support/FileNameCheck.h"
#include "support/PathSpelling.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSupportText : public QObject
{
    Q_OBJECT

private slots:
    // Extension, without extension, file name, base name, directory, sequence prefix.
    void pathParts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("parts");
        const auto row = [](const char *name, const QString &path, const QStringList &parts) {
            QTest::newRow(name) << path << parts;
        };
        row("sequence file", "D:/prod/sc01/A_0012.TGA",
            {"tga", "D:/prod/sc01/A_0012", "A_0012.TGA", "A_0012", "D:/prod/sc01", "A_"});
        row("backslashes", "C:\\a\\b.c\\shot12.png",
            {"png", "C:\\a\\b.c\\shot12", "shot12.png", "shot12", "C:\\a\\b.c", "shot"});
        row("mixed separators", "a\\b/c.d", {"d", "a\\b/c", "c.d", "c", "a\\b", "c"});
        row("two dots", "x/take.v2.exr",
            {"exr", "x/take.v2", "take.v2.exr", "take.v2", "x", "take.v"});
        row("all digits", "dir/0040.tga", {"tga", "dir/0040", "0040.tga", "0040", "dir", ""});
        row("trailing separator", "dir/sub/", {"", "dir/sub/", "", "", "dir/sub", ""});
    }
    void pathParts()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, parts);
        QCOMPARE(QStringList({fileExtension(path), removeExtension(path), fileName(path),
                              baseName(path), fileDirectory(path), sequencePrefix(path)}),
                 parts);
    }

    void sequenceNumber_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("number");
        QTest::newRow("padded") << "shot_0040.png" << 40;
        QTest::newRow("all digits") << "0123" << 123;
        QTest::newRow("digits in directory, dot kept") << "v.12/x" << 0;
        QTest::newRow("extension with digits ignored") << "take7.mp4" << 7;
    }
    void sequenceNumber()
    {
        QFETCH(QString, path);
        QFETCH(int, number);
        QCOMPARE(::sequenceNumber(path), number);
    }

    void wildcards_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wild");
        QTest::addColumn<bool>("match");
        const auto row = [](const char *name, const QString &pattern, const QString &text,
                            bool wild, bool match) {
            QTest::newRow(name) << pattern << text << wild << match;
        };
        row("star crosses slash", "D:/lib/*", "D:/lib/a/b/c", true, true);
        row("question is one char", "sc0?", "sc012", true, false);
        row("case sensitive", "*.TGA", "a.tga", true, false);
        row("set", "sc[0-2]", "sc1", false, true);
        row("dot is literal", "a.b", "axb", false, false);
        row("plus literal in wildcard", "a+*", "aa", true, false);
        row("unclosed bracket literal", "a[b*", "a[bcd", true, true);
        row("star matches empty", "ab*", "ab", true, true);
    }
    void wildcards()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, wild);
        QFETCH(bool, match);
        QCOMPARE(hasWildcard(pattern), wild);
        QCOMPARE(wildcardMatch(pattern, text), match);
    }

    void padNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("padded");
        QTest::newRow("short") << "7" << 2 << "07";
        QTest::newRow("letter not counted") << "12a" << 3 << "012a";
        QTest::newRow("never truncates") << "12345" << 2 << "12345";
        QTest::newRow("leading zeros dropped first") << "0007" << 2 << "07";
    }
    void padNumber()
    {
        QFETCH(QString, number);
        QFETCH(int, width);
        QFETCH(QString, padded);
        QCOMPARE(::padNumber(number, width), padded);
    }

    void expandPlaceholder_data()
    {
        QTest::addColumn<QString>("templ");
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expanded");
        const auto row = [](const char *name, const QString &templ, char letter,
                            const QString &value, const QString &expanded) {
            QTest::newRow(name) << templ << QChar(letter) << value << expanded;
        };
        row("episode", "ML01_EP%02e_%a", 'e', "5", "ML01_EP05_%a");
        row("adjacent widths", "%02e%02e", 'e', "5", "0505");
        row("empty value keeps", "EP%02e", 'e', "", "EP%02e");
        row("width needs leading 0", "%12e", 'e', "3", "%12e");
        row("value holding placeholder not re-expanded", "%e-%e", 'e', "%e", "%e-%e");
        row("value ending in percent", "%e%e", 'e', "x%", "x%x%");
        row("regex letter", "a%.b", '.', "Z", "aZb");
    }
    void expandPlaceholder()
    {
        QFETCH(QString, templ);
        QFETCH(QChar, letter);
        QFETCH(QString, value);
        QFETCH(QString, expanded);
        QCOMPARE(::expandPlaceholder(templ, letter, value), expanded);
    }

    void cutName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cuts");
        QTest::addColumn<QString>("cut");
        const auto row = [](const char *name, const QString &text, const QString &cuts,
                            const QString &cut) { QTest::newRow(name) << text << cuts << cut; };
        row("texts", "ABC_sc012_v3", "ABC_:_v", "sc012");
        row("start missing", "ABC_sc012_v3", "X:_v", "ABC_sc012");
        row("end missing", "ABC_sc012_v3", ":Q", "");
        row("removals", "ABC_sc012_v3", "::_:c", "ABCs012v3");
        row("negative counts change nothing", "ABC", "-1:-1", "ABC");
        row("last occurrence of end", "a_b_c", ":_", "a_b");
    }
    void cutName()
    {
        QFETCH(QString, text);
        QFETCH(QString, cuts);
        QFETCH(QString, cut);
        QCOMPARE(::cutName(text, cuts, ':'), cut);
    }

    void splitRecords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("records"); // records joined by "|", fields by ","
        const auto row = [](const char *name, const QString &text, const QString &records) {
            QTest::newRow(name) << text << records;
        };
        row("quoted separator and doubled quote", "a;\"b;c\";\"say \"\"hi\"\"\"\r\n",
            "a,b;c,say \"hi\"");
        row("blank lines skipped", "\r\n\r\nx;y\n\nz\n", "x,y|z");
        row("last record without line break", "x;y\nz;w", "x,y|z,w");
        row("last record inside open quotes", "x\n\"a;b", "x|a;b");
        row("line break inside quotes", "\"l1\nl2\";b\n", "l1\nl2,b");
        row("lone CR ends record", "a\rb\r", "a|b");
        row("NUL ends the text", QString("a;b\n") + QChar(0) + "c;d\n", "a,b");
    }
    void splitRecords()
    {
        QFETCH(QString, text);
        QFETCH(QString, records);
        QStringList flat;
        for (const QStringList &record : ::splitRecords(text, ';'))
            flat.append(record.join(','));
        QCOMPARE(flat.join('|'), records);
    }

    void listText_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma inside an item")
            << QStringList{"/lib/Chars, Props", "/lib/BG"} << "/lib/Chars[VIRGULE] Props,/lib/BG";
        QTest::newRow("empty items kept") << QStringList{"a", "", "b"} << "a,,b";
        QTest::newRow("empty text, one empty item") << QStringList{""} << "";
    }
    void listText()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        QCOMPARE(::joinListText(items), text);
        QCOMPARE(::splitListText(text), items);
    }

    void findDirectories()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        for (const char *dir : {"lib/a/chars/hero", "lib/a/props", "lib/b/c/chars/villain",
                                "lib/d/chars", "other/chars/x"})
            QVERIFY(QDir(root).mkpath(dir));
        QVERIFY(QFile(root + "/lib/a/chars/file").open(QIODevice::WriteOnly)); // not a folder

        QStringList found;
        QVERIFY(::findDirectories(root + "/lib/*/chars/*", found, "FUNCTION_START"));
        found.sort();
        QCOMPARE(found, QStringList({root + "/lib/a/chars/hero", root + "/lib/b/c/chars/villain"}));
        // Native separators in the pattern are accepted.
        found.clear();
        QVERIFY(::findDirectories(QDir::toNativeSeparators(root + "/lib/?/props"), found,
                                  "FUNCTION_START"));
        QCOMPARE(found, QStringList({root + "/lib/a/props"}));
        // A root that does not exist, or none at all (rather than the working directory).
        found.clear();
        QVERIFY(!::findDirectories(root + "/none/*", found, "FUNCTION_START"));
        QVERIFY(!::findDirectories("*/chars", found, "FUNCTION_START"));
        QVERIFY(found.isEmpty());
        // Without a wildcard the folder itself is added when it exists.
        found = QStringList{"kept"};
        QVERIFY(::findDirectories(root + "/lib/d", found, "FUNCTION_START"));
        QVERIFY(!::findDirectories(root + "/lib/e", found, "FUNCTION_START"));
        QCOMPARE(found, QStringList({"kept", root + "/lib/d"}));
    }

    // Names from lists that become one file or folder name: the reason a name is refused.
    void fileNameProblem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem"); // a word of the reason; empty: accepted
        const auto row = [](const char *tag, const QString &name, const QString &problem) {
            QTest::newRow(tag) << name << problem;
        };
        row("plain", "SC010", "");
        row("blanks, brackets, accents", " SC 010 (retake) é", "");
        row("dots inside", "SC.010..v2", "");
        row("device name inside a longer one", "CONSOLE", "");
        row("blank", "  ", "empty");
        row("dot", ".", "folder");
        row("dot dot", "..", "folder");
        row("climbs out", "../../esc", "separator");
        row("backslash", "a\\b", "separator");
        row("drive", "C:esc", "':'");
        row("control character", "SC\t010", "control");
        row("question mark", "SC?", "'?'");
        row("quote", "SC\"1", "'\"'");
        row("trailing dot", "SC010.", "dot");
        row("trailing space", "SC010 ", "space");
        row("device", "NUL", "device");
        row("device with extension, lower case", "com1.aep", "device");
        row("printer port", "LPT9", "device");
    }
    void fileNameProblem()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        const QString found = ::fileNameProblem(name);
        QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.contains(problem), qPrintable(found));
        QCOMPARE(isSafeFileName(name), problem.isEmpty());
    }

    // A path named in another case than on disk comes back as the disk spells it.
    void spellingOnDisk()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        QVERIFY(QDir(root).mkpath("Movies"));
        QVERIFY(QFile(root + "/Movies/SC002.mov").open(QIODevice::WriteOnly));
        QVERIFY(QFile(root + "/Movies/sc003.MOV").open(QIODevice::WriteOnly));
        QVERIFY(QFile(root + "/Movies/SC003.mov").open(QIODevice::WriteOnly));
        QCOMPARE(::spellingOnDisk(root + "/movies/sc002.MOV"), root + "/Movies/SC002.mov");
        QCOMPARE(::spellingOnDisk(root + "/Movies/sc003.MOV"), root + "/Movies/sc003.MOV");
        QCOMPARE(::spellingOnDisk(root + "/Movies/SC004.mov"), root + "/Movies/SC004.mov");
        QCOMPARE(::spellingOnDisk(root + "/none/sc002.mov"), root + "/none/sc002.mov");
    }
};

QTEST_GUILESS_MAIN(TestSupportText)
#include "tst_support_text.moc"
