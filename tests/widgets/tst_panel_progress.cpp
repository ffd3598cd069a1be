// The progress dialog of an import run: between two scenes it lets paints and timers through
// and takes the click on its own Stop button, while clicks and keys meant for any other window
// are dropped; once the run is over they reach their windows again.
#include "panel/ImportProgressDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

void postClick(QWidget *widget)
{
    const QPointF at = widget->rect().center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(
            widget, new QMouseEvent(type, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
}

} // namespace

class TestPanelProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyStopTakesInputBetweenScenes()
    {
        QWidget panel;
        panel.show();
        QPushButton host(QStringLiteral("host"));
        host.show();
        int hostClicks = 0;
        connect(&host, &QPushButton::clicked, [&hostClicks]() { ++hostClicks; });
        QLineEdit typing;
        typing.show();

        ImportProgressDialog progress(&panel);
        progress.setPollInterval(0);
        progress.start(2);
        progress.sceneStarted(1, 2, QStringLiteral("SC01"));
        auto *dialog = panel.findChild<QProgressDialog *>(QStringLiteral("importProgress"));
        QVERIFY(dialog);
        postClick(&host);
        QCoreApplication::postEvent(
            &typing, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        bool timerRan = false;
        QTimer::singleShot(0, [&timerRan]() { timerRan = true; });
        QVERIFY(!progress.stopRequested());
        QVERIFY(timerRan);
        QCOMPARE(hostClicks, 0);
        QVERIFY(typing.text().isEmpty());

        progress.sceneStarted(2, 2, QStringLiteral("SC02"));
        postClick(dialog->findChild<QPushButton *>());
        QVERIFY(progress.stopRequested());
        progress.finish();

        postClick(&host);
        QCoreApplication::processEvents();
        QCOMPARE(hostClicks, 1);
    }

    // Scenes that follow each other within the poll interval leave the dialog alone: no
    // repaint, no label, no events (a run of many small scenes spent more time here than in
    // its scenes). The next poll shows the last scene started.
    void updatesAtMostOncePerInterval()
    {
        QWidget panel;
        panel.show();
        ImportProgressDialog progress(&panel);
        progress.setPollInterval(60 * 60 * 1000);
        progress.start(3);
        auto *dialog = panel.findChild<QProgressDialog *>(QStringLiteral("importProgress"));
        QVERIFY(dialog);
        progress.sceneStarted(1, 3, QStringLiteral("SC01")); // the first one shows at once
        bool timerRan = false;
        QTimer::singleShot(0, [&timerRan]() { timerRan = true; });
        QVERIFY(!progress.stopRequested());
        progress.sceneStarted(2, 3, QStringLiteral("SC02"));
        QVERIFY(!timerRan);
        QCOMPARE(dialog->labelText(), QStringLiteral("Scene 1 of 3\nSC01"));

        progress.setPollInterval(0);
        QVERIFY(!progress.stopRequested());
        QVERIFY(timerRan);
        QCOMPARE(dialog->labelText(), QStringLiteral("Scene 2 of 3\nSC02"));
        QCOMPARE(dialog->value(), 1);
    }
};

QTEST_MAIN(TestPanelProgress)
#include "tst_panel_progress.moc"
