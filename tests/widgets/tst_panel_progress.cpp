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
};

QTEST_MAIN(TestPanelProgress)
#include "tst_panel_progress.moc"
