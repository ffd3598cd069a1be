#include "testhost/app/HostWindow.h"

#include "testhost/app/ProjectView.h"
#include "testhost/core/TestHost.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>

HostWindow::HostWindow(TestHost &host, QWidget *parent) : QMainWindow(parent), m_host(host)
{
    setWindowTitle(QStringLiteral("cellkit-host"));
    resize(1200, 800);
    buildFileMenu();

    m_windowMenu = menuBar()->addMenu(tr("&Window"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &HostWindow::fillWindowMenu);

    m_frame = new QTabWidget(this);
    m_frame->setDocumentMode(true);
    setCentralWidget(m_frame);
    m_host.setPanelFrame(m_frame);

    if (QWidget *view = createProjectView(m_host, this)) {
        auto *dock = new QDockWidget(tr("Project"), this);
        dock->setObjectName(QStringLiteral("projectDock"));
        dock->setWidget(view);
        addDockWidget(Qt::LeftDockWidgetArea, dock);
    }

    auto *console = new QPlainTextEdit(this);
    console->setReadOnly(true);
    connect(&m_host, &TestHost::consoleLine, console, &QPlainTextEdit::appendPlainText);
    auto *consoleDock = new QDockWidget(tr("Console"), this);
    consoleDock->setObjectName(QStringLiteral("consoleDock"));
    consoleDock->setWidget(console);
    addDockWidget(Qt::BottomDockWidgetArea, consoleDock);
}

void HostWindow::buildFileMenu()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    // Open and save need the project file support of the test host; wired once it exists.
    QAction *open = file->addAction(tr("Open Project…"));
    open->setEnabled(false);
    QAction *saveAs = file->addAction(tr("Save Project As…"));
    saveAs->setEnabled(false);
    file->addSeparator();
    QAction *quit = file->addAction(tr("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
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
        connect(action, &QAction::triggered, this, [this, command]() { m_host.runCommand(command); });
    }
}
