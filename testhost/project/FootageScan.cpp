#include "testhost/project/FootageScan.h"

#include "support/FolderEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <vector>

namespace {

// Frame numbers are A_long on the host side: more than nine digits is not a frame number.
const int kMaxFrameDigits = 9;

// "shot_0012.PNG" -> prefix "shot_", digits "0012", suffix ".PNG".
struct FramePattern
{
    QString prefix;
    QString digits;
    QString suffix;
    qint64 number = 0;
    bool valid = false;
};

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Where the frame digits of a file name lie: [start, end).
struct DigitRun
{
    int start = 0;
    int end = 0;
    bool valid = false;
};

// The digits are the run just before the last dot ("a12.34" -> "12", ".34"), or else the run
// that ends the name ("a1.b12" -> "12", no suffix). Called once per file of a listing, so no
// regular expression and no copies.
DigitRun digitRunOf(const QString &fileName)
{
    DigitRun run;
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const int end = dot > 0 && isDigit(fileName.at(dot - 1)) ? dot : fileName.size();
    if (end == 0 || !isDigit(fileName.at(end - 1)))
        return run;
    int start = end;
    while (start > 0 && isDigit(fileName.at(start - 1)))
        --start;
    if (end - start > kMaxFrameDigits)
        return run;
    return DigitRun{start, end, true};
}

FramePattern patternOf(const QString &fileName)
{
    FramePattern p;
    const DigitRun run = digitRunOf(fileName);
    if (!run.valid)
        return p;
    p.prefix = fileName.left(run.start);
    p.digits = fileName.mid(run.start, run.end - run.start);
    p.suffix = fileName.mid(run.end);
    p.number = p.digits.toLongLong();
    p.valid = true;
    return p;
}

bool isAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// Same text before the digits and after them (ignoring case), same digit count: the lower-cased
// prefix, the count and the lower-cased suffix on lines of their own. A listing keys every one
// of its files, so ASCII names are lowered in one pass into *key, whose buffer is reused.
void groupKey(const QString &name, const DigitRun &run, QString *key)
{
    const QChar count(QLatin1Char(char('0' + (run.end - run.start)))); // 1 to kMaxFrameDigits
    if (!isAscii(name)) {
        *key = name.left(run.start).toLower() + QLatin1Char('\n') + count + QLatin1Char('\n') +
               name.mid(run.end).toLower();
        return;
    }
    key->resize(run.start + 3 + name.size() - run.end);
    QChar *out = key->data();
    const auto lower = [](QChar c) {
        return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
    };
    for (int i = 0; i < run.start; ++i)
        *out++ = lower(name.at(i));
    *out++ = QLatin1Char('\n');
    *out++ = count;
    *out++ = QLatin1Char('\n');
    for (int i = run.end; i < name.size(); ++i)
        *out++ = lower(name.at(i));
}

QString groupKey(const QString &name, const DigitRun &run)
{
    QString key;
    groupKey(name, run, &key);
    return key;
}

QString frameText(qint64 n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

// Gathers the siblings of `info` that share its pattern. Returns false (with *error) when the
// numbers span more frames than one sequence may hold.
bool gatherSequence(const QFileInfo &info, const FramePattern &mine, const FolderListing &folder,
                    bool forceAlphabetical, FootageScan *scan)
{
    QString dir = info.absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    const QString &file = info.fileName();
    const QVector<int> group = folder.groups.value(groupKey(file, digitRunOf(file)));
    // (number, place in the group): the group is in name order, which decides between
    // duplicate numbers.
    std::vector<std::pair<qint64, int>> frames;
    frames.reserve(size_t(group.size()));
    for (int k = 0; k < group.size(); ++k)
        frames.emplace_back(folder.numbers.at(group.at(k)), k);
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end(),
                             [](const auto &a, const auto &b) { return a.first == b.first; }),
                 frames.end());
    if (frames.size() < 2)
        return true; // the file alone: a still
    const qint64 first = frames.front().first;
    const qint64 last = frames.back().first;
    const auto path = [&](int k) { return dir + folder.names.at(group.at(k)); };
    QStringList files;
    if (forceAlphabetical) {
        files.reserve(group.size());
        for (int k = 0; k < group.size(); ++k)
            files << path(k);
    } else {
        if (last - first + 1 > kMaxSequenceFrames) {
            scan->error = QStringLiteral("%1: the sequence spans %2 frames, more than %3")
                              .arg(info.fileName())
                              .arg(last - first + 1)
                              .arg(kMaxSequenceFrames);
            return false;
        }
        files.reserve(int(last - first + 1));
        auto next = frames.cbegin();
        for (qint64 n = first; n <= last; ++n) {
            if (next->first == n)
                files << path((next++)->second);
            else
                files << QString();
        }
        scan->missingFrames = int(last - first + 1) - int(frames.size());
    }
    scan->files = files;
    const int width = mine.digits.size();
    scan->kind = QStringLiteral("sequence");
    scan->name = mine.prefix + QLatin1Char('[') + frameText(first, width) + QLatin1Char('-') +
                 frameText(last, width) + QLatin1Char(']') + mine.suffix;
    return true;
}

bool readAt(QIODevice &file, qint64 pos, int count, QByteArray *out)
{
    if (!file.seek(pos))
        return false;
    *out = file.read(count);
    return out->size() == count;
}

// Finds the box of that type among the boxes lying in [from, to) of a QuickTime/MP4 file. A
// box is a 32-bit big-endian size (1: a 64-bit size follows the type; 0: up to the end) and a
// four-letter type.
bool findBox(QIODevice &file, qint64 from, qint64 to, const char *type, qint64 *bodyFrom,
             qint64 *bodyTo)
{
    qint64 pos = from;
    QByteArray head;
    while (pos + 8 <= to && readAt(file, pos, 8, &head)) {
        const auto *p = reinterpret_cast<const uchar *>(head.constData());
        qint64 size = qFromBigEndian<quint32>(p);
        qint64 headerSize = 8;
        if (size == 1) {
            QByteArray large;
            if (!readAt(file, pos + 8, 8, &large))
                return false;
            const quint64 big =
                qFromBigEndian<quint64>(reinterpret_cast<const uchar *>(large.constData()));
            if (big > quint64(to))
                return false;
            size = qint64(big);
            headerSize = 16;
        } else if (size == 0) {
            size = to - pos;
        }
        if (size < headerSize || size > to - pos)
            return false;
        if (head.mid(4, 4) == type) {
            *bodyFrom = pos + headerSize;
            *bodyTo = pos + size;
            return true;
        }
        pos += size;
    }
    return false;
}

// The files of a folder as QDir::Files lists them, in the folder's own order.
QStringList fileNames(const QString &dir)
{
    QStringList names;
    for (const FolderEntry &entry : readFolderEntries(dir, FolderEntryKinds::Files))
        names.append(entry.name);
    return names;
}

} // namespace

QString footageKindForSuffix(const QString &suffix)
{
    const QString s = suffix.toLower();
    if (s == QLatin1String("swf") || s == QLatin1String("mov") || s == QLatin1String("mp4") ||
        s == QLatin1String("m4v"))
        return QStringLiteral("movie");
    if (s == QLatin1String("wav") || s == QLatin1String("mp3") || s == QLatin1String("aif"))
        return QStringLiteral("sound");
    return QStringLiteral("still");
}

// The movie header "mvhd" inside "moov" holds the time scale and the duration: version 0 in
// 32-bit fields after two 32-bit dates, version 1 in a 64-bit duration after 64-bit dates.
bool readMovieDuration(QIODevice &file, A_Time *duration)
{
    qint64 moovFrom = 0, moovTo = 0, from = 0, to = 0;
    if (!findBox(file, 0, file.size(), "moov", &moovFrom, &moovTo) ||
        !findBox(file, moovFrom, moovTo, "mvhd", &from, &to))
        return false;
    QByteArray body;
    if (to - from < 20 || !readAt(file, from, int(std::min<qint64>(to - from, 32)), &body))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(body.constData());
    quint32 scale = 0;
    quint64 length = 0;
    if (p[0] == 1) {
        if (body.size() < 32)
            return false;
        scale = qFromBigEndian<quint32>(p + 20);
        length = qFromBigEndian<quint64>(p + 24);
    } else {
        scale = qFromBigEndian<quint32>(p + 12);
        length = qFromBigEndian<quint32>(p + 16);
    }
    if (scale == 0)
        return false;
    if (length > 0x7fffffffULL) { // keep the length in milliseconds when it does not fit
        const quint64 ms = length / scale * 1000 + length % scale * 1000 / scale;
        if (ms > 0x7fffffffULL)
            return false;
        *duration = A_Time{A_long(ms), 1000};
        return true;
    }
    *duration = A_Time{A_long(length), scale};
    return true;
}

// A RIFF/WAVE file: the "fmt " chunk gives the byte rate (at offset 8 of its body), the
// "data" chunk's size the amount of sound. Chunks are padded to an even size.
bool readWaveDuration(QIODevice &file, A_Time *duration)
{
    QByteArray head;
    if (!readAt(file, 0, 12, &head) || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    quint32 byteRate = 0;
    qint64 dataSize = -1;
    qint64 pos = 12;
    while (pos + 8 <= file.size() && (byteRate == 0 || dataSize < 0)) {
        if (!readAt(file, pos, 8, &head))
            return false;
        const quint32 size =
            qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(head.constData() + 4));
        if (head.startsWith("fmt ")) {
            QByteArray fmt;
            if (size < 12 || !readAt(file, pos + 8, 12, &fmt))
                return false;
            byteRate =
                qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(fmt.constData() + 8));
        } else if (head.startsWith("data")) {
            dataSize = size;
        }
        pos += 8 + qint64(size) + qint64(size & 1);
    }
    if (byteRate == 0 || dataSize < 0)
        return false;
    *duration = A_Time{A_long(dataSize * 1000 / byteRate), 1000};
    return true;
}

FolderListing FolderListing::of(const QString &dir)
{
    FolderListing listing;
    listing.modified = QFileInfo(dir).lastModified();
    listing.names = fileNames(dir);
    listing.numbers.resize(listing.names.size());
    QString key; // only a new group keeps a copy of it
    for (int i = 0; i < listing.names.size(); ++i) {
        const QString &name = listing.names.at(i);
        const DigitRun run = digitRunOf(name);
        if (!run.valid)
            continue;
        qint64 number = 0; // at most kMaxFrameDigits digits
        for (int k = run.start; k < run.end; ++k)
            number = number * 10 + (name.at(k).unicode() - '0');
        listing.numbers[i] = number;
        groupKey(name, run, &key);
        auto group = listing.groups.find(key);
        if (group == listing.groups.end())
            group = listing.groups.insert(key, {});
        group->append(i);
    }
    // Sorting each group alone costs less than sorting the folder.
    for (QVector<int> &group : listing.groups) {
        std::sort(group.begin(), group.end(), [&](int a, int b) {
            return lessByCodeUnits(listing.names.at(a), listing.names.at(b));
        });
    }
    return listing;
}

bool FolderListing::has(const QString &name) const
{
    const DigitRun run = digitRunOf(name);
    if (!run.valid)
        return names.contains(name);
    for (const int index : groups.value(groupKey(name, run)))
        if (names.at(index) == name)
            return true;
    return false;
}

const FolderListing &FolderListings::folder(const QString &dir, const QString &name,
                                            const QString &frameZero)
{
    auto it = m_folders.find(dir);
    const bool fresh = it != m_folders.end() && it->modified == QFileInfo(dir).lastModified() &&
                       it->has(name) &&
                       (it->has(frameZero) || !QFileInfo::exists(QDir(dir).filePath(frameZero)));
    if (!fresh) {
        // A batch of hundreds of scenes is one run: without a bound, every scene folder's
        // listing (a thousand names each) would stay until the batch ends.
        if (it == m_folders.end() && m_folders.size() >= kMaxListedFolders)
            m_folders.clear();
        it = m_folders.insert(dir, FolderListing::of(dir));
    }
    return *it;
}

FootageScan scanFootage(const QString &path, bool sequence, bool forceAlphabetical,
                        FolderListings *listings)
{
    FootageScan scan;
    const QFileInfo info(path);
    if (!info.isFile()) {
        scan.error = QStringLiteral("File not found: %1").arg(path);
        return scan;
    }
    scan.kind = footageKindForSuffix(info.suffix());
    scan.name = info.fileName();
    scan.files = QStringList{info.absoluteFilePath()};
    if (sequence && scan.kind == QLatin1String("still")) {
        const FramePattern mine = patternOf(info.fileName());
        if (mine.valid) {
            const QString dir = info.absolutePath();
            const QString frameZero =
                mine.prefix + QString(mine.digits.size(), QLatin1Char('0')) + mine.suffix;
            FolderListing once;
            const FolderListing &folder = listings
                                              ? listings->folder(dir, info.fileName(), frameZero)
                                              : (once = FolderListing::of(dir));
            if (!gatherSequence(info, mine, folder, forceAlphabetical, &scan))
                return scan;
        }
    }
    if (scan.kind == QLatin1String("movie") || scan.kind == QLatin1String("sound")) {
        scan.nativeDuration = A_Time{1, 1};
        QFile file(info.absoluteFilePath());
        if (file.open(QIODevice::ReadOnly)) {
            const QString suffix = info.suffix().toLower();
            if (suffix == QLatin1String("wav"))
                readWaveDuration(file, &scan.nativeDuration);
            else if (scan.kind == QLatin1String("movie") && suffix != QLatin1String("swf"))
                readMovieDuration(file, &scan.nativeDuration);
        }
    }
    scan.ok = true;
    return scan;
}
