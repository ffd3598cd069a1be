#pragma once

class QApplication;

// Module load: a host process without a Qt application gets one, created here and kept until
// the process ends, and the module keeps itself loaded. A process that already has a Qt
// application (the test host) keeps it untouched, palette and style included.
// True when this call created the application.
bool ensureQtApplication();

// The look the plug-in gives an application it created itself: the Dark AE colours at the
// upper end of their range and the "Fusion" style.
void applyStartupAppearance(QApplication &app);
