#pragma once

#include <QMainWindow>

class QMenu;
class QTabWidget;
class TestHost;

// The test host's window: File and Window menus, the panel frame (panels appear as its tabs),
// the project view and the host console, each in a dock.
//
// Example: opening Window calls the plug-in's update-menu hooks first, so "cellKit" shows its
// check mark only while its panel is the front tab of the frame.
class HostWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HostWindow(TestHost &host, QWidget *parent = nullptr);

private:
    void buildFileMenu();
    void fillWindowMenu();

    TestHost &m_host;
    QMenu *m_windowMenu = nullptr;
    QTabWidget *m_frame = nullptr;
};
