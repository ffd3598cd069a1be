#pragma once
// The asset library index: the library folders scanned once per load into a list of folders
// and one record per file (folder index, file name), so that thousands of asset searches never
// touch the disk. Exact names are answered through a hash on the case-folded name; wildcard
// names walk the records once with one compiled pattern.
//
// Example: entries {"/lib/a", "/lib/b"} at depth 0, both folders holding char_a.png:
// findFiles("Char_A.PNG") gives {"/lib/a/Char_A.PNG"} (the first folder scanned wins, the name
// comes back as asked); findFiles("char_*.png") gives {"/lib/a/char_a.png",
// "/lib/b/char_a.png"}; findFolders("b") gives {"/lib/b"} and findFolders("B") nothing.
// An entry "/lib/*/chars" is first resolved to every folder named chars below /lib.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class LoadProgress;
struct ProductionValues;

class LibraryIndex
{
public:
    struct Record
    {
        int folder = 0; // index in folders()
        QString name;   // file name without directory
    };

    // cbLibraryFolderRecursion: entries 0, 1, 2 are their depth, the last (3) is 99.
    static int depthForRecursionIndex(int index);

    // Rebuilds the index from the library entries (placeholders expanded with an empty %a,
    // separators turned to "/", wildcard entries resolved with findDirectories). Only files
    // matching a name filter ("*.png", case-insensitive) are indexed; no filter indexes all.
    // Blank entries are skipped. False when the progress was cancelled: the index then holds
    // what was scanned before.
    bool collect(const QStringList &entries, int depth, const QStringList &nameFilters,
                 const ProductionValues &values, LoadProgress *progress = nullptr);
    void clear();

    // The distinct folders visited, in visiting order; an entry that does not exist is here too.
    const QStringList &folders() const { return m_folders; }
    const QVector<Record> &records() const { return m_records; }

    // Without wildcard: the first record whose name equals `name` ignoring case gives
    // folder + "/" + name. With wildcard: every record whose lower-case name matches the
    // lower-case pattern gives folder + "/" + lower-case name ("-INF- Found Wilcard:" logged).
    // results is replaced; true when there is at least one.
    bool findFiles(const QString &name, QStringList *results) const;
    // Like findFiles over the folders' last path component, case-sensitive; the results are
    // the folder paths.
    bool findFolders(const QString &name, QStringList *results) const;
    // The exact-name search as a walk over the records (what the hash must agree with).
    QString findFileByWalk(const QString &name) const;

    // The "Show Scan" listing: folder list, then "File:<name> =><folder>" per record.
    QStringList scanListing() const;

private:
    class NameFilter;
    bool scanDirectory(const QString &dir, int depth, int level, const NameFilter &filter,
                       LoadProgress *progress);
    int folderIndex(const QString &dir);
    void buildLowerNames() const;

    QStringList m_folders;
    QHash<QString, int> m_folderIds;
    QVector<Record> m_records;
    QHash<QString, int> m_firstByName; // case-folded name -> first record + 1
    // The lower-case names, one after the other, and where each starts (plus the end):
    // filled by the first wildcard search.
    mutable QString m_lowerNames;
    mutable QVector<int> m_lowerStarts;
};
