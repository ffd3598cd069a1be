#include "import/SceneAnalysis.h"

#include "import/CreateSceneSource.h"
#include "import/ExpoDescriptor.h"
#include "import/FootageCopies.h"
#include "import/ImageProbe.h"
#include "support/FolderEntries.h"
#include "support/LogSink.h"
#include "support/TextHelpers.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

// One compiled file pattern of the extension text: shell wildcards, case-insensitive. The
// usual "*.png" is a plain suffix test; a scene lists every one of its files through these.
struct FilePattern
{
    QString text;
    QRegularExpression rx;
    QString suffix; // set when the pattern is "*" and a text without wildcards
};

QVector<FilePattern> compilePatterns(const QString &extensions)
{
    // A blank after a comma stays part of the next pattern (" *.tga"), as users have always
    // typed it; such a pattern only matches names that start with a blank.
    const QStringList parts = extensions.simplified().split(QLatin1Char(','), Qt::SkipEmptyParts);
    QVector<FilePattern> patterns;
    patterns.reserve(parts.size());
    for (const QString &part : parts) {
        QRegularExpression rx(QRegularExpression::wildcardToRegularExpression(part),
                              QRegularExpression::CaseInsensitiveOption);
        rx.optimize();
        const QString rest = part.mid(1);
        const bool plainSuffix = part.startsWith(QLatin1Char('*')) && !hasWildcard(rest) &&
                                 !rest.contains(QLatin1Char('[')) &&
                                 !rest.contains(QLatin1Char('/')) &&
                                 !rest.contains(QLatin1Char('\\'));
        patterns.append({part, rx, plainSuffix ? rest : QString()});
    }
    return patterns;
}

QChar asciiLower(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
}

// QString::endsWith(suffix, Qt::CaseInsensitive), with ASCII compared here: the usual ".png"
// is tested against every file of a scene.
bool endsWithIgnoringCase(const QString &name, const QString &suffix)
{
    if (name.size() < suffix.size())
        return false;
    const QChar *tail = name.constData() + name.size() - suffix.size();
    for (int i = 0; i < suffix.size(); ++i) {
        if (tail[i].unicode() >= 0x80 || suffix.at(i).unicode() >= 0x80)
            return name.endsWith(suffix, Qt::CaseInsensitive);
        if (asciiLower(tail[i]) != asciiLower(suffix.at(i)))
            return false;
    }
    return true;
}

bool matchesPattern(const QVector<FilePattern> &patterns, const QString &name)
{
    for (const FilePattern &p : patterns) {
        if (!p.suffix.isEmpty()) {
            if (endsWithIgnoringCase(name, p.suffix))
                return true;
            continue;
        }
        if (name.compare(p.text, Qt::CaseInsensitive) == 0 ||
            (p.rx.isValid() && p.rx.match(name).hasMatch()))
            return true;
    }
    return false;
}

// Files matching a pattern and every subdirectory, in case-sensitive name order (UTF-16 code
// units, so "B.png" comes before "a.png") with files and directories interleaved. The
// locale-aware QDir sorting would put "a.png" first. The names of the files left out go to
// `skipped`.
QVector<FolderEntry> listDirectory(const QString &dir, const QVector<FilePattern> &patterns,
                                   QStringList *skipped)
{
    QVector<FolderEntry> entries = readFolderEntries(dir, FolderEntryKinds::FilesAndDirectories);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&patterns, skipped](const FolderEntry &e) {
                                     if (e.isDirectory || matchesPattern(patterns, e.name))
                                         return false;
                                     skipped->append(e.name);
                                     return true;
                                 }),
                  entries.end());
    std::sort(entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) {
        return lessByCodeUnits(a.name, b.name);
    });
    return entries;
}

QString stripTrailingSeparators(QString path)
{
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

// The extension as it is on disk ("K0001.PNG" -> "PNG"): every path is built again from it, and
// a case-sensitive disk has no "K0001.png". Extensions are compared lower-cased.
QString extensionAsWritten(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

ExpoCol fixedImageColumn(const QString &name, const QString &subdir, const QString &folder)
{
    ExpoCol col;
    col.firstCellName = baseName(name);
    col.name = sequencePrefix(name);
    col.nbIma = 1;
    col.lastNum = col.firstNum = sequenceNumber(name);
    col.subdir = subdir;
    col.ext = extensionAsWritten(name);
    col.folder = folder;
    return col;
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The digits as QString::toInt reads them: 0 for none, and for a number past the int range.
int frameNumber(QStringView digits)
{
    while (!digits.isEmpty() && digits.front() == QLatin1Char('0'))
        digits = digits.mid(1);
    if (digits.size() > 10)
        return 0;
    qint64 number = 0;
    for (const QChar c : digits)
        number = number * 10 + (c.unicode() - '0');
    return number > INT_MAX ? 0 : int(number);
}

// What the scan needs of every file, as fixedImageColumn derives it (base name, sequence name,
// frame number), as views into the file name: a scene scan meets tens of thousands of files and
// most of them only add to a column.
struct CellName
{
    QStringView baseName;
    QStringView sequence;
    int number = 0;
};

CellName cellNameOf(const QString &name)
{
    const int separator =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    CellName cell;
    cell.baseName = dot > separator ? QStringView(name).mid(separator + 1, dot - separator - 1)
                                    : QStringView(name).mid(separator + 1);
    int digits = 0;
    while (digits < cell.baseName.size() &&
           isAsciiDigit(cell.baseName.at(cell.baseName.size() - 1 - digits)))
        ++digits;
    cell.sequence = cell.baseName.left(cell.baseName.size() - digits);
    cell.number = frameNumber(cell.baseName.right(digits));
    return cell;
}

// The debug line of a scanned file: its base name quoted as qDebug() << quotes it. Plain
// printable ASCII needs no escapes, so the quotes are put on here and the line goes straight
// to the message handler, as qDebug() hands it over (same category, same text), without a
// QDebug stream per file of the scene.
void logCellName(QStringView cellName)
{
    for (const QChar c : cellName) {
        const ushort u = c.unicode();
        if (u < 0x20 || u > 0x7e || u == '"' || u == '\\') {
            qDebug() << cellName.toString();
            return;
        }
    }
    if (!QLoggingCategory::defaultCategory()->isDebugEnabled())
        return;
    QString line;
    line.reserve(cellName.size() + 2);
    line.append(QLatin1Char('"'))
        .append(cellName.data(), int(cellName.size()))
        .append(QLatin1Char('"'));
    const QMessageLogContext context(nullptr, 0, nullptr, "default");
    qt_message_output(QtDebugMsg, context, line);
}

} // namespace

// What one ScanSceneDir call carries down its recursion.
struct SceneAnalysis::ScanState
{
    ExpoColList &cols;
    // Sequence name -> index of the first column of that name in cols. Columns are only ever
    // appended during a scan, so this gives the same column as a search from the front.
    QHash<QString, int> firstByName;
    QVector<FilePattern> patterns;
    // Canonical paths of the directories being scanned: a link back to one of them is skipped.
    QStringList openDirs;
    int lastColumn = -1; // the column of the file scanned last
    ScanReport report;
};

SceneAnalysis::SceneAnalysis(const ImportOptions &options, CreateSceneSource &createScene,
                             ExpoDescriptor &descriptor)
    : m_options(options), m_createScene(createScene), m_descriptor(descriptor)
{}

void SceneAnalysis::ImportSceneFromDir(const QString &sceneDir)
{
    const QString dir = stripTrailingSeparators(sceneDir);
    int frameRate = m_options.compFrameRate;
    int nbIma = 0;
    int dx = 0;
    int dy = 0;

    const QString name = baseName(dir);
    const QString handWritten = dir + QLatin1Char('/') + name + QLatin1String(".xml");
    const QString generated =
        dir + QLatin1Char('/') + name + ExpoDescriptor::generatedMarker() + QLatin1String(".xml");

    if (QFileInfo::exists(handWritten)) {
        DescriptorDefaults defaults;
        defaults.frameRate = frameRate;
        if (ExpoDescriptor::readDefaults(handWritten, frameRate, &defaults)) {
            nbIma = defaults.nbIma;
            frameRate = defaults.frameRate;
            dx = defaults.dx;
            dy = defaults.dy;
        }
    }

    ExpoColList cols;
    ExtractFromTable(dir, cols, 1);
    ScanSceneDir(dir, cols, QString());
    ExtractFromTable(dir, cols, -1);

    // The reader puts each column on top of the previous one, so the list is written backwards
    // to leave its first column on top.
    if (!m_options.reverseExpoOrder)
        std::reverse(cols.begin(), cols.end());

    if (nbIma == 0)
        nbIma = sceneLength(cols);
    compositionSize(dir, cols, &dx, &dy);
    LogCols(cols);
    explainEmptyScan(dir, !cols.isEmpty());

    if (!ExpoDescriptor::WriteExpoDescriptor(generated, nbIma, frameRate, dx, dy, cols))
        return;
    m_descriptor.ImportSceneFromXml(generated);
}

void SceneAnalysis::ScanSceneDir(const QString &dir, ExpoColList &cols, const QString &subdir)
{
    ScanState state{cols, {}, compilePatterns(m_options.fileExtensions), {}, -1, {}};
    state.firstByName.reserve(cols.size());
    for (int i = 0; i < cols.size(); ++i) {
        if (!state.firstByName.contains(cols.at(i).name))
            state.firstByName.insert(cols.at(i).name, i);
    }
    scanDirectory(dir, subdir, state);
    m_lastScan = state.report;
}

// What a run writes into the scene folder itself (the descriptors and the batch project) is no
// content of the scene.
bool SceneAnalysis::isRunOutput(const QString &name, const QString &dir, const QString &subdir)
{
    if (!subdir.isEmpty())
        return false;
    const QString scene = baseName(dir);
    return name == scene + QLatin1String(".xml") ||
           name == scene + ExpoDescriptor::generatedMarker() + QLatin1String(".xml") ||
           fileExtension(name) == QLatin1String("aep");
}

void SceneAnalysis::explainEmptyScan(const QString &sceneDir, bool anyColumn) const
{
    const QString scene = baseName(sceneDir);
    if (m_lastScan.filesMatched > 0)
        return;
    if (m_lastScan.skippedExtensions.isEmpty()) {
        appendLog(
            QStringLiteral("-WAR- ImportSceneFromDir [%1]: the scene folder [%2] holds no "
                           "file to import%3")
                .arg(scene, sceneDir,
                     anyColumn ? QString() : QStringLiteral("; its composition stays empty")));
        return;
    }
    QStringList found;
    for (auto it = m_lastScan.skippedExtensions.constBegin();
         it != m_lastScan.skippedExtensions.constEnd(); ++it) {
        const QString extension =
            it.key().isEmpty() ? QStringLiteral("(no extension)") : QStringLiteral("*.") + it.key();
        found << QStringLiteral("%1 (%2)").arg(extension).arg(it.value());
    }
    appendLog(
        QStringLiteral("-WAR- ImportSceneFromDir [%1]: no file of the scene folder matched "
                       "the file extensions [%2]; it holds %3")
            .arg(scene, m_options.fileExtensions.simplified(), found.join(QStringLiteral(", "))));
}

void SceneAnalysis::scanDirectory(const QString &dir, const QString &subdir, ScanState &state)
{
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    if (canonical.isEmpty() || state.openDirs.contains(canonical))
        return;
    state.openDirs.append(canonical);

    const QString folder = folderText(dir);
    QStringList skipped;
    const QVector<FolderEntry> entries = listDirectory(dir, state.patterns, &skipped);
    for (const QString &name : qAsConst(skipped)) {
        if (!isRunOutput(name, dir, subdir))
            state.report.skippedExtensions[fileExtension(name)] += 1;
    }
    for (const FolderEntry &entry : entries) {
        if (entry.isDirectory) {
            scanDirectory(dir + QLatin1Char('/') + entry.name,
                          subdir + QLatin1Char('/') + entry.name, state);
            continue;
        }
        ++state.report.filesMatched;
        const CellName cell = cellNameOf(entry.name);
        logCellName(cell.baseName);
        // Files come in name order, so most belong to the column of the file before them.
        if (state.lastColumn < 0 || state.cols.at(state.lastColumn).name != cell.sequence) {
            const QString sequence = cell.sequence.toString();
            const auto found = state.firstByName.constFind(sequence);
            if (found == state.firstByName.constEnd()) {
                state.lastColumn = state.cols.size();
                state.firstByName.insert(sequence, state.lastColumn);
                state.cols.append(fixedImageColumn(entry.name, subdir, folder));
                continue;
            }
            state.lastColumn = found.value();
        }
        ExpoCol &col = state.cols[state.lastColumn];
        ++col.nbIma;
        col.lastNum = std::max(col.lastNum, cell.number);
        col.firstNum = std::min(col.firstNum, cell.number);
    }
    state.openDirs.removeLast();
}

QString SceneAnalysis::folderText(const QString &dir) const
{
    // Every placeholder starts with "%": without one there is nothing to expand, and the
    // expansion costs a regular expression per placeholder letter and folder.
    const QString text = m_options.folder.simplified();
    if (!text.contains(QLatin1Char('%')))
        return text;
    return m_createScene.productionValues().expand(text, baseName(dir));
}

void SceneAnalysis::ExtractFromTable(const QString &sceneDir, ExpoColList &cols, int position)
{
    if (!m_createScene.useLibraryFiles())
        return;
    const QVector<TableFile> files =
        m_createScene.GetFileToImportFromTable(baseName(sceneDir), position);
    appendLog(QStringLiteral("--- Extern Files ---"));
    std::unique_ptr<FootageCopies> copies;
    if (m_createScene.moveFilesToRelativePath())
        copies = std::make_unique<FootageCopies>(sceneDir);
    const QDir scene(sceneDir);
    for (const TableFile &pair : files) {
        const QString &file = pair.first;
        qDebug() << "ExtractFromTable File :" << file;
        qDebug() << "ExtractFromTable Folder :" << pair.second;
        appendLog(file);

        // The extension comes from the file name alone: a dot in a library folder's name is
        // no extension of a file that has none.
        QString used = file;
        if (copies)
            used = copyToFootage(*copies, file);
        ExpoCol col = fixedImageColumn(fileName(used), QString(), pair.second);
        col.subdir = fileDirectory(QLatin1Char('/') + scene.relativeFilePath(used));
        cols.append(col);
    }
    if (copies)
        copies->save();
}

// The copy keeps the file's name (in a numbered folder of Footage when another source of that
// name was copied first); a file that cannot be copied is used where it is, with an -ERR-.
QString SceneAnalysis::copyToFootage(FootageCopies &copies, const QString &file) const
{
    qDebug() << "Copy File a:" << file;
    const QString target = copies.copyOrSource(file);
    qDebug() << "Copy File e:" << target;
    return target;
}

bool SceneAnalysis::ImaSize(const QString &sceneDir, const ExpoColList &cols, const QString &ext,
                            int *width, int *height) const
{
    const QString wanted = ext.toLower();
    for (const ExpoCol &col : cols) {
        if (col.ext.toLower() != wanted)
            continue;
        const QString path = sceneDir + col.subdir + QLatin1Char('/') + col.firstCellName +
                             QLatin1Char('.') + col.ext;
        int w = 0;
        int h = 0;
        if (ImageSize(path, &w, &h)) {
            *width = w;
            *height = h;
            return true;
        }
    }
    return false;
}

void SceneAnalysis::compositionSize(const QString &sceneDir, const ExpoColList &cols, int *dx,
                                    int *dy) const
{
    int width = 0;
    int height = 0;
    if (m_options.compSizeFromImaSize &&
        ImaSize(sceneDir, cols, m_options.compSizeFromImaExt, &width, &height)) {
        *dx = width;
        *dy = height;
        appendLog(QStringLiteral("Extract::ImaSize %1 %2").arg(width).arg(height));
    } else {
        if (*dx == 0)
            *dx = m_options.compWidth;
        if (*dy == 0)
            *dy = m_options.compHeight;
    }
    if (m_options.forceCompSize) {
        *dx = m_options.compWidth;
        *dy = m_options.compHeight;
    }
}

// Frame numbers of 9999 and above do not count as a start: a scene of such sequences, or of
// fixed images only, lasts 12 frames.
int SceneAnalysis::sceneLength(const ExpoColList &cols)
{
    int largest = 0;
    int smallest = 9999;
    for (const ExpoCol &col : cols) {
        if (col.nbIma <= 1)
            continue;
        largest = std::max(largest, col.lastNum);
        smallest = std::min(smallest, col.firstNum);
    }
    const qint64 span = qint64(largest) - smallest + 1;
    if (largest != 0 && smallest != 9999 && span > 0)
        return int(std::min<qint64>(span, INT_MAX));
    return 12;
}

void SceneAnalysis::LogCols(const ExpoColList &cols)
{
    const QString rule(48, QLatin1Char('='));
    appendLog(rule);
    for (const ExpoCol &col : cols) {
        appendLog(QStringLiteral("Col[%1] Path[%2] Ext[%3] NbIma[%4]")
                      .arg(col.name, col.subdir, col.ext, QString::number(col.nbIma)));
    }
    appendLog(rule);
}
