#include "board/ConfigurationFiles.h"

#include "support/LogSink.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const char *const kOrganisation = "Quillmark";
const char *const kCurrentNameKey = "cbSettingsFile";

// Only the directory of this file is used; the file itself is never written.
const char *const kFolderProbeApplication = "cellKit";

QString statusText(QSettings::Status status)
{
    switch (status) {
    case QSettings::NoError:
        return QStringLiteral("no error");
    case QSettings::AccessError:
        return QStringLiteral("the file or its folder cannot be written");
    case QSettings::FormatError:
        return QStringLiteral("the existing file is not a valid INI file");
    }
    return QStringLiteral("unknown error");
}
} // namespace

QString ConfigurationFiles::folder()
{
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope,
                          QString::fromLatin1(kOrganisation),
                          QString::fromLatin1(kFolderProbeApplication));
    return QFileInfo(probe.fileName()).absolutePath();
}

QString ConfigurationFiles::filePath(const QString &applicationName)
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                             QString::fromLatin1(kOrganisation), applicationName);
    return settings.fileName();
}

QStringList ConfigurationFiles::list(const QString &prefix)
{
    // QDir name filters ignore case unless told otherwise.
    const QStringList files = QDir(folder()).entryList(
        {prefix + QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    QStringList names;
    names.reserve(files.size());
    for (const QString &file : files)
        names << removeExtension(file).remove(prefix, Qt::CaseInsensitive);
    return names;
}

QString ConfigurationFiles::resolveApplicationName(const QString &applicationName)
{
    if (QFileInfo::exists(filePath(applicationName)))
        return applicationName;
    const QString wanted = applicationName + QStringLiteral(".ini");
    const QStringList files = QDir(folder()).entryList({wanted}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return removeExtension(file);
    }
    return applicationName;
}

std::unique_ptr<QSettings> ConfigurationFiles::open(const QString &applicationName)
{
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QString::fromLatin1(kOrganisation),
                                                applicationName);
    // QSettings then writes a temporary file beside the configuration and renames it over the
    // old one, so a full disk or a crash mid-write never leaves half a file behind.
    settings->setAtomicSyncRequired(true);
    return settings;
}

bool ConfigurationFiles::commit(QSettings &settings)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    appendLog(QStringLiteral("-ERR- Configuration not saved [%1]: %2")
                  .arg(QDir::toNativeSeparators(settings.fileName()),
                       statusText(settings.status())));
    return false;
}

QString ConfigurationFiles::storedConfigurationName(const QString &storeApplicationName)
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                          QString::fromLatin1(kOrganisation), storeApplicationName);
    return store.value(QString::fromLatin1(kCurrentNameKey), QString()).toString();
}

void ConfigurationFiles::storeConfigurationName(const QString &storeApplicationName,
                                                const QString &name)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QString::fromLatin1(kOrganisation), storeApplicationName);
    store.setValue(QString::fromLatin1(kCurrentNameKey), name);
}
