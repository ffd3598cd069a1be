#include "testhost/app/HostWindow.h"

#include "testhost/app/ProjectView.h"
#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {
const QString kProjectFilter = QObject::tr("Projects (*.aep *.json);;All files (*)");
}

HostWindow::HostWindow(TestHost &host, QWidget *parent) : QMainWindow(parent), m_host(host)
{
    resize(1280, 800);
    buildFileMenu();

    m_windowMenu = menuBar()->addMenu(tr("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &HostWindow::fillWindowMenu);

    m_frame = new QTabWidget(this);
    m_frame->setDocumentMode(true);
    setCentralWidget(m_frame);
    m_host.setPanelFrame(m_frame);

    m_projectView = new ProjectView(m_host.project(), this);
    auto *dock = new QDockWidget(tr("Project"), this);
    dock->setObjectName(QStringLiteral("projectDock"));
    dock->setWidget(m_projectView);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    resizeDocks({dock}, {560}, Qt::Horizontal);

    m_console = new QPlainTextEdit(this);
    m_console->setObjectName(QStringLiteral("console"));
    m_console->setReadOnly(true);
    m_console->setMaximumBlockCount(10000);
    connect(&m_host, &TestHost::consoleLine, m_console, &QPlainTextEdit::appendPlainText);
    connect(&m_host.project(), &ProjectHost::scriptRan, m_console, [this](const ScriptRun &run) {
        m_console->appendPlainText(tr("script result: %1").arg(run.result));
        if (!run.error.isEmpty())
            m_console->appendPlainText(tr("script error: %1").arg(run.error));
    });
    auto *consoleDock = new QDockWidget(tr("Console"), this);
    consoleDock->setObjectName(QStringLiteral("consoleDock"));
    consoleDock->setWidget(m_console);
    addDockWidget(Qt::BottomDockWidgetArea, consoleDock);
    resizeDocks({consoleDock}, {160}, Qt::Vertical);

    connect(&m_host.project(), &ProjectHost::changed, this, &HostWindow::updateTitle);
    updateTitle();
}

void HostWindow::buildFileMenu()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    QAction *open = file->addAction(tr("Open Project…"), this, &HostWindow::openProject);
    open->setShortcut(QKeySequence::Open);
    QAction *saveAs = file->addAction(tr("Save Project As…"), this, &HostWindow::saveProjectAs);
    saveAs->setShortcut(QKeySequence::SaveAs);
    file->addAction(tr("Run Script…"), this, &HostWindow::runScript);
    file->addSeparator();
    QAction *quit = file->addAction(tr("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void HostWindow::openProject()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open Project"), QString(), kProjectFilter);
    if (path.isEmpty())
        return;
    QString error;
    if (!m_host.project().openProject(path, &error))
        QMessageBox::warning(this, tr("Open Project"), error);
}

void HostWindow::saveProjectAs()
{
    const QString current = m_host.project().model().path();
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save Project As"), current, kProjectFilter);
    if (path.isEmpty())
        return;
    QString error;
    if (!m_host.project().saveProject(path, &error))
        QMessageBox::warning(this, tr("Save Project As"), error);
}

void HostWindow::runScript()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Run Script"), QString(),
                                                      tr("Scripts (*.jsx *.js);;All files (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, tr("Run Script"), file.errorString());
        return;
    }
    QString result, error;
    m_host.project().runScript(QString::fromUtf8(file.readAll()), &result, &error,
                               QFileInfo(path).absoluteFilePath());
}

void HostWindow::updateTitle()
{
    const ProjectModel &model = m_host.project().model();
    const QString name =
        model.path().isEmpty() ? tr("Untitled Project") : QFileInfo(model.path()).fileName();
    setWindowTitle(QStringLiteral("%1%2 — cellkit-host")
                       .arg(name, model.dirty() ? QStringLiteral(" *") : QString()));
}

void HostWindow::fillWindowMenu()
{
    m_host.updateMenus();
    m_windowMenu->clear();
    for (const MenuEntry &entry : m_host.menu(AEGP_Menu_WINDOW)) {
        if (entry.name == QLatin1String("-")) {
            m_windowMenu->addSeparator();
            continue;
        }
        QAction *action = m_windowMenu->addAction(entry.name);
        action->setCheckable(true);
        action->setChecked(entry.checked);
        action->setEnabled(entry.enabled);
        const AEGP_Command command = entry.command;
        connect(action, &QAction::triggered, this,
                [this, command]() { m_host.runCommand(command); });
    }
}
