#pragma once
// Reaching the plug-in's panel and its widgets from the command-line actions. The test host
// does not link the plug-in: widgets are found by object name and class name, and the
// plug-in's own methods are reached through Qt's meta-object system.
#include <QString>

class QWidget;
struct HostRun;

// The open panel (the "WinTools" widget of the "cellKit" panel frame); null when none is open.
QWidget *findPanel(HostRun &run);
// A widget of the open panel by object name; null (message printed) when there is none.
QWidget *findWidget(HostRun &run, const QString &name);
// The first widget of the open panel whose class inherits `className`; null (message printed)
// when there is none.
QWidget *findWidgetOfClass(HostRun &run, const char *className);
// Writes `text` to `file`, or to standard output for "-"; false (message printed) on failure.
bool writeOutput(HostRun &run, const QString &file, const QString &text);
// Prints each message box and chooser of the panel on standard error and answers it from --answer
// and --choose, once each. Headless, with nothing queued a box takes its default button and a
// chooser is cancelled; with a window such a dialog waits for the user. Progress dialogs are
// left to run.
void startDialogWatcher(HostRun &run);
