#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// Where the named configurations live and how one is written safely.
//
// A configuration named "prod" with the prefix "cellKit4after-" is the user-scope INI file of
// organisation "Quillmark" and application "cellKit4after-prod", i.e. on Linux
// ~/.config/Quillmark/cellKit4after-prod.ini. QSettings::setPath (tests, the test host's
// --config-dir) moves the whole folder.
class ConfigurationFiles
{
public:
    // The folder of the user-scope INI files of organisation "Quillmark".
    static QString folder();
    // The INI file of one configuration, e.g. ".../cellKit4after-prod.ini".
    static QString filePath(const QString &applicationName);
    // Configuration names found in the folder for `prefix`, sorted by file name; the prefix is
    // matched and removed without regard to case ("cellKit4After-b.ini" lists as "b").
    static QStringList list(const QString &prefix);
    // The application name whose file really exists when only its case differs from the one
    // asked for ("cellKit4after-b" finds "cellKit4After-b.ini" on a case-sensitive disk);
    // otherwise `applicationName` itself.
    static QString resolveApplicationName(const QString &applicationName);

    // Opens a configuration for reading or writing. Writes reach the disk only through
    // commit(), which replaces the file as a whole or not at all.
    static std::unique_ptr<QSettings> open(const QString &applicationName);
    // Writes pending changes. On failure logs an "-ERR- " line, leaves the previous file as it
    // was and returns false.
    static bool commit(QSettings &settings);

    // The native store that remembers the configuration in use ("cbSettingsFile").
    static QString storedConfigurationName(const QString &storeApplicationName);
    static void storeConfigurationName(const QString &storeApplicationName, const QString &name);
};
