// Fuzz target: the INI text of the configurations on arbitrary bytes. Checks that reading
// what was written gives the same keys and values again (odd keys settled as Qt settles them),
// and that Qt's own INI reader and ours agree on every key and value of the same file and of
// the file Qt writes anew from those keys. (Inputs holding "@Variant(" or "@DateTime(" are only
// read and written: Qt decodes types there that ours declines, and its stream format is its own.)
#include "FuzzTarget.h"
#include "tests/common/IniReaders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace {

// Keys and values as they settle once written, the same in Qt's INI files: empty parts between
// slashes go ("[]" then "b\k=" gives "/b/k", written back as "b/k"), a first part "general" in
// any case comes back as "General" (its section is written "[%General]"), and a list of values
// that are all texts comes back as a list of texts. A key ending in a slash is left out: written
// as "k\=" its backslash may take the "=" along and lose the key (QSettings never makes one).
QMap<QString, QByteArray> settled(const IniText::Map &map, QSet<QString> *uncertain, bool *distinct)
{
    QMap<QString, QByteArray> out;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QStringList parts = it.key().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.size() > 1 &&
            parts.first().compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
            parts.first() = QStringLiteral("General");
        const QString name = parts.join(QLatin1Char('/'));
        if (out.contains(name))
            *distinct = false; // a/b and /a//b: no telling which value stays
        if (it.key().endsWith(QLatin1Char('/')))
            uncertain->insert(name);
        QVariant value = it.value();
        const QVariantList items = value.toList();
        if (value.userType() == QMetaType::QVariantList &&
            std::all_of(items.cbegin(), items.cend(),
                        [](const QVariant &v) { return v.userType() == QMetaType::QString; }))
            value = value.toStringList();
        out.insert(name, streamed(value));
    }
    return out;
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
    const IniText::Map first = IniText::read(bytes);
    const IniText::Map again = IniText::read(IniText::write(first));
    // Values in Qt's stream format are Qt's to keep stable (a time stamp with a made-up time
    // zone comes back another way each time); the rest is ours.
    if (bytes.contains("@Variant(") || bytes.contains("@DateTime("))
        return 0;
    bool distinct = true;
    QSet<QString> uncertain;
    QMap<QString, QByteArray> before = settled(first, &uncertain, &distinct);
    QMap<QString, QByteArray> after = settled(again, &uncertain, &distinct);
    for (const QString &name : qAsConst(uncertain)) {
        before.remove(name);
        after.remove(name);
    }
    check(!distinct || after == before);
    if (size > 4096)
        return 0;
    const QSettings::Format ours = ourIniFormat();
    const QString qtPath = scratchFile("qt");
    const QString ourPath = scratchFile("ours");
    check(writeFile(qtPath, bytes) && writeFile(ourPath, bytes));
    check(settingsContents(ourPath, ours) == settingsContents(qtPath, QSettings::IniFormat));

    // Qt writes what was read into a new file (in the order the keys were set, where ours sorts
    // them); both readers agree on that file too.
    const QString freshPath = scratchFile("fresh");
    {
        const QSettings read(ourPath, ours);
        QSettings fresh(freshPath, QSettings::IniFormat);
        for (const QString &key : read.allKeys())
            fresh.setValue(key, read.value(key));
    }
    // Read from copies: QSettings would answer from its cache of the file it just wrote.
    QFile written(freshPath);
    const QByteArray qtText = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    const QString ourCopy = scratchFile("ours-copy");
    const QString qtCopy = scratchFile("qt-copy");
    check(writeFile(ourCopy, qtText) && writeFile(qtCopy, qtText));
    check(settingsContents(ourCopy, ours) == settingsContents(qtCopy, QSettings::IniFormat));
    for (const QString &path : {qtPath, ourPath, freshPath, ourCopy, qtCopy})
        QFile::remove(path);
    return 0;
}
