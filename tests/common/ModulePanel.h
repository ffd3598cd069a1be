#pragma once
// The real plug-in module loaded into a test host in this process, with its configuration in a
// temporary folder, and its panel opened from the Window menu as a user opens it. Boxes the
// module shows are answered from a queue of buttons (else with their default button) and
// recorded as "title: text informative text".
#include "testhost/core/TestHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <functional>

class ModulePanel
{
public:
    // The configuration named `configuration` is the one the module loads at start.
    bool load(QObject *parent, QString *error, const QString &configuration = QString())
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        if (!configuration.isEmpty())
            QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quillmark", "cellKit4After")
                .setValue("cbSettingsFile", configuration);
        host = new TestHost(parent);
        QObject::connect(&m_watcher, &QTimer::timeout, [this] { answerBox(); });
        m_watcher.start(0);
        return host->loadPlugin(qEnvironmentVariable("CELLKIT_TEST_MODULE"), error);
    }

    // Opens the panel when it is not open.
    QWidget *panel() const
    {
        if (!host->panelContainer("cellKit"))
            host->chooseWindowMenuEntry("cellKit");
        QWidget *container = host->panelContainer("cellKit");
        for (QWidget *w : container ? container->findChildren<QWidget *>() : QList<QWidget *>())
            if (w->inherits("WinTools"))
                return w;
        return nullptr;
    }
    template <typename T> T *widget(const char *name) const
    {
        QWidget *p = panel();
        return p ? p->findChild<T *>(QLatin1String(name)) : nullptr;
    }
    QString logText() const
    {
        auto *log = widget<QTextEdit>("efLog");
        return log ? log->toPlainText() : QString();
    }

    TestHost *host = nullptr;
    QList<int> answers; // QMessageBox::StandardButton values
    QStringList boxes;
    std::function<void()> onEachTick; // also run by the watcher, e.g. to press Stop

private:
    void answerBox()
    {
        if (onEachTick)
            onEachTick();
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxes << box->windowTitle() + ": " + box->text() + " " + box->informativeText();
        QAbstractButton *button = box->defaultButton();
        if (!answers.isEmpty())
            button = box->button(QMessageBox::StandardButton(answers.takeFirst()));
        button ? button->click() : box->reject();
    }

    QTemporaryDir m_config;
    QTimer m_watcher;
};
