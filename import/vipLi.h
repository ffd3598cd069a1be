#pragma once

#include "host/aegp.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class SuiteCache;

// The host project operations. Each one builds a short-lived SuiteCache on the basic suite of
// the HostConnection, so its suites are released when it returns; a failed host call is
// recorded (last host error and an "-ERR I- line %d, file(%s)" line in the error log) and the
// operation reports failure instead of throwing.
//
// Example: importing the column "SC01/BG/A0001.png" as a sequence into the folder "Chars/Main"
// first looks for a footage item of the same directory, key "a" and extension (and reuses it),
// otherwise makes the footage from the first cell and files it under the project folders Chars
// and Main (an existing Main anywhere in the project is taken as it is).

// Column types of the composition assembly; a movie file is imported as kColumnMovie whatever
// its column says.
enum ColumnType { kColumnSequence = 1, kColumnFixed = 2, kColumnMovie = 3 };

// Runs a host menu command (3 Open, 5 Save, 16 Undo, 2035 Redo). False when the host refused
// or no connection exists.
bool DoCommand(A_long command);

// The first composition, in the host's item order, whose whole name equals `name`
// (case-sensitive); null when there is none or a host call failed.
AEGP_CompH FindCompByName(const QString &name);
// The first folder anywhere in the project named `name`; null when none.
AEGP_ItemH FindFolderByName(const QString &name);
// Walks `names` from the root folder: an existing folder of a name (anywhere in the project) is
// taken, a missing one is created in the current folder. The root folder for an empty list;
// null when a host call failed.
AEGP_ItemH GetFolderPath(AEGP_ProjectH project, const QStringList &names);

// Footage items keyed as SameFootage compares them (directory, extension, and sequence key or
// base name, ignoring case), in the host's item order as far as it is known. A look-up gives
// what a walk over the items would give: the first equal item in that order.
//
// Example: with "/s/BG/A0001.png" (a sequence) in it, "/S/bg/a0007.PNG" as a sequence finds it
// under ("/s/bg", "png", "a"); as a fixed image it finds nothing (an item of many files).
class FootageKeys
{
public:
    void clear();
    // `walked`: the item comes after every walked item inserted before it. An item added since
    // the walk has no known place: the host may file it before others.
    void insert(const QString &path, AEGP_ItemH item, int files, bool walked);
    // False when the keys cannot tell which of two equal items comes first (one was added
    // since the walk); otherwise *found is the first equal item, null when none.
    bool lookUp(const QString &path, int type, AEGP_ItemH *found) const;

private:
    struct Key
    {
        QString dir, ext, name; // name: the sequence key or the base name
        bool operator==(const Key &other) const
        {
            return name == other.name && dir == other.dir && ext == other.ext;
        }
    };
    friend uint qHash(const Key &key, uint seed)
    {
        return qHash(key.name, seed) ^ (qHash(key.dir, seed) * 31U) ^ (qHash(key.ext, seed) * 7U);
    }
    struct Entry
    {
        AEGP_ItemH item = nullptr;
        int files = 0;
        bool walked = false;
    };

    QVector<Entry> m_entries;
    QHash<Key, QVector<int>> m_bySequence;
    QHash<Key, QVector<int>> m_byName;
};

// The footage items and folders of the open project for ImportFootage, so that a scene of
// hundreds of columns or elements does not compare each new one with every item imported
// before it, nor walk the project for its folders. One walk on first use builds it; then it
// learns of the items and folders ImportFootage adds through it. Any other change of the
// project made through the host operations (a script, a command, another project, an import
// without this index) is counted by the HostConnection, and the next look-up walks again.
//
// Example: 300 stills of a created scene in the folders CHARS and PROPS: one walk of the new
// project, then each still is looked up by its key and its folder by name.
class FootageIndex
{
public:
    void invalidate();
    // The item equal to `path` of `type`, null when none. False when a host call failed.
    bool find(SuiteCache &suites, AEGP_ProjectH project, const QString &path, int type,
              AEGP_ItemH *found);
    // What GetFolderPath gives for `names`, without walking the project: the first folder of
    // each name in the item order, a missing one created in the current folder. Null when a
    // host call failed.
    AEGP_ItemH folderPath(SuiteCache &suites, AEGP_ProjectH project, const QStringList &names);
    // An item ImportFootage has just added to the project.
    void added(SuiteCache &suites, AEGP_ItemH item);

private:
    bool upToDate(AEGP_ProjectH project) const;
    bool build(SuiteCache &suites, AEGP_ProjectH project);
    // Takes the changes this index made itself as known.
    void caughtUp();

    bool m_built = false;
    AEGP_ProjectH m_project = nullptr;
    quint64 m_changes = 0;
    FootageKeys m_keys;
    QHash<QString, AEGP_ItemH> m_folders; // the first folder of each name in the item order
};

// Imports `path` as footage of `type` (ColumnType), or reuses an equal footage item already in
// the project (SameFootage). folderPath is "/"-separated; with createZero a sequence gets its
// zero image written first. True when *outItem holds an item. `index`, when given, replaces the
// walk over the project and learns of the item made.
bool ImportFootage(int type, const QString &path, AEGP_ItemH *outItem, const QString &folderPath,
                   bool createZero, FootageIndex *index = nullptr);
// Whether an existing footage item (first file existingPath, fileCount files) stands for the
// file newPath of `type`: same directory and extension, and the same sequence key (sequences)
// or base name (fixed images, movies), compared ignoring case. A fixed image never matches an
// item of two or more files.
bool SameFootage(const QString &existingPath, const QString &newPath, int type, int fileCount);
// Sets the conform frame rate of the item's main footage. False when a host call failed.
bool SetFootageFrameRate(AEGP_ItemH item, int fps);

// The column type a file is imported as: movies ("mov", "swf") whatever the column says.
int footageType(int columnType, const QString &path);
// "A0012" -> "A": the base name (no directory, no extension) without its trailing digits.
QString sequenceKey(const QString &path);

// Records the result of one host call made at line `line` of source file `file`: 0 clears the
// last host error; anything else becomes the last host error and is logged. True on 0.
bool recordHostResult(A_Err err, int line, const char *file);

// Use as: if (!VIP_HOST_OK(suites.commandSuite()->AEGP_DoCommand(cmd))) return false;
#define VIP_HOST_OK(call) recordHostResult((call), __LINE__, __FILE__)

// "import/vipLi.cpp" from whatever path the compiler gave __FILE__: the folder and the file.
const char *sourceUnitPath(const char *file);
