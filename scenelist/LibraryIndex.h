#pragma once
// The asset library index: the library folders scanned once per load into a list of folders
// and one record per file (folder index, file name), so that thousands of asset searches never
// touch the disk. Exact names are answered through a table of the case-folded names; wildcard
// names walk the records once with one compiled pattern.
//
// Example: entries {"/lib/a", "/lib/b"} at depth 0, both folders holding char_a.png:
// findFiles("Char_A.PNG") gives {"/lib/a/Char_A.PNG"} (the first folder scanned wins, the name
// comes back as asked where the disk answers to it, else as the disk spells it: on a disk that
// tells case apart, "/lib/a/char_a.png"); findFiles("char_*.png") gives {"/lib/a/char_a.png",
// "/lib/b/char_a.png"}; findFolders("b") gives {"/lib/b"} and findFolders("B") nothing.
// An entry "/lib/*/chars" is first resolved to every folder named chars below /lib.
//
// A scan walks each folder once: a link back into the folder being scanned is not followed
// (what it leads to is indexed by its own path), and a folder outside it reached through two
// links is indexed once.
//
// The names of all records are kept one after the other in one string and the look-up table
// holds record numbers: a library of 200,000 files is a handful of blocks, built and released
// in one go.
#include "support/FolderEntries.h"
#include "support/TextHelpers.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class LoadProgress;
struct ProductionValues;

class LibraryIndex
{
public:
    // cbLibraryFolderRecursion: entries 0, 1, 2 are their depth, the last (3) is 99.
    static int depthForRecursionIndex(int index);

    LibraryIndex();
    ~LibraryIndex();
    LibraryIndex(LibraryIndex &&other) noexcept;
    LibraryIndex &operator=(LibraryIndex &&other) noexcept;

    // Rebuilds the index from the library entries (placeholders expanded with an empty %a,
    // separators turned to "/", wildcard entries resolved with findDirectories). Only files
    // matching a name filter ("*.png", case-insensitive) are indexed; no filter indexes all.
    // Blank entries are skipped. False when the progress was cancelled: the index then holds
    // what was scanned before.
    bool collect(const QStringList &entries, int depth, const QStringList &nameFilters,
                 const ProductionValues &values, LoadProgress *progress = nullptr);
    // Brings the index up to date with the disk, with the result collect() would give, reading
    // again only the folders that changed since they were read: a folder's modification time
    // changes when an entry is added to it, removed or renamed. A folder whose time lies within
    // two seconds of its reading is read again too (some file systems keep times that coarse).
    // Other entries, depth or filters than the last collection's, or a cancelled collection,
    // make it a full collection.
    bool refresh(const QStringList &entries, int depth, const QStringList &nameFilters,
                 const ProductionValues &values);
    void clear();

    // The distinct folders visited, in visiting order; an entry that does not exist is here too.
    const QStringList &folders() const { return m_folders; }
    // The records, in scan order.
    int recordCount() const { return m_recordFolders.size(); }
    int recordFolder(int record) const { return m_recordFolders.at(record); }
    QString recordName(int record) const;
    // Folders read from disk (listed) by this index since it was made.
    int folderReads() const { return m_folderReads; }

    // Without wildcard: the first record whose name equals `name` ignoring case gives
    // folder + "/" + name. With wildcard: every record whose lower-case name matches the
    // lower-case pattern gives folder + "/" + lower-case name ("-INF- Found Wilcard:" logged).
    // Where that path does not exist (a disk that tells case apart), the name is the one on
    // disk. results is replaced; true when there is at least one.
    bool findFiles(const QString &name, QStringList *results) const;
    // Like findFiles over the folders' last path component, case-sensitive; the results are
    // the folder paths.
    bool findFolders(const QString &name, QStringList *results) const;
    // The exact-name search as a walk over the records (what the table must agree with).
    QString findFileByWalk(const QString &name) const;

    // The "Show Scan" listing: folder list, then "File:<name> =><folder>" per record.
    QStringList scanListing() const;

private:
    class NameFilter;
    struct Settings;
    struct Walk;
    // A library entry as scanned: its folders (a wildcard entry's matches, in name order) and,
    // for a wildcard entry, the folders its search looked at.
    struct Entry
    {
        QString path; // placeholders expanded, "/" separators
        QStringList dirs;
        QVector<LookedFolder> looked;
        qint64 resolvedAt = 0; // clock before the search (ns)
    };
    // One folder as read from disk: its stamp, its indexed files (a range of records) and its
    // subfolders in name order.
    struct Listing
    {
        QString path;
        FolderStamp stamp;
        qint64 readAt = 0;    // clock before the reading (ns)
        bool readable = true; // false: it exists but could not be opened
        int firstRecord = 0;
        int endRecord = 0;
        QStringList subdirs;
        QStringList links; // the subfolders that are links
    };
    struct Slot
    {
        quint32 hash = 0;
        int record = -1;       // -1: free
        bool variants = false; // another record has the name in another case
    };

    bool scan(const Settings &settings, const LibraryIndex *previous, LoadProgress *progress);
    void resolveEntry(Entry &entry, const Entry *previous);
    bool scanDirectory(Walk &walk, const QString &dir, int level);
    void listFolder(Walk &walk, Listing &listing, int folder);
    bool reuseListing(Walk &walk, Listing &listing, int folder);
    bool hasChanged() const;
    bool lookedChanged(const Entry &entry) const;
    bool mayHaveChanged(const Listing &listing) const;
    int slotNamed(const QChar *name, int size) const;
    int folderIndex(const QString &dir);
    void appendRecord(int folder, const QChar *name, int size);
    void rememberFirst(int record);
    void growSlots();
    QString pathFor(int record, const QString &asked, bool variants) const;
    bool tellsCaseApart(int record) const;
    void buildLowerNames() const;

    QStringList m_folders;
    QHash<QString, int> m_folderIds;
    // Record i: folder m_recordFolders[i], name m_names.mid(m_nameStarts[i], next start - it).
    QVector<int> m_recordFolders;
    QString m_names;
    QVector<int> m_nameStarts;       // one more than the records
    QVector<quint32> m_recordHashes; // of each record's case-folded name
    // Open addressing on the case-folded names: the first record of each name.
    QVector<Slot> m_slots;
    int m_slotsUsed = 0;

    // What the last collection scanned, for refresh().
    QVector<Entry> m_entries;
    QVector<Listing> m_listings;         // every folder walked, in walking order
    QHash<QString, int> m_listingByPath; // the first listing of a path
    int m_depth = 0;
    QStringList m_nameFilters;
    bool m_complete = false;
    int m_folderReads = 0;

    // The lower-case names, one after the other, and where each starts (plus the end):
    // filled by the first wildcard search.
    mutable QString m_lowerNames;
    mutable QVector<int> m_lowerStarts;
    // Per folder: whether its disk tells "a.png" from "A.PNG" (asked of the disk once).
    mutable QHash<int, bool> m_caseSensitiveFolders;
};
