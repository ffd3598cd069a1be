#include "import/ImportOptionsSettings.h"

#include <QSettings>
#include <QtGlobal>

namespace {

int spinValue(QSettings &settings, const char *key, int minimum, int maximum, int defaultValue)
{
    return qBound(minimum, settings.value(QLatin1String(key), defaultValue).toInt(), maximum);
}

bool flag(QSettings &settings, const char *key, bool defaultValue)
{
    return settings.value(QLatin1String(key), defaultValue).toBool();
}

QString text(QSettings &settings, const char *key, const QString &defaultValue = QString())
{
    return settings.value(QLatin1String(key), defaultValue).toString();
}

constexpr int kPrecompEntries = 6; // "No Precomp" to "F/F/F/F/F"

} // namespace

ImportOptions readImportOptions(QSettings &settings)
{
    ImportOptions o;
    o.newProject = flag(settings, "ckImpNewProject", true);
    o.useXml = flag(settings, "ckImpUseXml", false);
    o.oneImaIsFixeIma = flag(settings, "ckImpOneImaIsFixeIma", false);
    o.createZeroIma = flag(settings, "ckImpCreateZeroIma", false);
    o.reverseExpoOrder = flag(settings, "ckImpReverseExpoOrder", false);
    const int precomp = settings.value(QStringLiteral("cbImpPrecomp"), 0).toInt();
    o.precomp = precomp >= 0 && precomp < kPrecompEntries ? precomp : -1;
    o.fileExtensions = text(settings, "efImpFileExtensions", QStringLiteral("*.png,*.mov"));
    o.folder = text(settings, "efImpFolder");
    o.useShellComp = flag(settings, "ckImpUseShellComp", false);
    o.shellCompName = text(settings, "efImpShellCompName");
    o.compName = text(settings, "efImpCompName");
    o.outputFileName = text(settings, "efImpOutputFileName");
    o.compWidth = spinValue(settings, "sbImpCompWidth", 0, 10000, 1280);
    o.compHeight = spinValue(settings, "sbImpCompHeight", 0, 10000, 720);
    o.compFrameRate = spinValue(settings, "sbImpCompFrameRate", 1, 100, 25);
    o.forceCompSize = flag(settings, "ckImpForceCompSize", false);
    o.compSizeFromImaSize = flag(settings, "ckImpCompSizeFromImaSize", false);
    o.compSizeFromImaExt = text(settings, "efImpCompSizeFromImaExt", QStringLiteral("png"));
    return o;
}
