#pragma once

#include <QtGlobal>

// Routes every Qt message (debug, warning, critical, fatal) into the current log sink as one
// paragraph, unprefixed: qWarning() << "Start Time:" << "10:42:07" shows as
//   Start Time: "10:42:07"
// Messages are dropped while there is no sink. Returns the handler that was installed before.
QtMessageHandler installLogMessageHandler();
