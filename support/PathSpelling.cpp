#include "support/PathSpelling.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

// The entry of dir named `name` in another case; the first in name order when several are.
QString entryIgnoringCase(const QString &dir, const QString &name)
{
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

QString spellingOnDisk(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    // The longest part that exists as written, then each missing name looked up in its folder.
    QStringList missing;
    QString existing = clean;
    while (!QFileInfo::exists(existing)) {
        const int slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return path;
        missing.prepend(existing.mid(slash + 1));
        existing = slash == 0 ? QStringLiteral("/") : existing.left(slash);
    }
    for (const QString &name : qAsConst(missing)) {
        const QString entry = entryIgnoringCase(existing, name);
        if (entry.isEmpty())
            return path;
        existing = existing.endsWith(QLatin1Char('/')) ? existing + entry
                                                       : existing + QLatin1Char('/') + entry;
    }
    return existing;
}
