// The Board's log console: every Qt message and every direct append becomes one paragraph of
// efLog, HTML lines render formatted, and without a Board messages are dropped quietly.
#include "board/LogMessageHandler.h"
#include "board/ReportWidget.h"
#include "support/LogSink.h"
#include "support/Prompts.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <memory>

class TestBoardLog : public QObject
{
    Q_OBJECT

    QtMessageHandler m_previous = nullptr;
    std::unique_ptr<ReportWidget> m_board;

    QString logText() const { return m_board->efLog->toPlainText(); }

private Q_SLOTS:
    void initTestCase() { m_previous = installLogMessageHandler(); }
    void cleanupTestCase() { qInstallMessageHandler(m_previous); }
    void init()
    {
        m_board = std::make_unique<ReportWidget>();
        m_board->makeProcessLogSink();
    }
    void cleanup() { m_board.reset(); }

    void htmlLinesRenderAsRichText()
    {
        appendLog(QStringLiteral("<font color=\"#ff0000\">-ERR- direct</font>"));
        qWarning("<b>-WAR- through the handler</b>");
        qDebug("debug line");
        qInfo("info line");
        qCritical("critical line");
        QCOMPARE(logText(), QStringLiteral("-ERR- direct\n-WAR- through the handler\ndebug line\n"
                                           "info line\ncritical line"));
        const QTextBlock first = m_board->efLog->document()->firstBlock();
        QCOMPARE(first.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        QCOMPARE(first.next().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    }

    // Before the Board is built and after it is gone there is no sink: nothing shows, nothing
    // crashes, and the next Board starts clean.
    void messagesWithoutSinkAreDropped()
    {
        m_board.reset();
        QCOMPARE(LogSink::current(), nullptr);
        qWarning("lost");
        appendLog(QStringLiteral("lost too"));
        m_board = std::make_unique<ReportWidget>();
        qWarning("still lost: the Board is not the sink yet");
        m_board->makeProcessLogSink();
        qWarning("kept");
        QCOMPARE(logText(), QStringLiteral("kept"));
        QTest::mouseClick(m_board->pbClearLog, Qt::LeftButton);
        qWarning("after");
        QCOMPARE(logText(), QStringLiteral("after"));
    }

    // A message from a worker thread never touches the view from that thread; it arrives on
    // the application's thread, in order, and is dropped if the Board went away meanwhile.
    void messagesFromAnotherThreadArriveInOrder()
    {
        std::unique_ptr<QThread> worker(QThread::create([]() {
            for (int i = 0; i < 50; ++i)
                qWarning("worker %d", i);
        }));
        worker->start();
        QVERIFY(worker->wait(10000));
        QTRY_COMPARE(m_board->efLog->document()->blockCount(), 50);
        QStringList expected;
        for (int i = 0; i < 50; ++i)
            expected << QStringLiteral("worker %1").arg(i);
        QCOMPARE(logText(), expected.join(QLatin1Char('\n')));

        worker.reset(QThread::create([]() { qWarning("late"); }));
        worker->start();
        QVERIFY(worker->wait(10000));
        m_board.reset();
        QCoreApplication::processEvents(); // delivers "late" with no sink: dropped
        QCOMPARE(LogSink::current(), nullptr);
    }

    // A batch shows nothing until it is flushed (here by a question about to be asked) or
    // closed, and then the very text the lines appended one by one give.
    void batchShowsWhatSingleAppendsShow()
    {
        const QStringList lines{"", "first", "", "<b>bold</b>", "a\rb", "", "last", "<i>end</i>"};
        for (const QString &line : lines)
            appendLog(line);
        const QString single = logText();
        m_board->efLog->clear();
        {
            const LogSink::Batch batch;
            appendLog(lines.first());
            appendLog(lines.at(1));
            QVERIFY(logText().isEmpty());
            Prompts::current();
            QCOMPARE(logText(), QStringLiteral("first"));
            for (const QString &line : lines.mid(2))
                appendLog(line);
        }
        QCOMPARE(logText(), single);
        const QTextBlock bold = m_board->efLog->document()->findBlock(single.indexOf("bold"));
        QCOMPARE(bold.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    }

    // Ticked, every message is one time-stamped line of cellKit4After.log beside the
    // configurations; at 5 MB the file becomes cellKit4After.log.1, replacing the older one.
    void logFileRotatesAtItsLimit()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        const QString log = ReportWidget::logFilePath();
        QVERIFY(log.startsWith(dir.path()));
        QVERIFY(QDir().mkpath(QFileInfo(log).path()));
        QVERIFY(writeFile(log + ".1", "older"));
        QVERIFY(writeFile(log, QByteArray(int(ReportWidget::kLogFileLimit) - 10, 'x')));
        m_board->ckFile->setChecked(true);
        appendLog(QStringLiteral("<font color=red>-ERR- é</font>"));
        appendLog(QStringLiteral("-INF- two\nlines"));
        QCOMPARE(readFile(log + ".1").size(), ReportWidget::kLogFileLimit - 10);
        const QString fresh = QString::fromUtf8(readFile(log));
        const QRegularExpression stamped(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} -ERR- é\n"
            "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} -INF- two lines\n$");
        QVERIFY2(stamped.match(fresh).hasMatch(), qPrintable(fresh));
        m_board->ckFile->setChecked(false);
        appendLog(QStringLiteral("not in the file"));
        QCOMPARE(QString::fromUtf8(readFile(log)), fresh);
    }

    // A log file that cannot be opened (a folder stands in its place) gives one warning in the
    // view, naming the file and the reason, and unticks the box.
    void unwritableLogFileUnticksWithOneWarning()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        QVERIFY(QDir().mkpath(ReportWidget::logFilePath()));
        m_board->ckFile->setChecked(true);
        QVERIFY(!m_board->ckFile->isChecked());
        appendLog(QStringLiteral("next line"));
        QCOMPARE(logText(), QStringLiteral("-WAR- Log To File : cannot write %1: %2\nnext line")
                                .arg(QDir::toNativeSeparators(ReportWidget::logFilePath()),
                                     QString::fromLocal8Bit(std::strerror(EISDIR))));
    }
};

QTEST_MAIN(TestBoardLog)
#include "tst_board_log.moc"
