#include "scenelist/LibraryIndex.h"

#include "scenelist/LoadProgress.h"
#include "support/FolderEntries.h"
#include "support/LogSink.h"
#include "support/ProductionValues.h"
#include "support/TextHelpers.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool isWildcardChar(QChar c)
{
    return c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('[') ||
           c == QLatin1Char(']');
}

// A wildcard pattern compiled once for a walk over many texts. The literal parts of the
// pattern are looked for first (its head, its tail and, without character sets, the parts
// between stars in order): they reject most names without running the expression.
class WildcardWalk
{
public:
    explicit WildcardWalk(const QString &pattern) : m_pattern(pattern), m_rx(wildcardRegex(pattern))
    {
        m_rx.optimize();
        int head = 0;
        while (head < pattern.size() && !isWildcardChar(pattern.at(head)))
            ++head;
        int tail = pattern.size();
        while (tail > head && !isWildcardChar(pattern.at(tail - 1)))
            --tail;
        m_head = pattern.left(head);
        m_tail = pattern.mid(tail);
        if (!pattern.contains(QLatin1Char('[')) && !pattern.contains(QLatin1Char(']'))) {
            static const QRegularExpression wild(QStringLiteral("[*?]"));
            m_middle = pattern.mid(head, tail - head).split(wild, Qt::SkipEmptyParts);
        }
    }

    bool matches(const QStringRef &text) const
    {
        if (text.size() < m_head.size() + m_tail.size() || !text.startsWith(m_head) ||
            !text.endsWith(m_tail))
            return false;
        int from = m_head.size();
        for (const QString &part : m_middle) {
            const int at = text.indexOf(part, from);
            if (at < 0)
                return false;
            from = at + part.size();
        }
        if (from > text.size() - m_tail.size())
            return false;
        return text == m_pattern ||
               m_rx.match(text, 0, QRegularExpression::NormalMatch,
                          QRegularExpression::DontCheckSubjectStringMatchOption)
                   .hasMatch();
    }

private:
    QString m_pattern;
    QRegularExpression m_rx;
    QString m_head;
    QString m_tail;
    QStringList m_middle;
};

QString lastComponent(const QString &path)
{
    return fileName(path);
}

} // namespace

// The name filters of a directory listing: "*.ext" patterns matched ignoring case, as a
// directory listing with name filters does. Plain extensions are compared as suffixes.
class LibraryIndex::NameFilter
{
public:
    explicit NameFilter(const QStringList &filters)
    {
        for (const QString &filter : filters) {
            const QString rest = filter.mid(1);
            if (filter.startsWith(QLatin1Char('*')) &&
                std::none_of(rest.begin(), rest.end(), isWildcardChar)) {
                m_suffixes << rest;
            } else {
                m_patterns << QRegularExpression(
                    QRegularExpression::wildcardToRegularExpression(filter),
                    QRegularExpression::CaseInsensitiveOption);
            }
        }
        m_all = filters.isEmpty();
    }

    bool accepts(const QString &name) const
    {
        if (m_all)
            return true;
        for (const QString &suffix : m_suffixes) {
            if (name.endsWith(suffix, Qt::CaseInsensitive))
                return true;
        }
        for (const QRegularExpression &rx : m_patterns) {
            if (rx.match(name).hasMatch())
                return true;
        }
        return false;
    }

private:
    QStringList m_suffixes;
    QVector<QRegularExpression> m_patterns;
    bool m_all = true;
};

int LibraryIndex::depthForRecursionIndex(int index)
{
    return index == 3 ? 99 : index;
}

void LibraryIndex::clear()
{
    m_folders.clear();
    m_folderIds.clear();
    m_records.clear();
    m_firstByName.clear();
    m_lowerNames.clear();
    m_lowerStarts.clear();
}

bool LibraryIndex::collect(const QStringList &entries, int depth, const QStringList &nameFilters,
                           const ProductionValues &values, LoadProgress *progress)
{
    clear();
    if (progress)
        progress->setLabelText(QStringLiteral("Collect Files On Disk ... Please Wait"));
    const NameFilter filter(nameFilters);
    for (const QString &entry : entries) {
        if (progress && progress->wasCanceled())
            return false;
        // An empty entry would list the host's working folder.
        if (entry.trimmed().isEmpty())
            continue;
        const QString path = QDir::fromNativeSeparators(values.expand(entry, QString()));
        QStringList dirs;
        if (hasWildcard(path)) {
            findDirectories(path, dirs, QStringLiteral("FUNCTION_START"));
            // The listing order of a folder depends on the file system; sorted, the first
            // folder found is the same on every machine.
            dirs.sort();
        } else {
            dirs << path;
        }
        for (const QString &dir : qAsConst(dirs)) {
            if (!scanDirectory(dir, depth, 0, filter, progress))
                return false;
        }
    }
    return true;
}

bool LibraryIndex::scanDirectory(const QString &dir, int depth, int level, const NameFilter &filter,
                                 LoadProgress *progress)
{
    if (progress) {
        progress->processEvents();
        if (level == 0) {
            progress->setLabelText(QStringLiteral("Collect Files in Path:%1 Prof=%2")
                                       .arg(dir, QString::number(level)));
            if (progress->wasCanceled())
                return false;
        }
    }
    const int folder = folderIndex(dir);

    // One pass over the folder gives both its files and its subfolders.
    QStringList subdirs;
    QVector<QString> symlinkedDirs;
    for (const FolderEntry &entry :
         readFolderEntries(dir, FolderEntryKinds::FilesAndDirectories)) {
        if (entry.isDirectory) {
            if (level < depth) {
                subdirs << entry.name;
                if (entry.isLink)
                    symlinkedDirs << entry.name;
            }
        } else if (filter.accepts(entry.name)) {
            m_records.append({folder, entry.name});
            int &first = m_firstByName[entry.name.toCaseFolded()];
            if (first == 0)
                first = m_records.size(); // 1-based: 0 is "not yet seen"
        }
    }
    if (subdirs.isEmpty())
        return true;

    // Subfolders in name order, so the first folder found does not depend on the file system.
    subdirs.sort();
    const QString base = QDir(dir).absolutePath() + QLatin1Char('/');
    const QString here = symlinkedDirs.isEmpty() ? QString() : QFileInfo(dir).canonicalFilePath();
    for (const QString &name : qAsConst(subdirs)) {
        if (symlinkedDirs.contains(name)) {
            // A link back to a folder above would be followed down to the depth limit.
            const QString target = QFileInfo(base + name).canonicalFilePath();
            if (target.isEmpty() || here == target || here.startsWith(target + QLatin1Char('/')))
                continue;
        }
        scanDirectory(base + name, depth, level + 1, filter, nullptr);
    }
    return true;
}

int LibraryIndex::folderIndex(const QString &dir)
{
    const auto found = m_folderIds.constFind(dir);
    if (found != m_folderIds.constEnd())
        return found.value();
    m_folders << dir;
    m_folderIds.insert(dir, m_folders.size() - 1);
    return m_folders.size() - 1;
}

bool LibraryIndex::findFiles(const QString &name, QStringList *results) const
{
    results->clear();
    if (!hasWildcard(name)) {
        const auto found = m_firstByName.constFind(name.toCaseFolded());
        if (found == m_firstByName.constEnd())
            return false;
        const Record &record = m_records.at(found.value() - 1);
        *results << m_folders.at(record.folder) + QLatin1Char('/') + name;
        return true;
    }
    const WildcardWalk pattern(name.toLower());
    buildLowerNames();
    for (int i = 0; i < m_records.size(); ++i) {
        const QStringRef lower =
            m_lowerNames.midRef(m_lowerStarts.at(i), m_lowerStarts.at(i + 1) - m_lowerStarts.at(i));
        if (!pattern.matches(lower))
            continue;
        const QString path = m_folders.at(m_records.at(i).folder) + QLatin1Char('/') + lower;
        appendLog(QStringLiteral("-INF- Found Wilcard:") + path);
        *results << path;
    }
    return !results->isEmpty();
}

bool LibraryIndex::findFolders(const QString &name, QStringList *results) const
{
    results->clear();
    if (!hasWildcard(name)) {
        for (const QString &folder : m_folders) {
            if (lastComponent(folder) == name) {
                *results << folder;
                return true;
            }
        }
        return false;
    }
    const WildcardWalk pattern(name);
    for (const QString &folder : m_folders) {
        const QString last = lastComponent(folder);
        if (pattern.matches(QStringRef(&last)))
            *results << folder;
    }
    return !results->isEmpty();
}

QString LibraryIndex::findFileByWalk(const QString &name) const
{
    for (const Record &record : m_records) {
        if (record.name.compare(name, Qt::CaseInsensitive) == 0)
            return m_folders.at(record.folder) + QLatin1Char('/') + name;
    }
    return QString();
}

QStringList LibraryIndex::scanListing() const
{
    QStringList lines{QStringLiteral("==== Scan Lib Folder List ====")};
    lines << m_folders;
    lines << QStringLiteral("==== Scan Lib File List ====");
    for (const Record &record : m_records) {
        lines << QStringLiteral("File:") + record.name + QStringLiteral(" =>") +
                     m_folders.at(record.folder);
    }
    lines << QStringLiteral("==== END ====");
    return lines;
}

// All lower-case names in one string: a walk over 200,000 names then reads memory in order.
void LibraryIndex::buildLowerNames() const
{
    if (m_lowerStarts.size() == m_records.size() + 1)
        return;
    m_lowerNames.clear();
    m_lowerStarts.clear();
    m_lowerStarts.reserve(m_records.size() + 1);
    for (const Record &record : m_records) {
        m_lowerStarts << m_lowerNames.size();
        m_lowerNames += record.name.toLower();
    }
    m_lowerStarts << m_lowerNames.size();
}
