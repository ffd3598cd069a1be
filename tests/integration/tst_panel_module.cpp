// The real plug-in module in the test host: the panel opened from the Window menu follows its
// container's size and keeps its options in the configuration when the container goes.
#include "ModulePanel.h"

#include <QLineEdit>
#include <QTest>

class TestPanelModule : public QObject
{
    Q_OBJECT

    ModulePanel m_module;

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_module.load(this, &error), qPrintable(error));
    }

    void panelFollowsContainerSize()
    {
        QWidget *panel = m_module.panel();
        QVERIFY(panel);
        QWidget *container = m_module.host->panelContainer("cellKit");
        QCOMPARE(panel->parentWidget(), container);
        // The container was on screen before the panel existed: the panel fills it at once.
        QTRY_COMPARE(panel->geometry(), container->rect());
        for (const QSize &size : {QSize(640, 480), QSize(333, 211)}) {
            container->resize(size);
            QTRY_COMPARE(panel->geometry(), QRect(QPoint(0, 0), size));
        }
    }

    void closingTheContainerSavesOptions()
    {
        m_module.widget<QLineEdit>("efImpFolder")->setText("kept");
        delete m_module.host->panelContainer("cellKit");
        QTRY_VERIFY(!m_module.host->panelContainer("cellKit"));
        QCOMPARE(m_module.widget<QLineEdit>("efImpFolder")->text(), QString("kept"));
    }
};

QTEST_MAIN(TestPanelModule)
#include "tst_panel_module.moc"
