// The Board's log console: every Qt message and every direct append becomes one paragraph of
// efLog, HTML lines render formatted, and without a Board messages are dropped quietly.
#include "board/LogMessageHandler.h"
#include "board/ReportWidget.h"
#include "support/LogSink.h"

#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>

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
        QCOMPARE(logText(), QStringLiteral("-ERR- direct\n-WAR- through the handler"));
        const QTextBlock first = m_board->efLog->document()->firstBlock();
        QCOMPARE(first.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        QCOMPARE(first.next().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
    }

    void everyMessageTypeIsOneUnprefixedParagraph()
    {
        qDebug("debug line");
        qInfo("info line");
        qWarning("warning line");
        qCritical("critical line");
        QCOMPARE(logText(),
                 QStringLiteral("debug line\ninfo line\nwarning line\ncritical line"));
    }

    void clearThenOneMessageLeavesExactlyIt()
    {
        qWarning("before");
        appendLog(QStringLiteral("before too"));
        QTest::mouseClick(m_board->pbClearLog, Qt::LeftButton);
        QVERIFY(logText().isEmpty());
        qWarning("after");
        QCOMPARE(logText(), QStringLiteral("after"));
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
};

QTEST_MAIN(TestBoardLog)
#include "tst_board_log.moc"
