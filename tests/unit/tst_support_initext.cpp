// The INI text of the configurations against Qt's own INI files: a file Qt wrote reads back as
// Qt reads it, and the text written for keys set in name order is Qt's byte for byte. Hand-made
// files with Qt's quirks (comments, quotes across lines, sections met twice) are seeds of the
// INI fuzz target, whose replay compares both readers on them.
#include "support/IniText.h"

#include "IniReaders.h"
#include "TestFiles.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every key and value of the text as QSettings hands them out when its file is read by Qt's
// INI reader or by ours; each file is new, so QSettings has no copy of it in its cache.
QList<QPair<QString, QByteArray>> readBy(QSettings::Format format, const QByteArray &text)
{
    static int serial = 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("%1.ini").arg(++serial));
    if (!writeFile(path, text))
        return {};
    return settingsContents(path, format);
}

void compareReaders(const QByteArray &text)
{
    const auto qt = readBy(QSettings::IniFormat, text);
    QVERIFY(!qt.isEmpty());
    QCOMPARE(readBy(ourIniFormat(), text), qt);
}

} // namespace

class TestSupportIniText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameTextAsQt_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("plain") << "efImpFolder" << QVariant("Chars/%a");
        QTest::newRow("quotes needed") << "t" << QVariant(" a;b,c=d ");
        QTest::newRow("escapes") << "t"
                                 << QVariant(QString("q\"\\\t\n\x01"
                                                     "1") +
                                             QChar(0));
        QTest::newRow("at sign") << "t" << QVariant("@Variant(x)");
        QTest::newRow("beyond Latin-1")
            << "t" << QVariant(QString::fromUtf8("é日\xF0\x9F\x8E\xAC"));
        QTest::newRow("empty") << "t" << QVariant(QString());
        QTest::newRow("list") << "t" << QVariant(QStringList{"a", "b,c", " d ", "@e"});
        QTest::newRow("empty list") << "t" << QVariant(QStringList());
        QTest::newRow("mixed list") << "t" << QVariant(QVariantList{1, "x", QSize(2, 3)});
        QTest::newRow("bool") << "ckFile" << QVariant(true);
        QTest::newRow("bytes") << "t" << QVariant(QByteArray("\0\1ab\xff", 5));
        QTest::newRow("colour") << "t" << QVariant(QColor(1, 2, 3));
        QTest::newRow("date time") << "t" << QVariant(QDateTime(QDate(2020, 1, 2), QTime(3, 4)));
        QTest::newRow("group and odd key") << QString::fromUtf8("Grp/sub/k éy") << QVariant("v");
        QTest::newRow("group named general") << "general/x" << QVariant(1);
    }

    void sameTextAsQt()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QTemporaryDir dir;
        const QString path = dir.filePath("q.ini");
        {
            QSettings qt(path, QSettings::IniFormat);
            qt.setValue("cbColorSet", 2);
            qt.setValue(key, value);
        }
        const QByteArray text = readFile(path);
        compareReaders(text);
        IniText::Map map{{"cbColorSet", 2}};
        map.insert(key, value);
        QCOMPARE(IniText::write(map), text);
    }

    // A forged element count inside "@Variant(...)" makes Qt allocate without bound, a time
    // stamp in an unknown time zone crashes Qt's writer: such values are not kept, the rest of
    // the file is, and the file can be written again.
    void hostileValuesAreNotKept()
    {
        IniText::Map map = IniText::read("list=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\nk=1\n");
        QVERIFY(!map.value("list").isValid());
        QCOMPARE(map.value("k"), QVariant("1"));
        map = IniText::read(readFile(
            testData("illegal/initext-datetime-unknown-time-zone-crashes-the-writer.ini")));
        QVERIFY(map.contains("dt") && !map.value("dt").isValid());
        QVERIFY(IniText::write(map).contains("dt=@Invalid()"));
    }
};

QTEST_GUILESS_MAIN(TestSupportIniText)
#include "tst_support_initext.moc"
