#include "import/vipLi.h"

#include "import/ImageProbe.h"
#include "import/vipLi_p.h"
#include "support/Diagnostics.h"
#include "support/LogSink.h"
#include "support/Prompts.h"

#include <cstdio>

namespace {

// What a visitor of the item walk tells the walk.
enum class Visit { Next, Stop, Failed };

// Visits the project's items in the host's order, only those of type `wanted` (every item for
// AEGP_ItemType_NONE), until the visitor, called with the item and its type, stops. The walk starts
// at the first project item: hosts differ on whether the root folder is part of the walk, and it
// never matches anyway. False when a host call (of the walk or of the visitor) failed.
template <typename Visitor>
bool walkItems(SuiteCache &suites, AEGP_ProjectH project, AEGP_ItemType wanted, Visitor visit)
{
    const AEGP_ItemSuite8 *items = suites.itemSuite();
    AEGP_ItemH item = nullptr;
    if (!VIP_HOST_OK(items->AEGP_GetFirstProjItem(project, &item)))
        return false;
    while (item) {
        AEGP_ItemType type = AEGP_ItemType_NONE;
        if (!VIP_HOST_OK(items->AEGP_GetItemType(item, &type)))
            return false;
        if (wanted == AEGP_ItemType_NONE || type == wanted) {
            const Visit next = visit(item, type);
            if (next != Visit::Next)
                return next == Visit::Stop;
        }
        AEGP_ItemH following = nullptr;
        if (!VIP_HOST_OK(items->AEGP_GetNextProjItem(project, item, &following)))
            return false;
        item = following;
    }
    return true;
}

bool itemName(SuiteCache &suites, HostConnection &connection, AEGP_ItemH item, QString *name)
{
    AEGP_MemHandle handle = nullptr;
    if (!VIP_HOST_OK(suites.itemSuite()->AEGP_GetItemName(connection.pluginId(), item, &handle)))
        return false;
    return vipli::takeUtf16Text(suites, handle, name);
}

// The first item of `type` whose whole name is `name`; null when none or on failure.
AEGP_ItemH findItemByName(AEGP_ItemType type, const QString &name)
{
    AEGP_ItemH found = nullptr;
    VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &connection) {
        AEGP_ProjectH project = nullptr;
        if (!vipli::projectZero(suites, &project))
            return false;
        return walkItems(suites, project, type, [&](AEGP_ItemH item, AEGP_ItemType) {
            QString text;
            if (!itemName(suites, connection, item, &text))
                return Visit::Failed;
            if (text != name)
                return Visit::Next;
            found = item;
            return Visit::Stop;
        });
    });
    return found;
}

int lastSeparator(const QString &path)
{
    return qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

// Paths from the host may carry either separator; comparisons use "/".
QString directoryOf(const QString &path)
{
    const int sep = lastSeparator(path);
    QString dir = sep < 0 ? QString() : path.left(sep);
    return dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString nameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString extensionOf(const QString &path)
{
    const QString name = nameOf(path);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString baseNameOf(const QString &path)
{
    const QString name = nameOf(path);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

// The file a footage import starts from: with the zero-image option, a sequence starts from
// its lowest cell, the zero image written before it (the host gathers the zero image into the
// sequence as its first frame). A sequence whose cells the writer does not know (other image
// formats) is imported from the given file, without a zero image.
QString footageStartFile(int type, const QString &path, bool createZero)
{
    if (type != kColumnSequence || !createZero)
        return path;
    const QString dir = directoryOf(path);
    QString ext = extensionOf(path);
    QString cell;
    QString why;
    // Whether or not the zero image is there, the import goes on from the first cell; only a
    // failed write is worth a line (a cell that cannot be read says so on import).
    if (MakeZeroImage(dir, sequenceKey(path), &ext, &cell, &why) == 21)
        appendLog(QStringLiteral("-WAR- MakeZeroImage : zero image not written %1").arg(why));
    if (cell.isEmpty())
        return path;
    return dir + QLatin1Char('/') + cell;
}

// The path of an item's first file and its file count, as SameFootage takes them.
bool footageFacts(SuiteCache &suites, AEGP_ItemH item, QString *path, int *files)
{
    const AEGP_FootageSuite5 *footage = suites.footageSuite();
    AEGP_FootageH main = nullptr;
    AEGP_MemHandle handle = nullptr;
    A_long count = 0;
    if (!VIP_HOST_OK(footage->AEGP_GetMainFootageFromItem(item, &main)) ||
        !VIP_HOST_OK(
            footage->AEGP_GetFootagePath(main, 0, AEGP_FOOTAGE_MAIN_FILE_INDEX, &handle)) ||
        !vipli::takeUtf16Text(suites, handle, path) ||
        !VIP_HOST_OK(footage->AEGP_GetFootageNumFiles(main, &count, nullptr)))
        return false;
    *files = int(count);
    return true;
}

// Looks for a footage item equal to path (SameFootage); *found stays null when there is none.
bool findSameFootage(SuiteCache &suites, AEGP_ProjectH project, const QString &path, int type,
                     AEGP_ItemH *found)
{
    return walkItems(suites, project, AEGP_ItemType_FOOTAGE, [&](AEGP_ItemH item, AEGP_ItemType) {
        QString existing;
        int files = 0;
        if (!footageFacts(suites, item, &existing, &files))
            return Visit::Failed;
        if (!SameFootage(existing, path, type, files))
            return Visit::Next;
        *found = item;
        return Visit::Stop;
    });
}

// GetFolderPath with the folder look-up given: `existing(name)` gives the first folder of that
// name (null when none); `created(name, folder)` hears of each folder made. Null when a host
// call failed.
template <typename Existing, typename Created>
AEGP_ItemH folderPathIn(SuiteCache &suites, AEGP_ProjectH project, const QStringList &names,
                        Existing existing, Created created)
{
    AEGP_ItemH folder = nullptr;
    if (!VIP_HOST_OK(suites.projSuite()->AEGP_GetProjectRootFolder(project, &folder)))
        return nullptr;
    for (const QString &name : names) {
        if (const AEGP_ItemH found = existing(name)) {
            folder = found;
            continue;
        }
        AEGP_ItemH made = nullptr;
        if (!VIP_HOST_OK(
                suites.itemSuite()->AEGP_CreateNewFolder(vipli::utf16(name), folder, &made)))
            return nullptr;
        created(name, made);
        folder = made;
    }
    return folder;
}

template <typename Existing>
AEGP_ItemH folderPathIn(SuiteCache &suites, AEGP_ProjectH project, const QStringList &names,
                        Existing existing)
{
    return folderPathIn(suites, project, names, existing, [](const QString &, AEGP_ItemH) {});
}

quint64 projectChanges()
{
    const HostConnection *connection = HostConnection::instance();
    return connection ? connection->projectChanges() : 0;
}

} // namespace

namespace vipli {

namespace {

// Reads `handle` as bytes up to its size or the first NUL of `unit` bytes, then frees it.
bool takeText(SuiteCache &suites, AEGP_MemHandle handle, int unit, QByteArray *bytes)
{
    bytes->clear();
    if (!handle)
        return true;
    const AEGP_MemorySuite1 *memory = suites.memorySuite();
    AEGP_MemSize size = 0;
    void *data = nullptr;
    bool ok = VIP_HOST_OK(memory->AEGP_GetMemHandleSize(handle, &size)) &&
              VIP_HOST_OK(memory->AEGP_LockMemHandle(handle, &data));
    if (ok) {
        const char *chars = static_cast<const char *>(data);
        AEGP_MemSize length = 0;
        while (chars && length + AEGP_MemSize(unit) <= size) {
            bool end = true;
            for (int k = 0; k < unit; ++k)
                end = end && chars[length + AEGP_MemSize(k)] == 0;
            if (end)
                break;
            length += AEGP_MemSize(unit);
        }
        if (chars)
            *bytes = QByteArray(chars, int(length));
        ok = VIP_HOST_OK(memory->AEGP_UnlockMemHandle(handle));
    }
    return VIP_HOST_OK(memory->AEGP_FreeMemHandle(handle)) && ok;
}

} // namespace

bool takeUtf16Text(SuiteCache &suites, AEGP_MemHandle handle, QString *text)
{
    QByteArray bytes;
    const bool ok = takeText(suites, handle, 2, &bytes);
    *text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
    return ok;
}

bool takeUtf8Text(SuiteCache &suites, AEGP_MemHandle handle, QString *text)
{
    QByteArray bytes;
    const bool ok = takeText(suites, handle, 1, &bytes);
    *text = QString::fromUtf8(bytes);
    return ok;
}

bool projectZero(SuiteCache &suites, AEGP_ProjectH *project)
{
    *project = nullptr;
    if (!VIP_HOST_OK(suites.projSuite()->AEGP_GetProjectByIndex(0, project)))
        return false;
    if (*project)
        return true;
    Prompts::current().warning(nullptr, QStringLiteral("Warning"),
                               QStringLiteral("AEGP_GetProjectByIndex => NULL"));
    return false;
}

} // namespace vipli

const char *sourceUnitPath(const char *file)
{
    if (!file)
        return "";
    // Keep the last two components: the error lines name the unit, not the build machine.
    const char *last = nullptr;
    const char *previous = nullptr;
    for (const char *p = file; *p; ++p) {
        if (*p == '/' || *p == '\\') {
            previous = last;
            last = p;
        }
    }
    return previous ? previous + 1 : file;
}

bool recordHostResult(A_Err err, int line, const char *file)
{
    if (HostConnection *connection = HostConnection::instance())
        connection->setLastError(err);
    if (err == A_Err_NONE)
        return true;
    char text[400];
    std::snprintf(text, sizeof text, "-ERR I- line %d, file(%s)", line, sourceUnitPath(file));
    logError(text);
    return false;
}

bool DoCommand(A_long command)
{
    // A missing suite (516) is a host failure like any other: key handlers call us and no
    // exception may leave a Qt event handler.
    return VIP_WITH_SUITES([command](SuiteCache &suites, HostConnection &connection) {
        connection.projectChanged(); // Undo, Redo, Open...
        return VIP_HOST_OK(suites.commandSuite()->AEGP_DoCommand(command));
    });
}

AEGP_CompH FindCompByName(const QString &name)
{
    const AEGP_ItemH item = findItemByName(AEGP_ItemType_COMP, name);
    if (!item)
        return nullptr;
    AEGP_CompH comp = nullptr;
    VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
        return VIP_HOST_OK(suites.compSuite()->AEGP_GetCompFromItem(item, &comp));
    });
    return comp;
}

AEGP_ItemH FindFolderByName(const QString &name)
{
    return findItemByName(AEGP_ItemType_FOLDER, name);
}

AEGP_ItemH GetFolderPath(AEGP_ProjectH project, const QStringList &names)
{
    AEGP_ItemH folder = nullptr;
    VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
        folder = folderPathIn(suites, project, names, &FindFolderByName);
        return folder != nullptr;
    });
    return folder;
}

bool ImportFootage(int type, const QString &path, AEGP_ItemH *outItem, const QString &folderPath,
                   bool createZero, FootageIndex *index)
{
    *outItem = nullptr;
    type = footageType(type, path);
    return VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &connection) {
        AEGP_ProjectH project = nullptr;
        if (!vipli::projectZero(suites, &project))
            return false;
        const bool searched = index ? index->find(suites, project, path, type, outItem)
                                    : findSameFootage(suites, project, path, type, outItem);
        if (!searched)
            return false;
        if (*outItem)
            return true;

        const QString file = footageStartFile(type, path, createZero);
        const AEGP_FileSequenceImportOptions sequence{A_Boolean(type == kColumnSequence), false,
                                                      AEGP_ANY_FRAME, AEGP_ANY_FRAME};
        const AEGP_FootageSuite5 *footage = suites.footageSuite();
        AEGP_FootageH made = nullptr;
        if (!VIP_HOST_OK(footage->AEGP_NewFootage(
                connection.pluginId(), vipli::utf16(file), nullptr, &sequence,
                AEGP_InterpretationStyle_NO_DIALOG_GUESS, nullptr, &made)))
            return false;
        const QStringList names = folderPath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const AEGP_ItemH folder =
            index ? index->folderPath(suites, project, names) : GetFolderPath(project, names);
        const bool added =
            folder && VIP_HOST_OK(footage->AEGP_AddFootageToProject(made, folder, outItem));
        connection.projectChanged();
        if (!added) {
            // Footage that never reached the project is still ours to give back.
            footage->AEGP_DisposeFootage(made);
            *outItem = nullptr;
            return false;
        }
        if (index && *outItem)
            index->added(suites, *outItem);
        return *outItem != nullptr;
    });
}

bool SameFootage(const QString &existingPath, const QString &newPath, int type, int fileCount)
{
    if (type == kColumnFixed && fileCount >= 2)
        return false;
    const QString existing = existingPath.toLower();
    const QString candidate = newPath.toLower();
    if (extensionOf(existing) != extensionOf(candidate) ||
        directoryOf(existing) != directoryOf(candidate))
        return false;
    if (type == kColumnSequence)
        return sequenceKey(existing) == sequenceKey(candidate);
    return baseNameOf(existing) == baseNameOf(candidate);
}

void FootageKeys::clear()
{
    m_entries.clear();
    m_bySequence.clear();
    m_byName.clear();
}

void FootageKeys::insert(const QString &path, AEGP_ItemH item, int files, bool walked)
{
    // The same lower-cased parts SameFootage compares.
    const QString lower = path.toLower();
    const QString dir = directoryOf(lower);
    const QString ext = extensionOf(lower);
    const int at = m_entries.size();
    m_entries.append({item, files, walked});
    m_bySequence[{dir, ext, sequenceKey(lower)}].append(at);
    m_byName[{dir, ext, baseNameOf(lower)}].append(at);
}

bool FootageKeys::lookUp(const QString &path, int type, AEGP_ItemH *found) const
{
    const QString lower = path.toLower();
    const bool sequence = type == kColumnSequence;
    const Key key{directoryOf(lower), extensionOf(lower),
                  sequence ? sequenceKey(lower) : baseNameOf(lower)};
    const QVector<int> candidates = (sequence ? m_bySequence : m_byName).value(key);
    int first = -1;
    int count = 0;
    bool allWalked = true;
    for (const int at : candidates) {
        const Entry &entry = m_entries.at(at);
        if (type == kColumnFixed && entry.files >= 2)
            continue;
        if (first < 0)
            first = at;
        ++count;
        allWalked = allWalked && entry.walked;
    }
    if (count > 1 && !allWalked)
        return false;
    *found = first < 0 ? nullptr : m_entries.at(first).item;
    return true;
}

void FootageIndex::invalidate()
{
    m_built = false;
    m_project = nullptr;
    m_keys.clear();
    m_folders.clear();
}

bool FootageIndex::upToDate(AEGP_ProjectH project) const
{
    return m_built && project == m_project && m_changes == projectChanges();
}

void FootageIndex::caughtUp()
{
    m_changes = projectChanges();
}

bool FootageIndex::build(SuiteCache &suites, AEGP_ProjectH project)
{
    invalidate();
    HostConnection *connection = HostConnection::instance();
    if (!connection)
        return false;
    m_changes = connection->projectChanges();
    m_built =
        walkItems(suites, project, AEGP_ItemType_NONE, [&](AEGP_ItemH item, AEGP_ItemType type) {
            if (type == AEGP_ItemType_FOLDER) {
                QString name;
                if (!itemName(suites, *connection, item, &name))
                    return Visit::Failed;
                if (!m_folders.contains(name))
                    m_folders.insert(name, item);
            } else if (type == AEGP_ItemType_FOOTAGE) {
                QString path;
                int files = 0;
                if (!footageFacts(suites, item, &path, &files))
                    return Visit::Failed;
                m_keys.insert(path, item, files, true);
            }
            return Visit::Next;
        });
    if (m_built)
        m_project = project;
    return m_built;
}

bool FootageIndex::find(SuiteCache &suites, AEGP_ProjectH project, const QString &path, int type,
                        AEGP_ItemH *found)
{
    *found = nullptr;
    if (upToDate(project) && m_keys.lookUp(path, type, found))
        return true;
    // A walk that fails part way still knows the items before the failing one: an equal item
    // among them is what the search would have found before reaching it.
    const bool walked = build(suites, project);
    m_keys.lookUp(path, type, found);
    if (!walked) {
        const bool foundBefore = *found != nullptr;
        invalidate();
        return foundBefore;
    }
    return true;
}

AEGP_ItemH FootageIndex::folderPath(SuiteCache &suites, AEGP_ProjectH project,
                                    const QStringList &names)
{
    if (!upToDate(project) && !build(suites, project)) {
        invalidate();
        return GetFolderPath(project, names);
    }
    const AEGP_ItemH folder = folderPathIn(
        suites, project, names, [this](const QString &name) { return m_folders.value(name); },
        [this](const QString &name, AEGP_ItemH made) {
            // Made only when no folder of that name existed: it is the first of its name.
            m_folders.insert(name, made);
            if (HostConnection *connection = HostConnection::instance())
                connection->projectChanged();
            caughtUp();
        });
    if (!folder)
        invalidate();
    return folder;
}

void FootageIndex::added(SuiteCache &suites, AEGP_ItemH item)
{
    if (!m_built)
        return;
    QString path;
    int files = 0;
    if (!footageFacts(suites, item, &path, &files)) {
        invalidate();
        return;
    }
    m_keys.insert(path, item, files, false);
    caughtUp();
}

bool SetFootageFrameRate(AEGP_ItemH item, int fps)
{
    return VIP_WITH_SUITES([&](SuiteCache &suites, HostConnection &) {
        const AEGP_FootageSuite5 *footage = suites.footageSuite();
        AEGP_FootageInterp interpretation{};
        if (!VIP_HOST_OK(footage->AEGP_GetFootageInterpretation(item, false, &interpretation)))
            return false;
        interpretation.conform_fpsF = A_FpLong(fps);
        return VIP_HOST_OK(footage->AEGP_SetFootageInterpretation(item, false, &interpretation));
    });
}

int footageType(int columnType, const QString &path)
{
    const QString ext = extensionOf(path).toLower();
    if (ext == QLatin1String("mov") || ext == QLatin1String("swf"))
        return kColumnMovie;
    return columnType;
}

QString sequenceKey(const QString &path)
{
    QString key = baseNameOf(path);
    int end = key.size();
    while (end > 0 && key.at(end - 1) >= QLatin1Char('0') && key.at(end - 1) <= QLatin1Char('9'))
        --end;
    key.truncate(end);
    return key;
}
