// Fuzz target: the INI text of the configurations on arbitrary bytes. Checks that reading
// what was written gives the same text again, and that Qt's own INI reader and ours agree on
// every key and value of the same file (inputs holding "@Variant(" or "@DateTime(" are left out
// of that comparison: there Qt decodes types that ours declines).
#include "support/IniText.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool readOurs(QIODevice &device, QSettings::SettingsMap &map)
{
    map = IniText::read(device.readAll());
    return true;
}

bool writeOurs(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray text = IniText::write(map);
    return device.write(text) == text.size();
}

QByteArray streamed(const QVariant &value)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << value;
    return bytes;
}

// Keys and values as QSettings hands them out, so both readers meet the same normalisation.
QList<QPair<QString, QByteArray>> contents(const QString &path, QSettings::Format format)
{
    const QSettings settings(path, format);
    QList<QPair<QString, QByteArray>> all;
    for (const QString &key : settings.allKeys())
        all.append({key, streamed(settings.value(key))});
    return all;
}

QString scratchFile(const char *tag)
{
    static int serial = 0;
    return QDir::temp().filePath(QStringLiteral("fuzz-initext-%1-%2-%3.ini")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(++serial)
                                     .arg(QLatin1String(tag)));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QByteArray once = IniText::write(IniText::read(bytes));
    check(IniText::write(IniText::read(once)) == once);

    if (bytes.contains("@Variant(") || bytes.contains("@DateTime(") || size > 4096)
        return 0;
    static const QSettings::Format ours = QSettings::registerFormat("ini", readOurs, writeOurs);
    const QString qtPath = scratchFile("qt");
    const QString ourPath = scratchFile("ours");
    check(writeFile(qtPath, bytes) && writeFile(ourPath, bytes));
    check(contents(ourPath, ours) == contents(qtPath, QSettings::IniFormat));
    QFile::remove(qtPath);
    QFile::remove(ourPath);
    return 0;
}
