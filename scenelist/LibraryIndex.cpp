#include "scenelist/LibraryIndex.h"

#include "scenelist/LoadProgress.h"
#include "support/FolderEntries.h"
#include "support/LogSink.h"
#include "support/ProductionValues.h"
#include "support/TextHelpers.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>

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

// A folder whose modification time lies this close to its reading may have changed in the
// same tick of the file system's clock (two seconds on FAT disks): it is read again.
constexpr qint64 kCoarseTimeNs = 2000000000;

qint64 clockNs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000000;
}

// Case folding one UTF-16 unit as a case-insensitive QString comparison does: a low surrogate
// after a high one folds with it as one character.
inline uint foldUnit(ushort unit, ushort previous)
{
    if (unit < 0x80)
        return uint(unit - 'A') < 26u ? unit + 32u : unit;
    if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(previous))
        return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(previous, unit)));
    return QChar::toCaseFolded(uint(unit));
}

// A hash of the case-folded units, four at a time: a block of four ASCII units is folded in one
// step (a unit from "A" to "Z" gets 0x20 added), any other block unit by unit. Both give the
// same word for the same folded units, so names equal ignoring case hash alike.
quint32 foldedHash(const QChar *name, int size)
{
    const ushort *unit = reinterpret_cast<const ushort *>(name);
    quint64 hash = 14695981039346656037ull; // FNV-1a, 64 bits
    const auto mix = [&hash](quint64 word) { hash = (hash ^ word) * 1099511628211ull; };
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        const quint64 word = qFromLittleEndian<quint64>(unit + i);
        if ((word & 0xff80ff80ff80ff80ull) == 0) {
            const quint64 fromA = (word + 0x003f003f003f003full) & 0x0080008000800080ull;
            const quint64 pastZ = (word + 0x0025002500250025ull) & 0x0080008000800080ull;
            mix(word | ((fromA & ~pastZ) >> 2));
            continue;
        }
        quint64 folded = 0;
        for (int k = 0; k < 4; ++k)
            folded |= quint64(foldUnit(unit[i + k], i + k > 0 ? unit[i + k - 1] : 0)) << (16 * k);
        mix(folded);
    }
    for (; i < size; ++i)
        mix(foldUnit(unit[i], i > 0 ? unit[i - 1] : 0));
    // The multiplications only carry upwards: the final mix (MurmurHash3's) brings every bit
    // down to the low ones the table is indexed by.
    hash = (hash ^ (hash >> 33)) * 0xff51afd7ed558ccdull;
    hash = (hash ^ (hash >> 33)) * 0xc4ceb9fe1a85ec53ull;
    return quint32(hash ^ (hash >> 33));
}

bool foldedEqual(const QChar *a, int aSize, const QChar *b, int bSize)
{
    if (aSize != bSize)
        return false;
    ushort aPrevious = 0;
    ushort bPrevious = 0;
    for (int i = 0; i < aSize; ++i) {
        const ushort x = a[i].unicode();
        const ushort y = b[i].unicode();
        if (x != y && foldUnit(x, aPrevious) != foldUnit(y, bPrevious))
            return false;
        aPrevious = x;
        bPrevious = y;
    }
    return true;
}

bool isAscii(const QChar *text, int size)
{
    for (int i = 0; i < size; ++i) {
        if (text[i].unicode() >= 0x80)
            return false;
    }
    return true;
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
                m_asciiSuffixes << isAscii(rest.constData(), rest.size());
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
        for (int i = 0; i < m_suffixes.size(); ++i) {
            if (m_asciiSuffixes.at(i) ? endsWithAscii(name, m_suffixes.at(i))
                                      : name.endsWith(m_suffixes.at(i), Qt::CaseInsensitive))
                return true;
        }
        for (const QRegularExpression &rx : m_patterns) {
            if (rx.match(name).hasMatch())
                return true;
        }
        return false;
    }

private:
    // An ASCII suffix ignoring case: a non-ASCII letter of the name never equals it.
    static bool endsWithAscii(const QString &name, const QString &suffix)
    {
        const int size = suffix.size();
        if (name.size() < size)
            return false;
        const QChar *tail = name.constData() + name.size() - size;
        const QChar *want = suffix.constData();
        for (int i = size - 1; i >= 0; --i) { // the last letters tell extensions apart
            const ushort a = tail[i].unicode();
            const ushort b = want[i].unicode();
            if (a != b && (a >= 0x80 || foldUnit(a, 0) != foldUnit(b, 0)))
                return false;
        }
        return true;
    }

    QStringList m_suffixes;
    QVector<bool> m_asciiSuffixes;
    QVector<QRegularExpression> m_patterns;
    bool m_all = true;
};

struct LibraryIndex::Settings
{
    QStringList paths; // the entries, placeholders expanded, "/" separators; blanks left out
    int depth = 0;
    QStringList nameFilters;

    Settings(const QStringList &entries, int depthLimit, const QStringList &filters,
             const ProductionValues &values)
        : depth(depthLimit), nameFilters(filters)
    {
        for (const QString &entry : entries) {
            // An empty entry would list the host's working folder.
            if (!entry.trimmed().isEmpty())
                paths << QDir::fromNativeSeparators(values.expand(entry, QString()));
        }
    }
};

// One walk below one folder of an entry: each folder walked once, by identity.
struct LibraryIndex::Walk
{
    const NameFilter &filter;
    LoadProgress *progress;
    const LibraryIndex *previous; // a refresh reuses its unchanged folders; null otherwise
    int depth;
    QString root;
    QSet<QByteArray> walked;
    QString canonicalRoot; // found when the first link is met

    // A link that leads back inside the walked folder adds nothing but a second way to the
    // same folders (and a loop, when it leads above itself).
    bool leadsInside(const QString &link)
    {
        if (canonicalRoot.isEmpty()) {
            canonicalRoot = QFileInfo(root).canonicalFilePath();
            if (!canonicalRoot.endsWith(QLatin1Char('/')))
                canonicalRoot += QLatin1Char('/');
        }
        const QString target = QFileInfo(link).canonicalFilePath() + QLatin1Char('/');
        return target.size() == 1 || target.startsWith(canonicalRoot);
    }
};

int LibraryIndex::depthForRecursionIndex(int index)
{
    return index == 3 ? 99 : index;
}

LibraryIndex::LibraryIndex()
{
    m_nameStarts << 0;
}

LibraryIndex::~LibraryIndex() = default;
LibraryIndex::LibraryIndex(LibraryIndex &&other) noexcept = default;
LibraryIndex &LibraryIndex::operator=(LibraryIndex &&other) noexcept = default;

void LibraryIndex::clear()
{
    m_folders.clear();
    m_folderIds.clear();
    m_recordFolders.clear();
    m_names.clear();
    m_nameStarts = {0};
    m_recordHashes.clear();
    m_slots.clear();
    m_slotsUsed = 0;
    m_entries.clear();
    m_listings.clear();
    m_listingByPath.clear();
    m_complete = false;
    m_lowerNames.clear();
    m_lowerStarts.clear();
    m_caseSensitiveFolders.clear();
}

bool LibraryIndex::collect(const QStringList &entries, int depth, const QStringList &nameFilters,
                           const ProductionValues &values, LoadProgress *progress)
{
    clear();
    if (progress)
        progress->setLabelText(QStringLiteral("Collect Files On Disk ... Please Wait"));
    return scan(Settings(entries, depth, nameFilters, values), nullptr, progress);
}

bool LibraryIndex::refresh(const QStringList &entries, int depth, const QStringList &nameFilters,
                           const ProductionValues &values)
{
    const Settings settings(entries, depth, nameFilters, values);
    QStringList scanned;
    for (const Entry &entry : qAsConst(m_entries))
        scanned << entry.path;
    if (!m_complete || scanned != settings.paths || depth != m_depth ||
        nameFilters != m_nameFilters) {
        clear();
        return scan(settings, nullptr, nullptr);
    }
    if (!hasChanged())
        return true;
    LibraryIndex next;
    next.m_folderReads = m_folderReads;
    next.m_recordFolders.reserve(m_recordFolders.size());
    next.m_names.reserve(m_names.size());
    next.m_nameStarts.reserve(m_nameStarts.size());
    next.m_recordHashes.reserve(m_recordHashes.size());
    next.m_slots = QVector<Slot>(m_slots.size()); // as large as it had to grow
    next.scan(settings, this, nullptr);
    *this = std::move(next);
    return true;
}

bool LibraryIndex::scan(const Settings &settings, const LibraryIndex *previous,
                        LoadProgress *progress)
{
    m_depth = settings.depth;
    m_nameFilters = settings.nameFilters;
    const NameFilter filter(settings.nameFilters);
    for (int i = 0; i < settings.paths.size(); ++i) {
        if (progress && progress->wasCanceled())
            return false;
        Entry entry;
        entry.path = settings.paths.at(i);
        resolveEntry(entry, previous ? &previous->m_entries.at(i) : nullptr);
        m_entries.append(entry);
        for (const QString &dir : qAsConst(entry.dirs)) {
            Walk walk{filter, progress, previous, settings.depth, dir, {}, {}};
            if (!scanDirectory(walk, dir, 0))
                return false;
        }
    }
    m_complete = true;
    return true;
}

// A wildcard entry's folders are searched again only when a folder the last search looked at
// changed.
void LibraryIndex::resolveEntry(Entry &entry, const Entry *previous)
{
    if (!hasWildcard(entry.path)) {
        entry.dirs << entry.path;
        return;
    }
    if (previous && !lookedChanged(*previous)) {
        entry = *previous;
        return;
    }
    entry.resolvedAt = clockNs();
    findDirectories(entry.path, entry.dirs, QStringLiteral("FUNCTION_START"), &entry.looked);
    m_folderReads += entry.looked.size();
    // The listing order of a folder depends on the file system; sorted, the first folder found
    // is the same on every machine.
    entry.dirs.sort();
}

bool LibraryIndex::lookedChanged(const Entry &entry) const
{
    for (const LookedFolder &looked : entry.looked) {
        const FolderStamp now = folderStamp(looked.path);
        if (now != looked.stamp || (now.exists && now.modified + kCoarseTimeNs >= entry.resolvedAt))
            return true;
    }
    return false;
}

bool LibraryIndex::mayHaveChanged(const Listing &listing) const
{
    return !listing.readable ||
           (listing.stamp.exists && listing.stamp.modified + kCoarseTimeNs >= listing.readAt);
}

bool LibraryIndex::hasChanged() const
{
    for (const Entry &entry : m_entries) {
        if (!entry.looked.isEmpty() && lookedChanged(entry))
            return true;
    }
    for (const Listing &listing : m_listings) {
        if (mayHaveChanged(listing) || folderStamp(listing.path) != listing.stamp)
            return true;
    }
    return false;
}

bool LibraryIndex::scanDirectory(Walk &walk, const QString &dir, int level)
{
    if (walk.progress) {
        walk.progress->processEvents();
        if (level == 0) {
            walk.progress->setLabelText(QStringLiteral("Collect Files in Path:%1 Prof=%2")
                                            .arg(dir, QString::number(level)));
            if (walk.progress->wasCanceled())
                return false;
        }
    }
    Listing listing;
    listing.path = dir;
    listing.readAt = clockNs();
    listing.stamp = folderStamp(dir);
    if (listing.stamp.exists) {
        if (walk.walked.contains(listing.stamp.identity))
            return true;
        walk.walked.insert(listing.stamp.identity);
    }
    const int folder = folderIndex(dir);
    listing.firstRecord = listing.endRecord = recordCount();
    if (listing.stamp.exists && !reuseListing(walk, listing, folder))
        listFolder(walk, listing, folder);
    m_listingByPath.insert(dir, m_listings.size()); // the latest: the same files either way
    m_listings.append(listing);
    if (level >= walk.depth || listing.subdirs.isEmpty())
        return true;

    const QString base = QDir(dir).absolutePath() + QLatin1Char('/');
    for (const QString &name : qAsConst(listing.subdirs)) {
        const QString path = base + name;
        if (listing.links.contains(name) && walk.leadsInside(path))
            continue;
        scanDirectory(walk, path, level + 1);
    }
    return true;
}

void LibraryIndex::listFolder(Walk &walk, Listing &listing, int folder)
{
    ++m_folderReads;
    FolderReader reader(listing.path, FolderEntryKinds::FilesAndDirectories);
    listing.readable = reader.isOpen();
    while (reader.next()) {
        const QString &name = reader.name();
        if (reader.isDirectory()) {
            listing.subdirs << name;
            if (reader.isLink())
                listing.links << name;
        } else if (walk.filter.accepts(name)) {
            appendRecord(folder, name.constData(), name.size());
        }
    }
    listing.endRecord = recordCount();
    // Subfolders in name order, so the first folder found does not depend on the file system.
    std::sort(listing.subdirs.begin(), listing.subdirs.end(), lessByCodeUnits);
}

bool LibraryIndex::reuseListing(Walk &walk, Listing &listing, int folder)
{
    if (!walk.previous)
        return false;
    const auto found = walk.previous->m_listingByPath.constFind(listing.path);
    if (found == walk.previous->m_listingByPath.constEnd())
        return false;
    const Listing &old = walk.previous->m_listings.at(found.value());
    if (old.stamp != listing.stamp || walk.previous->mayHaveChanged(old))
        return false;
    listing.readAt = old.readAt;
    listing.subdirs = old.subdirs;
    listing.links = old.links;
    // The folder's names in one piece, with the hashes already worked out.
    const LibraryIndex &from = *walk.previous;
    const int first = from.m_nameStarts.at(old.firstRecord);
    const int shift = m_names.size() - first;
    m_names.append(from.m_names.constData() + first, from.m_nameStarts.at(old.endRecord) - first);
    for (int r = old.firstRecord; r < old.endRecord; ++r) {
        m_recordFolders.append(folder);
        m_nameStarts.append(from.m_nameStarts.at(r + 1) + shift);
        m_recordHashes.append(from.m_recordHashes.at(r));
        rememberFirst(m_recordFolders.size() - 1);
    }
    listing.endRecord = recordCount();
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

void LibraryIndex::appendRecord(int folder, const QChar *name, int size)
{
    m_recordFolders.append(folder);
    m_names.append(name, size);
    m_nameStarts.append(m_names.size());
    m_recordHashes.append(foldedHash(name, size));
    rememberFirst(m_recordFolders.size() - 1);
}

QString LibraryIndex::recordName(int record) const
{
    const int start = m_nameStarts.at(record);
    return m_names.mid(start, m_nameStarts.at(record + 1) - start);
}

// The table keeps, for each case-folded name, the first record that has it.
void LibraryIndex::rememberFirst(int record)
{
    if ((m_slotsUsed + 1) * 2 > m_slots.size())
        growSlots();
    const QChar *name = m_names.constData() + m_nameStarts.at(record);
    const int size = m_nameStarts.at(record + 1) - m_nameStarts.at(record);
    const quint32 hash = m_recordHashes.at(record);
    Slot *table = m_slots.data();
    const int mask = m_slots.size() - 1;
    for (int i = int(hash) & mask;; i = (i + 1) & mask) {
        Slot &slot = table[i];
        if (slot.record < 0) {
            slot.hash = hash;
            slot.record = record;
            ++m_slotsUsed;
            return;
        }
        if (slot.hash == hash) {
            const QChar *first = m_names.constData() + m_nameStarts.at(slot.record);
            const int firstSize = m_nameStarts.at(slot.record + 1) - m_nameStarts.at(slot.record);
            if (foldedEqual(first, firstSize, name, size)) {
                slot.variants = slot.variants || !std::equal(name, name + size, first);
                return;
            }
        }
    }
}

void LibraryIndex::growSlots()
{
    const QVector<Slot> old = m_slots;
    m_slots = QVector<Slot>(std::max(1024, old.size() * 2));
    Slot *table = m_slots.data();
    const int mask = m_slots.size() - 1;
    for (const Slot &slot : old) {
        if (slot.record < 0)
            continue;
        int i = int(slot.hash) & mask;
        while (table[i].record >= 0)
            i = (i + 1) & mask;
        table[i] = slot;
    }
}

int LibraryIndex::slotNamed(const QChar *name, int size) const
{
    if (m_slots.isEmpty())
        return -1;
    const quint32 hash = foldedHash(name, size);
    const int mask = m_slots.size() - 1;
    for (int i = int(hash) & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots.at(i);
        if (slot.record < 0)
            return -1;
        if (slot.hash != hash)
            continue;
        const int start = m_nameStarts.at(slot.record);
        if (foldedEqual(m_names.constData() + start, m_nameStarts.at(slot.record + 1) - start, name,
                        size))
            return i;
    }
}

// folder + "/" + the name as asked, unless the disk has the file only as the index spells it:
// a disk that tells case apart, and no other record of the name in another case (then the disk
// is asked).
QString LibraryIndex::pathFor(int record, const QString &asked, bool variants) const
{
    const QString folder = m_folders.at(m_recordFolders.at(record)) + QLatin1Char('/');
    const QChar *disk = m_names.constData() + m_nameStarts.at(record);
    const int size = m_nameStarts.at(record + 1) - m_nameStarts.at(record);
    const QString path = folder + asked;
    if (asked.size() == size && std::equal(asked.constBegin(), asked.constEnd(), disk))
        return path;
    if (variants ? QFileInfo::exists(path) : !tellsCaseApart(record))
        return path;
    return folder + recordName(record);
}

// The record's name in the other case names the same file only where the disk ignores case.
bool LibraryIndex::tellsCaseApart(int record) const
{
    const int folder = m_recordFolders.at(record);
    const auto known = m_caseSensitiveFolders.constFind(folder);
    if (known != m_caseSensitiveFolders.constEnd())
        return known.value();
    const QString name = recordName(record);
    QString other = name.toUpper();
    if (other == name)
        other = name.toLower();
    const bool apart =
        other == name || !QFileInfo::exists(m_folders.at(folder) + QLatin1Char('/') + other);
    m_caseSensitiveFolders.insert(folder, apart);
    return apart;
}

bool LibraryIndex::findFiles(const QString &name, QStringList *results) const
{
    results->clear();
    if (!hasWildcard(name)) {
        const int slot = slotNamed(name.constData(), name.size());
        if (slot < 0)
            return false;
        *results << pathFor(m_slots.at(slot).record, name, m_slots.at(slot).variants);
        return true;
    }
    const WildcardWalk pattern(name.toLower());
    buildLowerNames();
    for (int i = 0; i < recordCount(); ++i) {
        const QStringRef lower =
            m_lowerNames.midRef(m_lowerStarts.at(i), m_lowerStarts.at(i + 1) - m_lowerStarts.at(i));
        if (!pattern.matches(lower))
            continue;
        const int start = m_nameStarts.at(i);
        const int slot = slotNamed(m_names.constData() + start, m_nameStarts.at(i + 1) - start);
        const QString path = pathFor(i, lower.toString(), m_slots.at(slot).variants);
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
            if (fileName(folder) == name) {
                *results << folder;
                return true;
            }
        }
        return false;
    }
    const WildcardWalk pattern(name);
    for (const QString &folder : m_folders) {
        const QString last = fileName(folder);
        if (pattern.matches(QStringRef(&last)))
            *results << folder;
    }
    return !results->isEmpty();
}

QString LibraryIndex::findFileByWalk(const QString &name) const
{
    for (int i = 0; i < recordCount(); ++i) {
        const QStringView record(m_names.constData() + m_nameStarts.at(i),
                                 m_nameStarts.at(i + 1) - m_nameStarts.at(i));
        if (record.compare(QStringView(name), Qt::CaseInsensitive) != 0)
            continue;
        // Another record of the name in another case (after this first one)?
        bool variants = false;
        for (int j = i + 1; j < recordCount() && !variants; ++j) {
            const QStringView other(m_names.constData() + m_nameStarts.at(j),
                                    m_nameStarts.at(j + 1) - m_nameStarts.at(j));
            variants = other.compare(record, Qt::CaseInsensitive) == 0 && other != record;
        }
        return pathFor(i, name, variants);
    }
    return QString();
}

QStringList LibraryIndex::scanListing() const
{
    QStringList lines{QStringLiteral("==== Scan Lib Folder List ====")};
    lines << m_folders;
    lines << QStringLiteral("==== Scan Lib File List ====");
    for (int i = 0; i < recordCount(); ++i) {
        lines << QStringLiteral("File:") + recordName(i) + QStringLiteral(" =>") +
                     m_folders.at(m_recordFolders.at(i));
    }
    lines << QStringLiteral("==== END ====");
    return lines;
}

// All lower-case names in one string: a walk over 200,000 names then reads memory in order.
void LibraryIndex::buildLowerNames() const
{
    if (m_lowerStarts.size() == recordCount() + 1)
        return;
    m_lowerNames.clear();
    m_lowerNames.reserve(m_names.size());
    m_lowerStarts.clear();
    m_lowerStarts.reserve(recordCount() + 1);
    for (int i = 0; i < recordCount(); ++i) {
        m_lowerStarts << m_lowerNames.size();
        const QChar *name = m_names.constData() + m_nameStarts.at(i);
        const int size = m_nameStarts.at(i + 1) - m_nameStarts.at(i);
        if (!isAscii(name, size)) {
            m_lowerNames += QString(name, size).toLower(); // may change the length
            continue;
        }
        for (int c = 0; c < size; ++c) {
            const ushort unit = name[c].unicode();
            m_lowerNames += QChar(uint(unit - 'A') < 26u ? unit + 32 : unit);
        }
    }
    m_lowerStarts << m_lowerNames.size();
}
