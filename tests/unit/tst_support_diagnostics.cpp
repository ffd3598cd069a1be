#include "support/AnsweringPrompts.h"
#include "support/Diagnostics.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

class TestSupportDiagnostics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newLogHoldsEndMarker();
    void logErrorEntries_data();
    void logErrorEntries();
    void longTextStoredUnchanged();
    void growthStep();
    void growthUsesEntrySizeWhenLarger();
    void trimFromFront();
    void trimByEntrySizeWhenLarger();
    void overlongEntryCutToFit();
    void clearShrinksAndRestarts();
    void debugFileGetsEveryLine();
    void boxTexts();
    void fatalErrorReturnsToCaller();
    void answeringPromptsQueueAndDefaults();

private:
    QTemporaryDir m_dir;
    AnsweringPrompts m_answers;
    Prompts *m_previous = nullptr;
};

static QByteArray logText(const ErrorLog &log)
{
    return QByteArray(log.text());
}

static void checkWellFormed(const ErrorLog &log)
{
    QCOMPARE(int(std::strlen(log.text())), log.length());
    QVERIFY(logText(log).endsWith("<END>"));
    QVERIFY(log.length() < log.capacity());
}

void TestSupportDiagnostics::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Must be set before anything reads the debug switch.
    qputenv("CELLKIT_DEBUG_LOG", QFile::encodeName(m_dir.filePath("debug.log")));
}

void TestSupportDiagnostics::init()
{
    m_previous = Prompts::install(&m_answers);
    m_answers.forget();
    ErrorLog::instance().clear();
}

void TestSupportDiagnostics::cleanup()
{
    Prompts::install(m_previous);
}

void TestSupportDiagnostics::newLogHoldsEndMarker()
{
    ErrorLog log(30000);
    QCOMPARE(logText(log), QByteArray("<END>"));
    QCOMPARE(log.length(), 5);
    QCOMPARE(log.capacity(), 1000);
    QCOMPARE(log.maximum(), 30000);
    QCOMPARE(ErrorLog::instance().maximum(), 30000);
    QCOMPARE(logText(ErrorLog::instance()), QByteArray("<END>"));
}

void TestSupportDiagnostics::logErrorEntries_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("plain") << QByteArray("abc") << QByteArray("\r\nabc<END>");
    QTest::newRow("two lines") << QByteArray("a\nb") << QByteArray("\r\na\r\nb<END>");
    QTest::newRow("empty") << QByteArray("") << QByteArray("\r\n<END>");
    QTest::newRow("CR kept") << QByteArray("a\rb\n") << QByteArray("\r\na\rb\r\n<END>");
    QTest::newRow("host error line")
        << QByteArray("-ERR I- line 212, file(import/vipLi.cpp)")
        << QByteArray("\r\n-ERR I- line 212, file(import/vipLi.cpp)<END>");
}

void TestSupportDiagnostics::logErrorEntries()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, stored);
    logError(text.constData());
    QCOMPARE(logText(ErrorLog::instance()), stored);
    QCOMPARE(ErrorLog::instance().length(), stored.size());

    // A second entry follows the first one, the marker moving to the end.
    logError("z");
    QCOMPARE(logText(ErrorLog::instance()), stored.chopped(5) + "\r\nz<END>");
}

void TestSupportDiagnostics::longTextStoredUnchanged()
{
    QByteArray exactly1000(999, 'x');
    exactly1000.prepend('\n');
    logError(exactly1000.constData());
    QVERIFY(logText(ErrorLog::instance()).startsWith("\r\n\r\nxxx"));

    ErrorLog::instance().clear();
    QByteArray long1001 = exactly1000 + 'y';
    logError(long1001.constData());
    QCOMPARE(logText(ErrorLog::instance()), long1001 + "<END>");
    checkWellFormed(ErrorLog::instance());
}

void TestSupportDiagnostics::growthStep()
{
    ErrorLog log(30000);
    QVERIFY(log.append(QByteArray(985, 'a').constData())); // length 990
    QCOMPARE(log.length(), 990);
    QCOMPARE(log.capacity(), 1000);
    QVERIFY(log.append(QByteArray(20, 'b').constData()));
    QCOMPARE(log.capacity(), 2000);
    QCOMPARE(log.length(), 1010);
    QVERIFY(logText(log).endsWith(QByteArray(20, 'b') + "<END>"));
    checkWellFormed(log);
}

void TestSupportDiagnostics::growthUsesEntrySizeWhenLarger()
{
    ErrorLog log(30000);
    QVERIFY(log.append(QByteArray(1500, 'c').constData())); // need 1506 >= 1000
    QCOMPARE(log.capacity(), 1000 + 1600);
    QCOMPARE(log.length(), 1505);
    QVERIFY(log.append(QByteArray(1000, 'f').constData())); // fits: no growth
    QCOMPARE(log.capacity(), 2600);
    // Exactly reaching the capacity grows too, by the minimum step.
    const int room = log.capacity() - log.length() - 1;
    QVERIFY(log.append(QByteArray(room, 'd').constData()));
    QCOMPARE(log.capacity(), 2600 + 1000);
    checkWellFormed(log);
}

// Fills the log with numbered 10-byte entries until the next one trims it.
static void fillUntilFull(ErrorLog &log)
{
    int i = 0;
    while (log.length() + 1 + 10 < log.capacity() || log.length() + 1 + 10 < log.maximum())
        QVERIFY(log.append(QByteArray::number(i++).rightJustified(10, '.').constData()));
}

void TestSupportDiagnostics::trimFromFront()
{
    ErrorLog log(3000);
    fillUntilFull(log);
    const QByteArray before = logText(log);
    const int capacity = log.capacity();
    QVERIFY(log.length() + 1 + 10 >= capacity);

    QVERIFY(log.append("0123456789"));
    // 400 bytes dropped from the front, wherever that falls, the new entry at the end.
    const QByteArray expected = before.mid(400).chopped(5) + "0123456789<END>";
    QCOMPARE(logText(log), expected);
    QCOMPARE(log.capacity(), capacity);
    checkWellFormed(log);
}

void TestSupportDiagnostics::trimByEntrySizeWhenLarger()
{
    ErrorLog log(3000);
    fillUntilFull(log);
    const QByteArray before = logText(log);
    const QByteArray entry(600, 'e');
    QVERIFY(log.append(entry.constData()));
    QCOMPARE(logText(log), before.mid(601).chopped(5) + entry + "<END>");
    checkWellFormed(log);
}

// Longer than the whole bound: the head of the entry is kept, the rest of the log goes.
void TestSupportDiagnostics::overlongEntryCutToFit()
{
    ErrorLog log(2000);
    QVERIFY(log.append("old"));
    QByteArray huge(5000, 'h');
    huge[0] = 'H';
    QVERIFY(log.append(huge.constData()));
    QVERIFY(log.length() <= log.maximum());
    QVERIFY(logText(log).startsWith("Hhh"));
    checkWellFormed(log);
    QVERIFY(log.append("next"));
    QVERIFY(logText(log).endsWith("next<END>"));
    checkWellFormed(log);

    // The same through the process-wide log, with a text far beyond its 30000 bytes.
    logError(QByteArray(70000, 'q').constData());
    checkWellFormed(ErrorLog::instance());
    QVERIFY(ErrorLog::instance().length() <= 30000);
}

void TestSupportDiagnostics::clearShrinksAndRestarts()
{
    ErrorLog log(30000);
    QVERIFY(log.append(QByteArray(5000, 'x').constData()));
    QVERIFY(log.capacity() > 1000);
    log.clear();
    QCOMPARE(log.capacity(), 1000);
    QCOMPARE(logText(log), QByteArray("<END>"));
}

void TestSupportDiagnostics::debugFileGetsEveryLine()
{
    QCOMPARE(debugLogPath(), QFile::encodeName(m_dir.filePath("debug.log")));
    QFile file(m_dir.filePath("debug.log"));
    file.remove();
    debugTrace("trace one");
    logError("a\nb");
    ErrorLog::instance().clear();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("trace one\na\nb\n=== CLEAR LOG ===\n"));
    // debugTrace alone does not touch the error log.
    QCOMPARE(logText(ErrorLog::instance()), QByteArray("<END>"));
}

void TestSupportDiagnostics::boxTexts()
{
    fatalError("imReadTga_10 : malloc");
    fatalError("bad tga", 21);
    fatalError("-ERR- open", "x.tga");
    warningError("Debordement2 d=", 12);
    const QList<AnsweringPrompts::Question> &asked = m_answers.asked();
    QCOMPARE(asked.size(), 4);
    QCOMPARE(asked.at(0).text, QString("\n-ERR- imReadTga_10 : malloc\n\n"));
    QCOMPARE(asked.at(1).text, QString("\n-ERR- bad tga:21\n\n"));
    QCOMPARE(asked.at(2).text, QString("\n-ERR- -ERR- open:x.tga\n\n"));
    QCOMPARE(asked.at(3).text, QString("-WAR- Debordement2 d=:12\n"));
    for (const AnsweringPrompts::Question &q : asked) {
        QCOMPARE(q.kind, Prompts::Critical);
        QVERIFY(q.title.isEmpty());
        QCOMPARE(q.buttons, Prompts::Buttons(Prompts::Ok));
        QCOMPARE(q.defaultButton, Prompts::NoButton);
    }
    // Messages beyond the old fixed work buffer are shown whole.
    const QByteArray longMessage(600, 'm');
    fatalError(longMessage.constData(), -3);
    QCOMPARE(m_answers.asked().last().text, "\n-ERR- " + QString(longMessage) + ":-3\n\n");
}

static bool readerThatFails(int *steps)
{
    fatalError("imTgaRead... : bad tga (21)");
    ++*steps; // the caller abandons its work after the report
    return false;
}

void TestSupportDiagnostics::fatalErrorReturnsToCaller()
{
    int steps = 0;
    QVERIFY(!readerThatFails(&steps));
    QCOMPARE(steps, 1);
    QCOMPARE(m_answers.asked().size(), 1);
}

void TestSupportDiagnostics::answeringPromptsQueueAndDefaults()
{
    AnsweringPrompts answers;
    answers.answerButton(Prompts::No);
    answers.answerPath("/picked");
    answers.answerPath(QString());
    QCOMPARE(answers.question(nullptr, "T", "Q?"), Prompts::No);
    QCOMPARE(answers.question(nullptr, "T", "Q?", Prompts::Yes | Prompts::No, Prompts::Yes),
             Prompts::Yes);
    QCOMPARE(answers.message(nullptr, Prompts::Question, "T", "Q?", Prompts::Ok | Prompts::Cancel,
                             Prompts::NoButton),
             Prompts::Cancel);
    QCOMPARE(answers.warning(nullptr, "W", "w"), Prompts::Ok);
    QCOMPARE(answers.chooseDirectory(nullptr, "D", "/start"), QString("/picked"));
    QCOMPARE(answers.chooseOpenFile(nullptr, "O", "/s2", "*.csv"), QString());
    QCOMPARE(answers.chooseSaveFile(nullptr, "S", "/s3", "*.txt"), QString());
    QCOMPARE(answers.pendingAnswers(), 0);

    const QList<AnsweringPrompts::Question> &asked = answers.asked();
    QCOMPARE(asked.size(), 7);
    QCOMPARE(asked.at(1).defaultButton, Prompts::Yes);
    QCOMPARE(asked.at(3).kind, Prompts::Warning);
    QCOMPARE(asked.at(4).kind, Prompts::Directory);
    QCOMPARE(asked.at(4).startDir, QString("/start"));
    QCOMPARE(asked.at(5).kind, Prompts::OpenFile);
    QCOMPARE(asked.at(5).filter, QString("*.csv"));
    QCOMPARE(asked.at(6).kind, Prompts::SaveFile);
    QCOMPARE(asked.at(6).title, QString("S"));
}

QTEST_GUILESS_MAIN(TestSupportDiagnostics)
#include "tst_support_diagnostics.moc"
