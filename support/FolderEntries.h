#pragma once

#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdint>
#include <cstring>

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
