#include "board/ConfigurationFiles.h"

#include "support/IniText.h"
#include "support/LogSink.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QSettings>

namespace {
const char *const kOrganisation = "Quillmark";
const char *const kCurrentNameKey = "cbSettingsFile";

// Only the directory of this file is used; the file itself is never written.
const char *const kFolderProbeApplication = "cellKit";

// Why the last write of a configuration failed, for the "-ERR- " line; QSettings keeps only
// "access error". The format functions below get no context from QSettings, hence a static.
QString &lastWriteFailure()
{
    static QString reason;
    return reason;
}

bool readConfiguration(QIODevice &device, QSettings::SettingsMap &map)
{
    map = IniText::read(device.readAll());
    return true;
}

// QSettings hands its temporary file here and renames it over the configuration only when this
// returns true. Its own INI writer ignores a write the disk cut short, so the whole text is
// checked: first the write, then the flush of the buffer that held it.
bool writeConfiguration(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray text = IniText::write(map);
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (device.write(text) == text.size() && (!file || file->flush()))
        return true;
    // A write the disk cut short gives no reason; the next attempt fails with it (EFBIG, ENOSPC).
    if (file)
        file->flush();
    lastWriteFailure() = device.errorString();
    return false;
}

// The same INI files as QSettings::IniFormat (same folder, same ".ini" name, same text),
// written through writeConfiguration.
QSettings::Format configurationFormat()
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity keys = Qt::CaseInsensitive; // as Qt's INI files there
#else
    const Qt::CaseSensitivity keys = Qt::CaseSensitive;
#endif
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("ini"), readConfiguration, writeConfiguration, keys);
    return format;
}

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
    const QSettings settings(configurationFormat(), QSettings::UserScope,
                             QString::fromLatin1(kOrganisation), applicationName);
    return settings.fileName();
}

QStringList ConfigurationFiles::list(const QString &prefix)
{
    // QDir name filters ignore case unless told otherwise.
    const QStringList files =
        QDir(folder()).entryList({prefix + QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
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
    auto settings =
        std::make_unique<QSettings>(configurationFormat(), QSettings::UserScope,
                                    QString::fromLatin1(kOrganisation), applicationName);
    // QSettings then writes a temporary file beside the configuration and renames it over the
    // old one only once writeConfiguration accepted the whole text.
    settings->setAtomicSyncRequired(true);
    return settings;
}

bool ConfigurationFiles::commit(QSettings &settings)
{
    lastWriteFailure().clear();
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    const QString reason =
        lastWriteFailure().isEmpty() ? statusText(settings.status()) : lastWriteFailure();
    appendLog(QStringLiteral("-ERR- Configuration not saved [%1]: %2")
                  .arg(QDir::toNativeSeparators(settings.fileName()), reason));
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
