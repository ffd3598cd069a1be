#pragma once
// Qt's INI reader and ours side by side: a QSettings format that reads and writes through
// IniText, and a file's keys and values as QSettings hands them out, values compared by their
// streamed form (types, doubles and invalid values alike).
#include "support/IniText.h"

#include <QDataStream>
#include <QList>
#include <QPair>
#include <QSettings>

inline QSettings::Format ourIniFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(
        "ini",
        [](QIODevice &device, QSettings::SettingsMap &map) {
            map = IniText::read(device.readAll());
            return true;
        },
        [](QIODevice &device, const QSettings::SettingsMap &map) {
            const QByteArray text = IniText::write(map);
            return device.write(text) == text.size();
        });
    return format;
}

inline QByteArray streamed(const QVariant &value)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << value;
    return bytes;
}

inline QList<QPair<QString, QByteArray>> settingsContents(const QString &path,
                                                          QSettings::Format format)
{
    const QSettings settings(path, format);
    QList<QPair<QString, QByteArray>> all;
    for (const QString &key : settings.allKeys())
        all.append({key, streamed(settings.value(key))});
    return all;
}
