#include "panel/ImportProgressDialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWindow>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        return true;
    default:
        return false;
    }
}

// While installed on the application, drops user input for anything but the dialog (its
// widgets, its window, its own shortcuts); everything else (paints, timers, posted events)
// passes. The host's windows are Qt windows in the test host; in the real host the same holds
// for every Qt window of the plug-in.
class InputGate : public QObject
{
public:
    explicit InputGate(QWidget *dialog) : m_dialog(dialog)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputGate() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        return isUserInput(event->type()) && !forDialog(receiver);
    }

private:
    bool forDialog(QObject *receiver) const
    {
        if (!m_dialog)
            return false;
        if (auto *window = qobject_cast<QWindow *>(receiver))
            return window == m_dialog->windowHandle();
        for (QObject *o = receiver; o; o = o->parent()) {
            if (o == m_dialog)
                return true;
        }
        return false;
    }

    QPointer<QWidget> m_dialog;
};

} // namespace

ImportProgressDialog::ImportProgressDialog(QWidget *parent) : m_parent(parent) {}

ImportProgressDialog::~ImportProgressDialog()
{
    finish();
}

void ImportProgressDialog::start(int sceneCount)
{
    finish();
    m_logBatch = std::make_unique<LogSink::Batch>();
    m_dialog = new QProgressDialog(m_parent);
    m_dialog->setObjectName(QStringLiteral("importProgress"));
    m_dialog->setWindowTitle(QStringLiteral("Import Scene"));
    m_dialog->setCancelButtonText(QStringLiteral("Stop"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setRange(0, sceneCount);
    m_dialog->show();
    m_label.clear();
    m_value = 0;
    // The first scene brings the dialog up at once.
    m_sinceUpdate.invalidate();
}

void ImportProgressDialog::sceneStarted(int index, int sceneCount, const QString &sceneName)
{
    m_label = QStringLiteral("Scene %1 of %2\n%3").arg(index).arg(sceneCount).arg(sceneName);
    m_value = index - 1;
    if (pollDue())
        update();
}

bool ImportProgressDialog::stopRequested()
{
    // The run holds the host's idle call; this is where the Stop button gets its click.
    if (pollDue())
        update();
    return m_dialog && m_dialog->wasCanceled();
}

bool ImportProgressDialog::pollDue()
{
    if (m_sinceUpdate.isValid() && m_sinceUpdate.elapsed() < m_pollIntervalMs)
        return false;
    m_sinceUpdate.start();
    return true;
}

void ImportProgressDialog::update()
{
    LogSink::flush();
    if (!m_dialog)
        return;
    if (m_dialog->labelText() != m_label)
        m_dialog->setLabelText(m_label);
    // A modal progress dialog may process events in setValue; the gate holds there too.
    const InputGate gate(m_dialog);
    if (m_dialog->value() != m_value)
        m_dialog->setValue(m_value);
    QCoreApplication::processEvents();
    m_sinceUpdate.start();
}

void ImportProgressDialog::finish()
{
    delete m_dialog.data();
    m_logBatch.reset();
    m_sinceUpdate.invalidate();
}
