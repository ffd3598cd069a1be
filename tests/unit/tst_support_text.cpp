#include "support/TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSupportText : public QObject
{
    Q_OBJECT

private slots:
    void pathParts_data();
    void pathParts();
    void sequenceNumber_data();
    void sequenceNumber();
    void wildcardRoot_data();
    void wildcardRoot();
    void eightBit_data();
    void eightBit();
    void wildcards_data();
    void wildcards();
    void matchesAny();
    void padNumber_data();
    void padNumber();
    void expandPlaceholder_data();
    void expandPlaceholder();
    void cutName_data();
    void cutName();
    void splitRecords_data();
    void splitRecords();
    void splitRecordsStopsAtNul();
    void findDirectories();
    void findDirectoriesWithoutWildcard();
};

void TestSupportText::pathParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("noExt");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("sequence file") << "D:/prod/sc01/A_0012.TGA" << "tga" << "D:/prod/sc01/A_0012"
                                   << "A_0012.TGA" << "A_0012" << "D:/prod/sc01" << "A_";
    QTest::newRow("backslashes") << "C:\\a\\b.c\\shot12.png" << "png" << "C:\\a\\b.c\\shot12"
                                 << "shot12.png" << "shot12" << "C:\\a\\b.c" << "shot";
    QTest::newRow("dot in directory") << "scene.dir/file" << "dir/file" << "scene.dir/file"
                                      << "file" << "file" << "scene.dir" << "file";
    QTest::newRow("dot in backslash directory") << "scene.dir\\file" << "dir\\file"
                                                << "scene.dir\\file" << "file" << "file"
                                                << "scene.dir" << "file";
    QTest::newRow("mixed separators") << "a\\b/c.d" << "d" << "a\\b/c" << "c.d" << "c" << "a\\b"
                                      << "c";
    QTest::newRow("two dots") << "x/take.v2.exr" << "exr" << "x/take.v2" << "take.v2.exr"
                              << "take.v2" << "x" << "take.v";
    QTest::newRow("bare name") << "name" << "" << "name" << "name" << "name" << "" << "name";
    QTest::newRow("empty") << "" << "" << "" << "" << "" << "" << "";
    QTest::newRow("all digits") << "dir/0040.tga" << "tga" << "dir/0040" << "0040.tga" << "0040"
                                << "dir" << "";
    QTest::newRow("trailing separator") << "dir/sub/" << "" << "dir/sub/" << "" << "" << "dir/sub"
                                        << "";
}

void TestSupportText::pathParts()
{
    QFETCH(QString, path);
    QFETCH(QString, ext);
    QFETCH(QString, noExt);
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QString, dir);
    QFETCH(QString, prefix);
    QCOMPARE(fileExtension(path), ext);
    QCOMPARE(removeExtension(path), noExt);
    QCOMPARE(fileName(path), name);
    QCOMPARE(baseName(path), base);
    QCOMPARE(fileDirectory(path), dir);
    QCOMPARE(sequencePrefix(path), prefix);
}

void TestSupportText::sequenceNumber_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("number");
    QTest::newRow("padded") << "shot_0040.png" << 40;
    QTest::newRow("no digits") << "shot.png" << 0;
    QTest::newRow("all digits") << "0123" << 123;
    QTest::newRow("digits inside only") << "a12b.tga" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("digits in directory, dot kept") << "v.12/x" << 0;
    QTest::newRow("extension with digits ignored") << "take7.mp4" << 7;
}

void TestSupportText::sequenceNumber()
{
    QFETCH(QString, path);
    QFETCH(int, number);
    QCOMPARE(::sequenceNumber(path), number);
}

void TestSupportText::wildcardRoot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("root");
    QTest::newRow("two wildcards") << "D:/lib/*/chars/*" << "D:/lib";
    QTest::newRow("question mark") << "/a/b?/c" << "/a";
    QTest::newRow("none") << "/a/b/c" << "/a/b/c";
    QTest::newRow("no slash") << "a*" << "";
    QTest::newRow("backslash is no separator") << "D:\\lib\\*" << "";
    QTest::newRow("leading wildcard") << "*/x" << "";
}

void TestSupportText::wildcardRoot()
{
    QFETCH(QString, path);
    QFETCH(QString, root);
    QCOMPARE(::wildcardRoot(path), root);
}

// Columns: input, cFileName result, cCutAtDirectory result, cRemoveExtension result.
void TestSupportText::eightBit_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("dir");
    QTest::addColumn<QByteArray>("noExt");
    QTest::newRow("plain") << QByteArray("d/sc.1/a.tga") << QByteArray("a.tga")
                           << QByteArray("d/sc.1") << QByteArray("d/sc.1/a");
    QTest::newRow("backslash") << QByteArray("d\\a.b") << QByteArray("a.b") << QByteArray("d")
                               << QByteArray("d\\a");
    QTest::newRow("dot only in directory") << QByteArray("d.x/a") << QByteArray("a")
                                           << QByteArray("d.x") << QByteArray("d.x/a");
    QTest::newRow("leading separator ignored") << QByteArray("/abc") << QByteArray("/abc")
                                               << QByteArray("") << QByteArray("/abc");
    QTest::newRow("leading dot ignored") << QByteArray(".hidden") << QByteArray(".hidden")
                                         << QByteArray("") << QByteArray(".hidden");
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << QByteArray("")
                           << QByteArray("");
}

void TestSupportText::eightBit()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, dir);
    QFETCH(QByteArray, noExt);

    QByteArray a = path;
    QCOMPARE(QByteArray(cFileName(a.data())), name);
    QByteArray b = path;
    cCutAtDirectory(b.data());
    QCOMPARE(QByteArray(b.constData()), dir);
    QByteArray c = path;
    cRemoveExtension(c.data());
    QCOMPARE(QByteArray(c.constData()), noExt);
}

void TestSupportText::wildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wild");
    QTest::addColumn<bool>("match");
    QTest::newRow("star crosses slash") << "D:/lib/*" << "D:/lib/a/b/c" << true << true;
    QTest::newRow("star in middle") << "/p/*/chars" << "/p/x/y/chars" << true << true;
    QTest::newRow("question") << "sc0?" << "sc01" << true << true;
    QTest::newRow("question is one char") << "sc0?" << "sc012" << true << false;
    QTest::newRow("case sensitive") << "*.TGA" << "a.tga" << true << false;
    QTest::newRow("set") << "sc[0-2]" << "sc1" << false << true;
    QTest::newRow("set miss") << "sc[0-2]" << "sc5" << false << false;
    QTest::newRow("negated set") << "sc[!0-2]" << "sc5" << false << true;
    QTest::newRow("dot is literal") << "a.b" << "axb" << false << false;
    QTest::newRow("regex chars literal") << "a+(b)$" << "a+(b)$" << false << true;
    QTest::newRow("plus literal in wildcard") << "a+*" << "aa" << true << false;
    QTest::newRow("unclosed bracket literal") << "a[b*" << "a[bcd" << true << true;
    QTest::newRow("whole text only") << "abc" << "xabcx" << false << false;
    QTest::newRow("equal texts") << "x" << "x" << false << true;
    QTest::newRow("star matches empty") << "ab*" << "ab" << true << true;
}

void TestSupportText::wildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, wild);
    QFETCH(bool, match);
    QCOMPARE(hasWildcard(pattern), wild);
    QCOMPARE(wildcardMatch(pattern, text), match);
}

void TestSupportText::matchesAny()
{
    const QStringList patterns{"*.tga", "*.png", "thumb?"};
    QVERIFY(::matchesAny(patterns, "a.png"));
    QVERIFY(::matchesAny(patterns, "thumb1"));
    QVERIFY(!::matchesAny(patterns, "a.exr"));
    QVERIFY(!::matchesAny(QStringList(), "a.png"));
}

void TestSupportText::padNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("padded");
    QTest::newRow("short") << "7" << 2 << "07";
    QTest::newRow("letter not counted") << "12a" << 3 << "012a";
    QTest::newRow("zero") << "0" << 2 << "00";
    QTest::newRow("never truncates") << "12345" << 2 << "12345";
    QTest::newRow("leading zeros dropped first") << "0007" << 2 << "07";
    QTest::newRow("width zero") << "05" << 0 << "5";
}

void TestSupportText::padNumber()
{
    QFETCH(QString, number);
    QFETCH(int, width);
    QFETCH(QString, padded);
    QCOMPARE(::padNumber(number, width), padded);
}

void TestSupportText::expandPlaceholder_data()
{
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("episode") << "ML01_EP%02e_%a" << "e" << "5" << "ML01_EP05_%a";
    QTest::newRow("scene after episode") << "ML01_EP05_%a" << "a" << "SC010" << "ML01_EP05_SC010";
    QTest::newRow("adjacent widths") << "%02e%02e" << "e" << "5" << "0505";
    QTest::newRow("empty value keeps") << "EP%02e" << "e" << "" << "EP%02e";
    QTest::newRow("case sensitive") << "%E_%e" << "e" << "3" << "%E_3";
    QTest::newRow("width needs leading 0") << "%12e" << "e" << "3" << "%12e";
    QTest::newRow("value holding placeholder not re-expanded") << "%e-%e" << "e" << "%e"
                                                               << "%e-%e";
    QTest::newRow("value ending in percent") << "%e%e" << "e" << "x%" << "x%x%";
    QTest::newRow("width 3") << "%03x" << "x" << "7" << "007";
    QTest::newRow("other letter untouched") << "%02n_%e" << "e" << "9" << "%02n_9";
    QTest::newRow("regex letter") << "a%.b" << "." << "Z" << "aZb";
}

void TestSupportText::expandPlaceholder()
{
    QFETCH(QString, templ);
    QFETCH(QString, letter);
    QFETCH(QString, value);
    QFETCH(QString, expanded);
    QCOMPARE(::expandPlaceholder(templ, letter.at(0), value), expanded);
}

void TestSupportText::cutName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cuts");
    QTest::addColumn<QString>("cut");
    QTest::newRow("texts") << "ABC_sc012_v3" << "ABC_:_v" << "sc012";
    QTest::newRow("counts") << "ABC_sc012_v3" << "4:3" << "sc012";
    QTest::newRow("start missing") << "ABC_sc012_v3" << "X:_v" << "ABC_sc012";
    QTest::newRow("end missing") << "ABC_sc012_v3" << ":Q" << "";
    QTest::newRow("removals") << "ABC_sc012_v3" << "::_:c" << "ABCs012v3";
    QTest::newRow("no cuts") << "ABC" << "" << "ABC";
    QTest::newRow("count beyond text") << "ABC" << "9:" << "";
    QTest::newRow("end count beyond text") << "ABC" << ":9" << "";
    QTest::newRow("negative counts change nothing") << "ABC" << "-1:-1" << "ABC";
    QTest::newRow("last occurrence of end") << "a_b_c" << ":_" << "a_b";
}

void TestSupportText::cutName()
{
    QFETCH(QString, text);
    QFETCH(QString, cuts);
    QFETCH(QString, cut);
    QCOMPARE(::cutName(text, cuts, ':'), cut);
}

void TestSupportText::splitRecords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("records"); // records joined by "|", fields by ","
    QTest::newRow("quoted separator and doubled quote")
        << "a;\"b;c\";\"say \"\"hi\"\"\"\r\n" << "a,b;c,say \"hi\"";
    QTest::newRow("blank lines skipped") << "\r\n\r\nx;y\n\nz\n" << "x,y|z";
    QTest::newRow("unfinished record dropped") << "x;y\nz;w" << "x,y";
    QTest::newRow("line break inside quotes") << "\"l1\nl2\";b\n" << "l1\nl2,b";
    QTest::newRow("empty fields") << ";;\n" << ",,";
    QTest::newRow("lone CR ends record") << "a\rb\r" << "a|b";
    QTest::newRow("empty") << "" << "";
}

void TestSupportText::splitRecords()
{
    QFETCH(QString, text);
    QFETCH(QString, records);
    QStringList flat;
    const QList<QStringList> split = ::splitRecords(text, ';');
    for (const QStringList &record : split)
        flat.append(record.join(','));
    QCOMPARE(flat.join('|'), records);
}

void TestSupportText::splitRecordsStopsAtNul()
{
    QString text = QStringLiteral("a;b\nc;d\n");
    text.insert(4, QChar(0)); // before "c"
    const QList<QStringList> split = ::splitRecords(text, ';');
    QCOMPARE(split.size(), 1);
    QCOMPARE(split.first(), QStringList({"a", "b"}));
}

// Real CSV files. Our splitter has its own rules: a last line without a line break is
// dropped, which the comma_in_quotes sample (no final newline) shows.
void TestSupportText::findDirectories()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString root = tmp.path();
    for (const char *dir : {"lib/a/chars/hero", "lib/a/props", "lib/b/c/chars/villain",
                            "lib/d/chars", "other/chars/x"})
        QVERIFY(QDir(root).mkpath(dir));
    QFile file(root + "/lib/a/chars/file");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    QStringList found;
    QVERIFY(::findDirectories(root + "/lib/*/chars/*", found, "FUNCTION_START"));
    found.sort();
    QCOMPARE(found, QStringList({root + "/lib/a/chars/hero", root + "/lib/b/c/chars/villain"}));

    // Native separators in the pattern are accepted.
    found.clear();
    QVERIFY(::findDirectories(QDir::toNativeSeparators(root + "/lib/?/props"), found,
                              "FUNCTION_START"));
    QCOMPARE(found, QStringList({root + "/lib/a/props"}));

    // A root that does not exist.
    found.clear();
    QVERIFY(!::findDirectories(root + "/none/*", found, "FUNCTION_START"));
    QVERIFY(found.isEmpty());
    // No fixed root at all: nothing to search, rather than the working directory.
    QVERIFY(!::findDirectories("*/chars", found, "FUNCTION_START"));
    QVERIFY(found.isEmpty());
}

void TestSupportText::findDirectoriesWithoutWildcard()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QVERIFY(QDir(tmp.path()).mkpath("one"));
    QStringList found{"kept"};
    QVERIFY(::findDirectories(tmp.path() + "/one", found, "FUNCTION_START"));
    QCOMPARE(found, QStringList({"kept", tmp.path() + "/one"}));
    QVERIFY(!::findDirectories(tmp.path() + "/two", found, "FUNCTION_START"));
    QCOMPARE(found.size(), 2);
}

QTEST_GUILESS_MAIN(TestSupportText)
#include "tst_support_text.moc"
