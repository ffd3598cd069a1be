#pragma once

#include <QtGlobal>

// Routes every Qt message (debug, warning, critical, fatal) into the current log sink as one
// paragraph, unprefixed: qWarning() << "Start Time:" << "10:42:07" shows as
//   Start Time: "10:42:07"
// Messages are dropped while there is no sink (before the Board exists and after it is gone).
//
// The log view lives on the application's thread: a message emitted on another thread is
// handed over to that thread and appended there, in order, never touching the view from the
// emitting thread. A message raised while a line is being appended (the view itself warning)
// is dropped instead of recursing.
//
// Installing twice changes nothing; the panel installs it once and leaves it for the life of
// the process. Returns the handler that was in place before ours (for tests that restore it).
QtMessageHandler installLogMessageHandler();
