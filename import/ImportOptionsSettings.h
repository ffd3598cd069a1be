#pragma once
// The Import Scene options of a saved configuration, read without the panel: what the option
// widgets would show after loading it (keys at the top level of the configuration, missing
// ones at their defaults, spin boxes clamped to their ranges, a precomposition level the list
// does not have read as none selected, -1, as the combo box then shows).
//
// Example: sbImpCompWidth=20000 and sbImpCompFrameRate=0 give compWidth 10000 and
// compFrameRate 1.
#include "import/ImportOptions.h"

class QSettings;

ImportOptions readImportOptions(QSettings &settings);
