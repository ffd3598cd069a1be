#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

// The entries of one folder as QDir lists them: hidden entries, "." and ".." left out, links
// taken for what they lead to, broken links and special files left out. In the folder's own
// order. On Unix the folder is read directly: QDirIterator makes a QFileInfo of every entry,
// several times the cost of the listing itself in folders of thousands of frames.
struct FolderEntry
{
    QString name;
    bool isDirectory = false;
    bool isLink = false; // a symbolic link (to what isDirectory says)
};

enum class FolderEntryKinds { Files, FilesAndDirectories };

QVector<FolderEntry> readFolderEntries(const QString &dir, FolderEntryKinds kinds);

// The same entries one at a time, the name decoded into one reused string: a library of
// 200,000 files is read without a string per file.
//
//     FolderReader reader(dir, FolderEntryKinds::FilesAndDirectories);
//     while (reader.next())
//         use(reader.name(), reader.isDirectory(), reader.isLink()); // name() until next()
class FolderReader
{
public:
    FolderReader(const QString &dir, FolderEntryKinds kinds);
    ~FolderReader();
    FolderReader(const FolderReader &) = delete;
    FolderReader &operator=(const FolderReader &) = delete;

    // False when the folder could not be opened (missing, not a folder, no permission).
    bool isOpen() const;
    // Moves to the next entry; false at the end.
    bool next();
    const QString &name() const { return m_name; }
    bool isDirectory() const { return m_isDirectory; }
    bool isLink() const { return m_isLink; }

private:
    struct Stream; // the platform's folder stream
    std::unique_ptr<Stream> m_stream;
    QString m_name;
    bool m_isDirectory = false;
    bool m_isLink = false;
};

// What tells whether a folder is still the one that was listed: which folder it is (device and
// inode; the canonical path where the system has no inodes), when an entry was last added,
// removed or renamed in it, and (where the system keeps it) when anything about the folder
// itself last changed, its permissions included. Links are followed: the stamp is the target's.
//
// Example: /lib/a and a link /lib/b -> a give the same identity; adding a file to /lib/a
// changes `modified` for both, editing a file inside it changes neither.
struct FolderStamp
{
    bool exists = false; // an existing folder (false for a missing path or a file)
    QByteArray identity; // equal for two paths of one folder
    qint64 modified = 0; // nanoseconds since 1970 (to the millisecond where no finer)
    qint64 changed = 0;  // the same for the folder's own status; 0 where not kept

    bool operator==(const FolderStamp &other) const
    {
        return exists == other.exists && identity == other.identity && modified == other.modified &&
               changed == other.changed;
    }
    bool operator!=(const FolderStamp &other) const { return !(*this == other); }
};

FolderStamp folderStamp(const QString &dir);

// QString's operator<, inline: the names of one folder share long prefixes and a scene sorts
// tens of thousands of them. Case-sensitive, by UTF-16 code units ("B.png" before "a.png").
// The common prefix is passed over four code units at a time.
inline bool lessByCodeUnits(const QString &a, const QString &b)
{
    const int size = std::min(a.size(), b.size());
    const char16_t *x = reinterpret_cast<const char16_t *>(a.constData());
    const char16_t *y = reinterpret_cast<const char16_t *>(b.constData());
    int i = 0;
    for (; i + 4 <= size; i += 4) {
        std::uint64_t p, q;
        std::memcpy(&p, x + i, sizeof p);
        std::memcpy(&q, y + i, sizeof q);
        if (p != q)
            break;
    }
    for (; i < size; ++i) {
        if (x[i] != y[i])
            return x[i] < y[i];
    }
    return a.size() < b.size();
}
