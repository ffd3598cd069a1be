#include "support/FolderEntries.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QFile>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// A name from the file system as QFile::decodeName gives it; ASCII reads the same in every
// locale, without the round through the locale's codec.
QString decodedName(const char *name)
{
    for (const char *c = name; *c; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80)
            return QFile::decodeName(name);
    return QString(QLatin1String(name));
}

enum EntryKind { kSkipped = 0, kFile, kDirectory };

// Links lead to what they point at; a broken link or a special file is left out.
EntryKind kindOf(const QByteArray &dir, const dirent *entry)
{
    if (entry->d_type == DT_REG)
        return kFile;
    if (entry->d_type == DT_DIR)
        return kDirectory;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return kSkipped;
    const QByteArray path = dir + '/' + entry->d_name;
    struct stat info
    {
    };
    if (entry->d_type == DT_UNKNOWN && ::lstat(path.constData(), &info) == 0 &&
        !S_ISLNK(info.st_mode))
        return S_ISREG(info.st_mode) ? kFile : S_ISDIR(info.st_mode) ? kDirectory : kSkipped;
    if (::stat(path.constData(), &info) != 0)
        return kSkipped;
    return S_ISDIR(info.st_mode) ? kDirectory : kFile;
}

bool isLink(const QByteArray &dir, const dirent *entry)
{
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type == DT_LNK;
    struct stat info
    {
    };
    const QByteArray path = dir + '/' + entry->d_name;
    return ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}
#endif

} // namespace

QVector<FolderEntry> readFolderEntries(const QString &dir, FolderEntryKinds kinds)
{
    const bool withDirectories = kinds == FolderEntryKinds::FilesAndDirectories;
    QVector<FolderEntry> entries;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(dir);
    DIR *folder = ::opendir(native.constData());
    if (!folder)
        return entries;
    while (const dirent *entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.') // hidden, and "." and ".."
            continue;
        const EntryKind kind = kindOf(native, entry);
        if (kind == kFile || (kind == kDirectory && withDirectories))
            entries.append({decodedName(entry->d_name), kind == kDirectory, isLink(native, entry)});
    }
    ::closedir(folder);
#else
    QDirIterator it(dir, withDirectories ? QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot
                                         : QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries.append({it.fileName(), info.isDir(), info.isSymLink()});
    }
#endif
    return entries;
}
