#pragma once

#include "host/aegp.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

// What the host makes of one file handed to it for import: the kind of footage, the files it
// stands for, the name it shows in the project and, for movies and sounds, the length read
// from the file's header.
//
// Example: importing "/s/A_0003.png" as a sequence from a folder holding A_0000.png,
// a_0001.PNG, A_0003.png, A_01.png and B_0001.png gathers A_0000.png, a_0001.PNG, a
// placeholder for the missing frame 2 and A_0003.png (same folder, same text before the
// digits and same extension, both ignoring case, same digit count, ordered by number). The
// item is named "A_[0000-0003].png" and has one missing frame; A_01.png (two digits) and
// B_0001.png belong to other sequences.
struct FootageScan
{
    bool ok = false;
    QString error;         // why the file cannot be footage, when !ok
    QString kind;          // "sequence", "still", "movie" or "sound"
    QString name;          // "BG.png", "A_[0000-0003].png"
    QStringList files;     // absolute paths; a sequence: one per frame, "" for a missing frame
    int missingFrames = 0; // placeholders in `files`
    A_Time nativeDuration{0, 1}; // movies and sounds: from the header, else one second
};

// The largest number of frames (found or missing) one gathered sequence may span.
constexpr int kMaxSequenceFrames = 1000000;

// The files of one folder, listed once, with the numbered names grouped by sequence pattern
// ("shot_0012.PNG" and "SHOT_0013.png" in one group, "shot_01.png" in another).
struct FolderListing
{
    QDateTime modified;                  // the folder's time when it was listed
    QStringList names;                   // files only, in the folder's own order
    QVector<qint64> numbers;             // the frame number of each numbered name
    QHash<QString, QVector<int>> groups; // pattern key -> indexes into names, in name order

    static FolderListing of(const QString &dir);
    bool has(const QString &name) const;
};

// Folder listings kept while the plug-in runs (one idle call, one command). A scene import
// hands the host hundreds of sequences from the same few folders, and each would otherwise
// list its folder again. A listing is taken anew when the folder's time changed, when the file
// asked for is not in it, or when the frame 0 of its sequence is on disk but not in it (the
// zero image the plug-in writes just before importing a sequence, possibly within the same
// tick of the file system's clock).
//
// At most kMaxListedFolders listings are kept; a run that lists more starts over.
class FolderListings
{
public:
    static constexpr int kMaxListedFolders = 64;

    const FolderListing &folder(const QString &dir, const QString &name, const QString &frameZero);
    void clear() { m_folders.clear(); }
    int size() const { return m_folders.size(); }

private:
    QHash<QString, FolderListing> m_folders;
};

// `sequence`: gather the numbered siblings of the file (the host's "all in folder" import
// option); `forceAlphabetical`: take them in name order with no placeholders for gaps.
// `listings`, when given, keeps the folder listings of a run.
FootageScan scanFootage(const QString &path, bool sequence, bool forceAlphabetical,
                        FolderListings *listings = nullptr);

// "movie" for swf, mov, mp4 and m4v files, "sound" for wav, mp3 and aif, else "still".
QString footageKindForSuffix(const QString &suffix);

// Readers of the length recorded in a file's header; false when the header does not say.
bool readMovieDuration(QIODevice &file, A_Time *duration);
bool readWaveDuration(QIODevice &file, A_Time *duration);
