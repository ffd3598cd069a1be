#pragma once

#include <QString>
#include <QVector>

// The entries of one folder as QDir lists them: hidden entries, "." and ".." left out, links
// taken for what they lead to, broken links and special files left out. In the folder's own
// order. On Unix the folder is read directly: QDirIterator makes a QFileInfo of every entry,
// several times the cost of the listing itself in folders of thousands of frames.
struct FolderEntry
{
    QString name;
    bool isDirectory = false;
};

enum class FolderEntryKinds { Files, FilesAndDirectories };

QVector<FolderEntry> readFolderEntries(const QString &dir, FolderEntryKinds kinds);

// QString's operator<, inline: the names of one folder share long prefixes and a scene sorts
// tens of thousands of them. Case-sensitive, by UTF-16 code units ("B.png" before "a.png").
bool lessByCodeUnits(const QString &a, const QString &b);
