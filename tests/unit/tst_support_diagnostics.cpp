// The error log's bounded buffer (its text always ends with "<END>" and fits its capacity,
// through every growth and trim), the debug file, and the texts of the fatal and warning boxes.
#include "support/Diagnostics.h"

#include "RecordedUser.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

QByteArray logText(const ErrorLog &log)
{
    return QByteArray(log.text());
}

void checkWellFormed(const ErrorLog &log)
{
    QCOMPARE(int(std::strlen(log.text())), log.length());
    QVERIFY(logText(log).endsWith("<END>"));
    QVERIFY(log.length() < log.capacity());
    QVERIFY(log.length() <= log.maximum());
}

// Fills the log with numbered 10-byte entries until the next one trims it.
void fillUntilFull(ErrorLog &log)
{
    int i = 0;
    while (log.length() + 1 + 10 < log.capacity() || log.length() + 1 + 10 < log.maximum())
        log.append(QByteArray::number(i++).rightJustified(10, '.').constData());
}

} // namespace

class TestSupportDiagnostics : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordedUser m_user;

private slots:
    void initTestCase()
    {
        // Must be set before anything reads the debug switch.
        qputenv("CELLKIT_DEBUG_LOG", QFile::encodeName(m_dir.filePath("debug.log")));
    }
    void init()
    {
        m_user.forget();
        ErrorLog::instance().clear();
    }

    void logErrorEntries_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("two lines") << QByteArray("a\nb") << QByteArray("\r\na\r\nb<END>");
        QTest::newRow("CR kept") << QByteArray("a\rb\n") << QByteArray("\r\na\rb\r\n<END>");
        QByteArray long1001(1000, 'x');
        long1001.prepend('\n');
        QTest::newRow("over 1000 bytes: stored as it is") << long1001 << long1001 + "<END>";
    }
    void logErrorEntries()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stored);
        QCOMPARE(logText(ErrorLog::instance()), QByteArray("<END>"));
        logError(text.constData());
        QCOMPARE(logText(ErrorLog::instance()), stored);
        checkWellFormed(ErrorLog::instance());
        // A second entry follows the first one, the marker moving to the end.
        logError("z");
        QCOMPARE(logText(ErrorLog::instance()), stored.chopped(5) + "\r\nz<END>");
    }

    // Entries of the given sizes appended to a new log; the capacity grows by 1000 bytes, or by
    // the entry and 100 more when the entry is larger, also when it exactly fills the buffer.
    void growth_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("capacity");
        QTest::newRow("by the step") << QList<int>{985, 20} << 2000;
        QTest::newRow("by the entry") << QList<int>{1500, 1000} << 2600;
        QTest::newRow("exactly full") << QList<int>{1500, 1000, 94} << 3600;
    }
    void growth()
    {
        QFETCH(QList<int>, sizes);
        ErrorLog log(30000);
        QCOMPARE(log.capacity(), 1000);
        QByteArray text;
        for (int size : sizes) {
            const QByteArray entry(size, char('a' + text.size() % 26));
            QVERIFY(log.append(entry.constData()));
            text += entry;
            checkWellFormed(log);
        }
        QCOMPARE(logText(log), text + "<END>");
        QTEST(log.capacity(), "capacity");
        log.clear();
        QCOMPARE(log.capacity(), 1000);
        QCOMPARE(logText(log), QByteArray("<END>"));
    }

    // A full log drops 400 bytes from its front, or the new entry's size when that is larger.
    void trimming_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("dropped");
        QTest::newRow("400 bytes") << 10 << 400;
        QTest::newRow("the entry's size") << 600 << 601;
    }
    void trimming()
    {
        QFETCH(int, entry);
        QFETCH(int, dropped);
        ErrorLog log(3000);
        fillUntilFull(log);
        const QByteArray before = logText(log);
        const int capacity = log.capacity();
        QVERIFY(log.append(QByteArray(entry, 'e').constData()));
        QCOMPARE(logText(log), before.mid(dropped).chopped(5) + QByteArray(entry, 'e') + "<END>");
        QCOMPARE(log.capacity(), capacity);
        checkWellFormed(log);
    }

    // Longer than the whole bound: the head of the entry is kept, the rest of the log goes.
    void overlongEntryCutToFit()
    {
        ErrorLog log(2000);
        QVERIFY(log.append("old"));
        QByteArray huge(5000, 'h');
        huge[0] = 'H';
        QVERIFY(log.append(huge.constData()));
        QVERIFY(logText(log).startsWith("Hhh"));
        checkWellFormed(log);
        QVERIFY(log.append("next"));
        QVERIFY(logText(log).endsWith("next<END>"));
        checkWellFormed(log);
        logError(QByteArray(70000, 'q').constData());
        checkWellFormed(ErrorLog::instance());
    }

    void boxTexts()
    {
        fatalError("imReadTga_10 : malloc");
        fatalError("bad tga", 21);
        fatalError("-ERR- open", "x.tga");
        warningError("Debordement2 d=", 12);
        // Messages beyond the old fixed work buffer are shown whole.
        fatalError(QByteArray(600, 'm').constData(), -3);
        QCOMPARE(m_user.boxTexts(),
                 QStringList({"\n-ERR- imReadTga_10 : malloc\n\n", "\n-ERR- bad tga:21\n\n",
                              "\n-ERR- -ERR- open:x.tga\n\n", "-WAR- Debordement2 d=:12\n",
                              "\n-ERR- " + QString(600, 'm') + ":-3\n\n"}));
        for (const AnsweringPrompts::Question &q : m_user.prompts.asked()) {
            QCOMPARE(q.kind, Prompts::Critical);
            QCOMPARE(q.buttons, Prompts::Buttons(Prompts::Ok));
        }
    }
};

QTEST_GUILESS_MAIN(TestSupportDiagnostics)
#include "tst_support_diagnostics.moc"
