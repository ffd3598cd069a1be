// The portable embedding in a QWidget container, as in the test host: keyboard focus across
// the panel's edge and around the panel's dialogs.

#include "host/embed/QWinWidget.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Three fields (the third disabled, so never in the tab chain) and a label.
class FieldsPanel : public QWinWidget
{
public:
    explicit FieldsPanel(QWidget *container) : QWinWidget(container)
    {
        auto *layout = new QVBoxLayout(this);
        for (QLineEdit *&field : fields) {
            field = new QLineEdit(this);
            layout->addWidget(field);
        }
        fields[2]->setEnabled(false);
        label = new QLabel(QStringLiteral("note"), this);
        layout->addWidget(label);
    }

    QLineEdit *fields[3] = {};
    QLabel *label = nullptr;
};

} // namespace

class TestEmbedQWinWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_container = std::make_unique<QWidget>();
        m_panel = new FieldsPanel(m_container.get());
        m_container->resize(200, 200);
        m_container->show();
        QApplication::setActiveWindow(m_container.get());
        QVERIFY(QTest::qWaitForWindowActive(m_container.get()));
    }

    void cleanup() { m_container.reset(); }

    // Native focus arriving by Tab lands on the first field, by Backtab on the last enabled one.
    void focusArrives_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("field");
        QTest::newRow("tab") << int(Qt::TabFocusReason) << 0;
        QTest::newRow("backtab") << int(Qt::BacktabFocusReason) << 1;
    }

    void focusArrives()
    {
        QFETCH(int, reason);
        QFETCH(int, field);
        QFocusEvent focusIn(QEvent::FocusIn, Qt::FocusReason(reason));
        QCoreApplication::sendEvent(m_panel, &focusIn);
        QCOMPARE(QApplication::focusWidget(), m_panel->fields[field]);
    }

    // Tab past the last field or Backtab past the first leaves the panel for its container.
    void focusLeaves_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::newRow("tab past the last") << 1 << int(Qt::Key_Tab);
        QTest::newRow("backtab past the first") << 0 << int(Qt::Key_Backtab);
    }

    void focusLeaves()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        m_panel->fields[from]->setFocus();
        QTest::keyClick(m_panel->fields[from], Qt::Key(key));
        QCOMPARE(QApplication::focusWidget(), m_container.get());
        // Inside the chain Tab still moves from field to field.
        m_panel->fields[0]->setFocus();
        QTest::keyClick(m_panel->fields[0], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_panel->fields[1]);
    }

private:
    std::unique_ptr<QWidget> m_container;
    FieldsPanel *m_panel = nullptr;
};

QTEST_MAIN(TestEmbedQWinWidget)
#include "tst_embed_qwinwidget.moc"
