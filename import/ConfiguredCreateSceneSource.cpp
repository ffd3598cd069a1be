#include "import/ConfiguredCreateSceneSource.h"

#include <QSettings>

ConfiguredCreateSceneSource::ConfiguredCreateSceneSource(const QSettings &settings)
{
    m_moveFiles = settings.value(QStringLiteral("ckImpMoveFilesToRelativePath"), false).toBool();
    m_useTemplate = settings.value(QStringLiteral("ckUseTemplateFile"), false).toBool();
    m_templatePath = settings.value(QStringLiteral("FlashTemplateFile")).toString();
    // Lists are kept as one comma-separated text; an INI file written by hand may hold it
    // unquoted, which the settings library reads back as a list.
    const QVariant list = settings.value(QStringLiteral("listScript"));
    const QString text = list.type() == QVariant::StringList
                             ? list.toStringList().join(QLatin1Char(','))
                             : list.toString();
    const QStringList entries = text.split(QLatin1Char(','));
    for (const QString &entry : entries) {
        const QString path = entry.simplified();
        if (!path.isEmpty())
            m_scripts << path;
    }
}
