#include "support/FolderEntries.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// A name from the file system as QFile::decodeName gives it, into `name`. ASCII reads the same
// in every locale: it is copied into the string's own storage, without the round through the
// locale's codec nor a new string.
void decodeName(const char *raw, QString *name)
{
    const int size = int(std::strlen(raw));
    name->resize(size);
    ushort *out = reinterpret_cast<ushort *>(name->data());
    for (int i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(raw[i]);
        if (byte >= 0x80) {
            *name = QFile::decodeName(raw);
            return;
        }
        out[i] = byte;
    }
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

bool isLinkEntry(const QByteArray &dir, const dirent *entry)
{
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type == DT_LNK;
    struct stat info
    {
    };
    const QByteArray path = dir + '/' + entry->d_name;
    return ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

qint64 nanoseconds(const struct timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}
#endif

} // namespace

#ifdef Q_OS_UNIX
struct FolderReader::Stream
{
    QByteArray native;
    DIR *dir = nullptr;
    bool withDirectories = false;

    ~Stream()
    {
        if (dir)
            ::closedir(dir);
    }
};

FolderReader::FolderReader(const QString &dir, FolderEntryKinds kinds) : m_stream(new Stream)
{
    m_stream->native = QFile::encodeName(dir);
    m_stream->dir = ::opendir(m_stream->native.constData());
    m_stream->withDirectories = kinds == FolderEntryKinds::FilesAndDirectories;
}

bool FolderReader::isOpen() const
{
    return m_stream->dir != nullptr;
}

bool FolderReader::next()
{
    if (!m_stream->dir)
        return false;
    while (const dirent *entry = ::readdir(m_stream->dir)) {
        if (entry->d_name[0] == '.') // hidden, and "." and ".."
            continue;
        const EntryKind kind = kindOf(m_stream->native, entry);
        if (kind == kSkipped || (kind == kDirectory && !m_stream->withDirectories))
            continue;
        decodeName(entry->d_name, &m_name);
        m_isDirectory = kind == kDirectory;
        m_isLink = isLinkEntry(m_stream->native, entry);
        return true;
    }
    return false;
}

FolderStamp folderStamp(const QString &dir)
{
    FolderStamp stamp;
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(dir).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return stamp;
    stamp.exists = true;
    const quint64 id[2] = {quint64(info.st_dev), quint64(info.st_ino)};
    stamp.identity = QByteArray(reinterpret_cast<const char *>(id), sizeof id);
#ifdef Q_OS_DARWIN
    stamp.modified = nanoseconds(info.st_mtimespec);
    stamp.changed = nanoseconds(info.st_ctimespec);
#else
    stamp.modified = nanoseconds(info.st_mtim);
    stamp.changed = nanoseconds(info.st_ctim);
#endif
    return stamp;
}
#else
struct FolderReader::Stream
{
    explicit Stream(const QString &dir, FolderEntryKinds kinds)
        : open(QFileInfo(dir).isDir()),
          it(dir, kinds == FolderEntryKinds::FilesAndDirectories
                      ? QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot
                      : QDir::Files)
    {}
    bool open;
    QDirIterator it;
};

FolderReader::FolderReader(const QString &dir, FolderEntryKinds kinds)
    : m_stream(new Stream(dir, kinds))
{}

bool FolderReader::isOpen() const
{
    return m_stream->open;
}

bool FolderReader::next()
{
    if (!m_stream->it.hasNext())
        return false;
    m_stream->it.next();
    const QFileInfo info = m_stream->it.fileInfo();
    m_name = m_stream->it.fileName();
    m_isDirectory = info.isDir();
    m_isLink = info.isSymLink();
    return true;
}

// Without inodes, a folder is known by its canonical path (links resolved).
FolderStamp folderStamp(const QString &dir)
{
    FolderStamp stamp;
    const QFileInfo info(dir);
    if (!info.isDir())
        return stamp;
    stamp.exists = true;
    stamp.identity = info.canonicalFilePath().toUtf8();
    stamp.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
    return stamp;
}
#endif

FolderReader::~FolderReader() = default;

QVector<FolderEntry> readFolderEntries(const QString &dir, FolderEntryKinds kinds)
{
    QVector<FolderEntry> entries;
    FolderReader reader(dir, kinds);
    while (reader.next())
        entries.append({reader.name(), reader.isDirectory(), reader.isLink()});
    return entries;
}
