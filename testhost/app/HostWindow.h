#pragma once

#include <QMainWindow>

class QMenu;
class QPlainTextEdit;
class QTabWidget;
class ProjectView;
class TestHost;

// The test host's window: File and Window menus, the panel frame (panels appear as its tabs),
// the project view and the host console, each in a dock.
//
// Example: opening Window calls the plug-in's update-menu hooks first, so "cellKit" shows its
// check mark only while its panel is the front tab of the frame. File > Open Project reads a
// saved project and the project view and title follow; every script the host runs writes its
// result and error texts to the console.
class HostWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HostWindow(TestHost &host, QWidget *parent = nullptr);

    ProjectView *projectView() const { return m_projectView; }

private:
    void buildFileMenu();
    void fillWindowMenu();
    void openProject();
    void saveProjectAs();
    void runScript();
    void updateTitle();

    TestHost &m_host;
    QMenu *m_windowMenu = nullptr;
    QTabWidget *m_frame = nullptr;
    ProjectView *m_projectView = nullptr;
    QPlainTextEdit *m_console = nullptr;
};
