#include "testhost/project/ProjectHost.h"

#include "support/WholeFile.h"
#include "testhost/core/SuiteRegistry.h"
#include "testhost/core/TestHost.h"
#include "testhost/project/FootageScan.h"
#include "testhost/project/ProjectModel.h"
#include "testhost/project/ScriptEngine.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#ifdef Q_OS_WIN
#include <malloc.h>
#endif

namespace {

// 16-byte aligned blocks, size rounded up with room to spare. The Windows C library has no
// aligned_alloc: it has its own pair of functions.
void *alignedAlloc(AEGP_MemSize size)
{
    const size_t bytes = (size_t(size) + 15) / 16 * 16 + 16;
#ifdef Q_OS_WIN
    return _aligned_malloc(bytes, 16);
#else
    return std::aligned_alloc(16, bytes);
#endif
}

void alignedFree(void *data)
{
#ifdef Q_OS_WIN
    _aligned_free(data);
#else
    std::free(data);
#endif
}

// A block of memory handed to the plug-in: 16-byte aligned, with a lock count.
struct MemBlock
{
    ~MemBlock() { alignedFree(data); }
    void *data = nullptr;
    AEGP_MemSize size = 0;
    int locks = 0;
};

ProjectHost &P()
{
    return TestHost::instance()->project();
}
ProjectModel &M()
{
    return P().model();
}

#define FAULT(name)                                                                                \
    if (const A_Err faultErr = TestHost::instance()->faults().check(name))                         \
    return faultErr

QString fromUtf16(const A_UTF16Char *text)
{
    return text ? QString::fromUtf16(reinterpret_cast<const ushort *>(text)) : QString();
}

QByteArray utf16Bytes(const QString &text)
{
    QByteArray bytes(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    bytes.append(2, '\0');
    return bytes;
}

ProjectItem *item(AEGP_ItemH h)
{
    return h && M().owns(h) ? reinterpret_cast<ProjectItem *>(h) : nullptr;
}

ProjectItem *compOf(AEGP_CompH h)
{
    ProjectItem *c = item(reinterpret_cast<AEGP_ItemH>(h));
    return c && c->type == AEGP_ItemType_COMP ? c : nullptr;
}

ProjectItem *footageOf(AEGP_FootageH h)
{
    ProjectItem *f = item(reinterpret_cast<AEGP_ItemH>(h));
    return f && f->type == AEGP_ItemType_FOOTAGE ? f : nullptr;
}

ProjectLayer *layerOf(AEGP_LayerH h)
{
    return h && M().ownsLayer(h) ? reinterpret_cast<ProjectLayer *>(h) : nullptr;
}

bool isProject(AEGP_ProjectH h)
{
    return h == reinterpret_cast<AEGP_ProjectH>(&M());
}
AEGP_ItemH handle(ProjectItem *i)
{
    return reinterpret_cast<AEGP_ItemH>(i);
}

// ---- Memory suite ------------------------------------------------------------------------

// Every live handle, owned here until the plug-in frees it. Process-wide: a handle may
// outlive the host that made it only in a faulty plug-in, and then it is still counted.
std::unordered_map<const MemBlock *, std::unique_ptr<MemBlock>> &blocks()
{
    static std::unordered_map<const MemBlock *, std::unique_ptr<MemBlock>> live;
    return live;
}

MemBlock *block(AEGP_MemHandle h)
{
    auto it = blocks().find(reinterpret_cast<const MemBlock *>(h));
    return it == blocks().end() ? nullptr : it->second.get();
}

A_Err newMemHandle(AEGP_PluginID, const A_char *, AEGP_MemSize size, AEGP_MemFlag flags,
                   AEGP_MemHandle *memPH)
{
    FAULT("AEGP_NewMemHandle");
    if (!memPH)
        return A_Err_PARAMETER;
    auto b = std::make_unique<MemBlock>();
    b->data = alignedAlloc(size);
    if (!b->data)
        return A_Err_ALLOC;
    b->size = size;
    if (flags & AEGP_MemFlag_CLEAR)
        std::memset(b->data, 0, size);
    *memPH = reinterpret_cast<AEGP_MemHandle>(b.get());
    blocks().emplace(b.get(), std::move(b));
    return A_Err_NONE;
}

void releaseBlock(MemBlock *b)
{
    blocks().erase(b);
}

A_Err freeMemHandle(AEGP_MemHandle h)
{
    FAULT("AEGP_FreeMemHandle");
    MemBlock *b = block(h);
    if (!b)
        return A_Err_PARAMETER;
    releaseBlock(b);
    return A_Err_NONE;
}

A_Err lockMemHandle(AEGP_MemHandle h, void **ptr)
{
    FAULT("AEGP_LockMemHandle");
    MemBlock *b = block(h);
    if (!b || !ptr)
        return A_Err_PARAMETER;
    ++b->locks;
    *ptr = b->data;
    return A_Err_NONE;
}

A_Err unlockMemHandle(AEGP_MemHandle h)
{
    FAULT("AEGP_UnlockMemHandle");
    MemBlock *b = block(h);
    if (!b || b->locks == 0)
        return A_Err_PARAMETER;
    --b->locks;
    return A_Err_NONE;
}

A_Err getMemHandleSize(AEGP_MemHandle h, AEGP_MemSize *sizeP)
{
    FAULT("AEGP_GetMemHandleSize");
    MemBlock *b = block(h);
    if (!b || !sizeP)
        return A_Err_PARAMETER;
    *sizeP = b->size;
    return A_Err_NONE;
}

A_Err resizeMemHandle(const A_char *, AEGP_MemSize newSize, AEGP_MemHandle h)
{
    FAULT("AEGP_ResizeMemHandle");
    MemBlock *b = block(h);
    if (!b || b->locks > 0) // a locked block may not move
        return A_Err_PARAMETER;
    void *data = alignedAlloc(newSize);
    if (!data)
        return A_Err_ALLOC;
    std::memcpy(data, b->data, qMin(b->size, newSize));
    alignedFree(b->data);
    b->data = data;
    b->size = newSize;
    return A_Err_NONE;
}

A_Err setMemReportingOn(A_Boolean)
{
    FAULT("AEGP_SetMemReportingOn");
    return A_Err_NONE;
}

A_Err getMemStats(AEGP_PluginID, A_long *countPL, A_long *sizePL)
{
    FAULT("AEGP_GetMemStats");
    A_long total = 0;
    for (const auto &entry : blocks())
        total += A_long(entry.second->size);
    if (countPL)
        *countPL = A_long(blocks().size());
    if (sizePL)
        *sizePL = total;
    return A_Err_NONE;
}

A_Err textHandle(const QByteArray &bytes, AEGP_MemHandle *out)
{
    if (!out)
        return A_Err_PARAMETER;
    *out = P().newHandle(bytes);
    return *out ? A_Err_NONE : A_Err_ALLOC;
}

// ---- Project suite -----------------------------------------------------------------------

A_Err getNumProjects(A_long *n)
{
    FAULT("AEGP_GetNumProjects");
    if (!n)
        return A_Err_PARAMETER;
    *n = 1;
    return A_Err_NONE;
}

A_Err getProjectByIndex(A_long index, AEGP_ProjectH *projPH)
{
    FAULT("AEGP_GetProjectByIndex");
    if (index != 0 || !projPH)
        return A_Err_PARAMETER;
    *projPH = reinterpret_cast<AEGP_ProjectH>(&M());
    return A_Err_NONE;
}

A_Err getProjectName(AEGP_ProjectH projH, A_char *nameZ)
{
    FAULT("AEGP_GetProjectName");
    if (!isProject(projH) || !nameZ)
        return A_Err_PARAMETER;
    // The host's buffer holds 48 bytes with the terminating zero; cut whole characters only.
    QString text = QFileInfo(M().path()).fileName();
    if (text.isEmpty())
        text = QStringLiteral("Untitled Project");
    QByteArray name = text.toUtf8();
    while (name.size() > 47) {
        text.chop(text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
        name = text.toUtf8();
    }
    std::memcpy(nameZ, name.constData(), size_t(name.size()) + 1);
    return A_Err_NONE;
}

A_Err getProjectPath(AEGP_ProjectH projH, AEGP_MemHandle *pathPH)
{
    FAULT("AEGP_GetProjectPath");
    if (!isProject(projH))
        return A_Err_PARAMETER;
    return textHandle(utf16Bytes(M().path()), pathPH);
}

A_Err getProjectRootFolder(AEGP_ProjectH projH, AEGP_ItemH *rootPH)
{
    FAULT("AEGP_GetProjectRootFolder");
    if (!isProject(projH) || !rootPH)
        return A_Err_PARAMETER;
    *rootPH = handle(M().root());
    return A_Err_NONE;
}

A_Err saveTo(AEGP_ProjectH projH, const A_UTF16Char *pathZ)
{
    if (!isProject(projH) || !pathZ)
        return A_Err_PARAMETER;
    QString error;
    if (!P().saveProject(fromUtf16(pathZ), &error)) {
        TestHost::instance()->console(error);
        return A_Err_GENERIC;
    }
    return A_Err_NONE;
}

A_Err saveProjectToPath(AEGP_ProjectH projH, const A_UTF16Char *pathZ)
{
    FAULT("AEGP_SaveProjectToPath");
    return saveTo(projH, pathZ);
}

A_Err saveProjectAs(AEGP_ProjectH projH, const A_UTF16Char *pathZ)
{
    FAULT("AEGP_SaveProjectAs");
    return saveTo(projH, pathZ);
}

A_Err projectIsDirty(AEGP_ProjectH projH, A_Boolean *dirtyPB)
{
    FAULT("AEGP_ProjectIsDirty");
    if (!isProject(projH) || !dirtyPB)
        return A_Err_PARAMETER;
    *dirtyPB = M().dirty();
    return A_Err_NONE;
}

A_Err newProject(AEGP_ProjectH *projPH)
{
    FAULT("AEGP_NewProject");
    P().newProject();
    if (projPH)
        *projPH = reinterpret_cast<AEGP_ProjectH>(&M());
    return A_Err_NONE;
}

A_Err openProjectFromPath(const A_UTF16Char *pathZ, AEGP_ProjectH *projPH)
{
    FAULT("AEGP_OpenProjectFromPath");
    if (!pathZ)
        return A_Err_PARAMETER;
    QString error;
    if (!P().openProject(fromUtf16(pathZ), &error)) {
        TestHost::instance()->console(error);
        return A_Err_GENERIC;
    }
    if (projPH)
        *projPH = reinterpret_cast<AEGP_ProjectH>(&M());
    return A_Err_NONE;
}

// ---- Item suite --------------------------------------------------------------------------

A_Err getFirstProjItem(AEGP_ProjectH projH, AEGP_ItemH *itemPH)
{
    FAULT("AEGP_GetFirstProjItem");
    if (!isProject(projH) || !itemPH)
        return A_Err_PARAMETER;
    *itemPH = handle(M().nextInWalk(M().root()));
    return A_Err_NONE;
}

A_Err getNextProjItem(AEGP_ProjectH projH, AEGP_ItemH itemH, AEGP_ItemH *nextPH)
{
    FAULT("AEGP_GetNextProjItem");
    ProjectItem *current = item(itemH);
    if (!isProject(projH) || !current || !current->inProject || !nextPH)
        return A_Err_PARAMETER;
    // Starting from the root folder walks the whole project, as the plug-in's searches do.
    *nextPH = handle(M().nextInWalk(current));
    return A_Err_NONE;
}

A_Err getActiveItem(AEGP_ItemH *itemPH)
{
    FAULT("AEGP_GetActiveItem");
    if (!itemPH)
        return A_Err_PARAMETER;
    *itemPH = handle(M().active());
    return A_Err_NONE;
}

A_Err getItemType(AEGP_ItemH itemH, AEGP_ItemType *typeP)
{
    FAULT("AEGP_GetItemType");
    ProjectItem *i = item(itemH);
    if (!i || !typeP)
        return A_Err_PARAMETER;
    *typeP = i->type;
    return A_Err_NONE;
}

A_Err getItemName(AEGP_PluginID, AEGP_ItemH itemH, AEGP_MemHandle *namePH)
{
    FAULT("AEGP_GetItemName");
    ProjectItem *i = item(itemH);
    if (!i)
        return A_Err_PARAMETER;
    return textHandle(utf16Bytes(i->name), namePH);
}

A_Err setItemName(AEGP_ItemH itemH, const A_UTF16Char *nameZ)
{
    FAULT("AEGP_SetItemName");
    ProjectItem *i = item(itemH);
    if (!i || !nameZ || i == M().root())
        return A_Err_PARAMETER;
    i->name = fromUtf16(nameZ);
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err getItemID(AEGP_ItemH itemH, A_long *idPL)
{
    FAULT("AEGP_GetItemID");
    ProjectItem *i = item(itemH);
    if (!i || !idPL)
        return A_Err_PARAMETER;
    *idPL = i->id;
    return A_Err_NONE;
}

A_Err getItemParentFolder(AEGP_ItemH itemH, AEGP_ItemH *parentPH)
{
    FAULT("AEGP_GetItemParentFolder");
    ProjectItem *i = item(itemH);
    if (!i || !parentPH)
        return A_Err_PARAMETER;
    *parentPH = handle(i->parent);
    return A_Err_NONE;
}

A_Err getItemDuration(AEGP_ItemH itemH, A_Time *durationPT)
{
    FAULT("AEGP_GetItemDuration");
    ProjectItem *i = item(itemH);
    if (!i || !durationPT)
        return A_Err_PARAMETER;
    *durationPT = ProjectModel::itemDuration(i);
    return A_Err_NONE;
}

A_Err getItemDimensions(AEGP_ItemH itemH, A_long *widthPL, A_long *heightPL)
{
    FAULT("AEGP_GetItemDimensions");
    ProjectItem *i = item(itemH);
    if (!i || i->type == AEGP_ItemType_FOLDER)
        return A_Err_PARAMETER;
    if (widthPL)
        *widthPL = i->width;
    if (heightPL)
        *heightPL = i->height;
    return A_Err_NONE;
}

A_Err deleteItem(AEGP_ItemH itemH)
{
    FAULT("AEGP_DeleteItem");
    if (!M().removeItem(item(itemH)))
        return A_Err_PARAMETER;
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err createNewFolder(const A_UTF16Char *nameZ, AEGP_ItemH parentH0, AEGP_ItemH *folderPH)
{
    FAULT("AEGP_CreateNewFolder");
    ProjectItem *parent = parentH0 ? item(parentH0) : M().root();
    if (!nameZ || !folderPH || !parent || parent->type != AEGP_ItemType_FOLDER)
        return A_Err_PARAMETER;
    *folderPH = handle(M().addFolder(fromUtf16(nameZ), parent));
    P().notifyChanged();
    return A_Err_NONE;
}

// ---- Composition suite -------------------------------------------------------------------

A_Err getCompFromItem(AEGP_ItemH itemH, AEGP_CompH *compPH)
{
    FAULT("AEGP_GetCompFromItem");
    if (!compPH)
        return A_Err_PARAMETER;
    ProjectItem *i = item(itemH);
    *compPH = i && i->type == AEGP_ItemType_COMP ? reinterpret_cast<AEGP_CompH>(i) : nullptr;
    return *compPH ? A_Err_NONE : A_Err_PARAMETER;
}

A_Err getItemFromComp(AEGP_CompH compH, AEGP_ItemH *itemPH)
{
    FAULT("AEGP_GetItemFromComp");
    ProjectItem *c = compOf(compH);
    if (!c || !itemPH)
        return A_Err_PARAMETER;
    *itemPH = handle(c);
    return A_Err_NONE;
}

A_Err getCompFramerate(AEGP_CompH compH, A_FpLong *fpsPF)
{
    FAULT("AEGP_GetCompFramerate");
    ProjectItem *c = compOf(compH);
    if (!c || !fpsPF)
        return A_Err_PARAMETER;
    *fpsPF = double(c->frameRate.num) / c->frameRate.den;
    return A_Err_NONE;
}

A_Err setCompFrameRate(AEGP_CompH compH, const A_FpLong *fpsP)
{
    FAULT("AEGP_SetCompFrameRate");
    ProjectItem *c = compOf(compH);
    if (!c || !fpsP || *fpsP <= 0)
        return A_Err_PARAMETER;
    c->frameRate = A_Ratio{A_long(*fpsP * 1000 + 0.5), 1000};
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err setCompPixelAspectRatio(AEGP_CompH compH, const A_Ratio *par)
{
    FAULT("AEGP_SetCompPixelAspectRatio");
    ProjectItem *c = compOf(compH);
    if (!c || !par || par->num <= 0 || par->den == 0)
        return A_Err_PARAMETER;
    c->pixelAspect = *par;
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err setCompDimensions(AEGP_CompH compH, A_long widthL, A_long heightL)
{
    FAULT("AEGP_SetCompDimensions");
    ProjectItem *c = compOf(compH);
    if (!c || widthL <= 0 || heightL <= 0)
        return A_Err_PARAMETER;
    c->width = widthL;
    c->height = heightL;
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err setCompDuration(AEGP_CompH compH, const A_Time *durationPT)
{
    FAULT("AEGP_SetCompDuration");
    ProjectItem *c = compOf(compH);
    if (!c || !durationPT || durationPT->scale == 0 || durationPT->value <= 0)
        return A_Err_PARAMETER;
    c->duration = *durationPT;
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err createComp(AEGP_ItemH parentH0, const A_UTF16Char *nameZ, A_long widthL, A_long heightL,
                 const A_Ratio *par, const A_Time *durationPT, const A_Ratio *fps,
                 AEGP_CompH *compPH)
{
    FAULT("AEGP_CreateComp");
    ProjectItem *parent = parentH0 ? item(parentH0) : M().root();
    if (!parent || parent->type != AEGP_ItemType_FOLDER || !nameZ || !par || !durationPT || !fps ||
        !compPH || widthL <= 0 || heightL <= 0 || par->den == 0 || par->num <= 0 ||
        durationPT->scale == 0 || durationPT->value <= 0 || fps->den == 0 || fps->num <= 0)
        return A_Err_PARAMETER;
    ProjectItem *c =
        M().addComp(fromUtf16(nameZ), parent, widthL, heightL, *par, *durationPT, *fps);
    M().setActive(c);
    *compPH = reinterpret_cast<AEGP_CompH>(c);
    P().notifyChanged();
    return A_Err_NONE;
}

// ---- Layer suite -------------------------------------------------------------------------

A_Err getCompNumLayers(AEGP_CompH compH, A_long *numPL)
{
    FAULT("AEGP_GetCompNumLayers");
    ProjectItem *c = compOf(compH);
    if (!c || !numPL)
        return A_Err_PARAMETER;
    *numPL = A_long(c->layers.size());
    return A_Err_NONE;
}

A_Err getCompLayerByIndex(AEGP_CompH compH, A_long index, AEGP_LayerH *layerPH)
{
    FAULT("AEGP_GetCompLayerByIndex");
    ProjectItem *c = compOf(compH);
    if (!c || !layerPH || index < 0 || index >= A_long(c->layers.size()))
        return A_Err_PARAMETER;
    *layerPH = reinterpret_cast<AEGP_LayerH>(c->layers[size_t(index)].get());
    return A_Err_NONE;
}

A_Err getLayerIndex(AEGP_LayerH layerH, A_long *indexPL)
{
    FAULT("AEGP_GetLayerIndex");
    ProjectLayer *l = layerOf(layerH);
    if (!l || !indexPL)
        return A_Err_PARAMETER;
    for (size_t n = 0; n < l->comp->layers.size(); ++n)
        if (l->comp->layers[n].get() == l)
            *indexPL = A_long(n);
    return A_Err_NONE;
}

A_Err getLayerSourceItem(AEGP_LayerH layerH, AEGP_ItemH *sourcePH)
{
    FAULT("AEGP_GetLayerSourceItem");
    ProjectLayer *l = layerOf(layerH);
    if (!l || !sourcePH)
        return A_Err_PARAMETER;
    *sourcePH = handle(l->source);
    return A_Err_NONE;
}

A_Err getLayerParentComp(AEGP_LayerH layerH, AEGP_CompH *compPH)
{
    FAULT("AEGP_GetLayerParentComp");
    ProjectLayer *l = layerOf(layerH);
    if (!l || !compPH)
        return A_Err_PARAMETER;
    *compPH = reinterpret_cast<AEGP_CompH>(l->comp);
    return A_Err_NONE;
}

A_Err getLayerName(AEGP_PluginID, AEGP_LayerH layerH, AEGP_MemHandle *layerNamePH0,
                   AEGP_MemHandle *sourceNamePH0)
{
    FAULT("AEGP_GetLayerName");
    ProjectLayer *l = layerOf(layerH);
    if (!l)
        return A_Err_PARAMETER;
    // A layer that was never renamed has an empty layer name; the source name is the item's.
    if (layerNamePH0 && textHandle(utf16Bytes(l->name == l->source->name ? QString() : l->name),
                                   layerNamePH0) != A_Err_NONE)
        return A_Err_ALLOC;
    if (sourceNamePH0 && textHandle(utf16Bytes(l->source->name), sourceNamePH0) != A_Err_NONE)
        return A_Err_ALLOC;
    return A_Err_NONE;
}

A_Err isAddLayerValid(AEGP_ItemH itemH, AEGP_CompH compH, A_Boolean *validPB)
{
    FAULT("AEGP_IsAddLayerValid");
    if (!validPB)
        return A_Err_PARAMETER;
    *validPB = M().canAddLayer(item(itemH), compOf(compH));
    return A_Err_NONE;
}

A_Err addLayer(AEGP_ItemH itemH, AEGP_CompH compH, AEGP_LayerH *layerPH0)
{
    FAULT("AEGP_AddLayer");
    ProjectLayer *l = M().addLayer(compOf(compH), item(itemH));
    if (!l)
        return A_Err_PARAMETER;
    if (layerPH0)
        *layerPH0 = reinterpret_cast<AEGP_LayerH>(l);
    P().notifyChanged();
    return A_Err_NONE;
}

// ---- Footage suite -----------------------------------------------------------------------

A_Err getMainFootageFromItem(AEGP_ItemH itemH, AEGP_FootageH *footagePH)
{
    FAULT("AEGP_GetMainFootageFromItem");
    ProjectItem *i = item(itemH);
    if (!i || i->type != AEGP_ItemType_FOOTAGE || !footagePH)
        return A_Err_PARAMETER;
    *footagePH = reinterpret_cast<AEGP_FootageH>(i);
    return A_Err_NONE;
}

A_Err getFootageNumFiles(AEGP_FootageH footageH, A_long *numPL0, A_long *perFramePL0)
{
    FAULT("AEGP_GetFootageNumFiles");
    ProjectItem *f = footageOf(footageH);
    if (!f)
        return A_Err_PARAMETER;
    if (numPL0)
        *numPL0 = A_long(f->files.size());
    if (perFramePL0)
        *perFramePL0 = 1;
    return A_Err_NONE;
}

A_Err getFootagePath(AEGP_FootageH footageH, A_long frame, A_long fileIndex, AEGP_MemHandle *pathPH)
{
    FAULT("AEGP_GetFootagePath");
    ProjectItem *f = footageOf(footageH);
    if (!f || frame < 0 || fileIndex != AEGP_FOOTAGE_MAIN_FILE_INDEX)
        return A_Err_PARAMETER;
    // Past the last frame, or a placeholder of a missing frame: an empty path.
    const QString path = frame < f->files.size() ? f->files.at(frame) : QString();
    return textHandle(utf16Bytes(path), pathPH);
}

A_Err newFootage(AEGP_PluginID, const A_UTF16Char *pathZ, const AEGP_FootageLayerKey *,
                 const AEGP_FileSequenceImportOptions *seq, AEGP_InterpretationStyle, void *,
                 AEGP_FootageH *footagePH)
{
    FAULT("AEGP_NewFootage");
    if (!pathZ || !footagePH)
        return A_Err_PARAMETER;
    const QString path = fromUtf16(pathZ);
    if (QFileInfo(path).fileName().contains(QLatin1Char(':')))
        return A_Err_PARAMETER;
    QString error, note;
    ProjectItem *f =
        M().newFootage(path, seq && seq->all_in_folderB, seq && seq->force_alphabeticalB, &error,
                       &note, P().folderListings());
    if (!f) {
        TestHost::instance()->console(error);
        return A_Err_GENERIC;
    }
    if (!note.isEmpty())
        TestHost::instance()->console(note);
    *footagePH = reinterpret_cast<AEGP_FootageH>(f);
    return A_Err_NONE;
}

A_Err addFootageToProject(AEGP_FootageH footageH, AEGP_ItemH folderH, AEGP_ItemH *addedPH0)
{
    FAULT("AEGP_AddFootageToProject");
    ProjectItem *f = footageOf(footageH);
    ProjectItem *folder = folderH ? item(folderH) : M().root();
    if (!f || !folder || folder->type != AEGP_ItemType_FOLDER || !M().adoptFootage(f, folder))
        return A_Err_PARAMETER;
    if (addedPH0)
        *addedPH0 = handle(f);
    P().notifyChanged();
    return A_Err_NONE;
}

A_Err disposeFootage(AEGP_FootageH footageH)
{
    FAULT("AEGP_DisposeFootage");
    ProjectItem *f = footageOf(footageH);
    if (!f || f->inProject)
        return A_Err_PARAMETER;
    M().disposeFootage(f);
    return A_Err_NONE;
}

A_Err getFootageInterpretation(const AEGP_ItemH itemH, A_Boolean, AEGP_FootageInterp *interpP)
{
    FAULT("AEGP_GetFootageInterpretation");
    ProjectItem *f = item(itemH);
    if (!f || f->type != AEGP_ItemType_FOOTAGE || !interpP)
        return A_Err_PARAMETER;
    *interpP = AEGP_FootageInterp{};
    interpP->pix_aspect_ratio = A_Ratio{1, 1};
    interpP->native_fpsF = 30.0;
    interpP->conform_fpsF = f->conformFps;
    return A_Err_NONE;
}

A_Err setFootageInterpretation(const AEGP_ItemH itemH, A_Boolean, const AEGP_FootageInterp *interpP)
{
    FAULT("AEGP_SetFootageInterpretation");
    ProjectItem *f = item(itemH);
    if (!f || f->type != AEGP_ItemType_FOOTAGE || !interpP || interpP->conform_fpsF <= 0)
        return A_Err_PARAMETER;
    f->conformFps = interpP->conform_fpsF;
    P().notifyChanged();
    return A_Err_NONE;
}

// ---- Utility suite -----------------------------------------------------------------------

A_Err reportInfo(AEGP_PluginID, const A_char *infoZ)
{
    FAULT("AEGP_ReportInfo");
    TestHost::instance()->console(QString::fromUtf8(infoZ ? infoZ : ""));
    return A_Err_NONE;
}

A_Err startUndoGroup(const A_char *)
{
    FAULT("AEGP_StartUndoGroup");
    return A_Err_NONE;
}
A_Err endUndoGroup()
{
    FAULT("AEGP_EndUndoGroup");
    return A_Err_NONE;
}

A_Err causeIdleRoutinesToBeCalled()
{
    FAULT("AEGP_CauseIdleRoutinesToBeCalled");
    return A_Err_NONE;
}

A_Err executeScript(AEGP_PluginID, const A_char *scriptZ, const A_Boolean platformEncodingB,
                    AEGP_MemHandle *resultPH0, AEGP_MemHandle *errorPH0)
{
    FAULT("AEGP_ExecuteScript");
    if (!scriptZ)
        return A_Err_PARAMETER;
    const QString text =
        platformEncodingB ? QString::fromLatin1(scriptZ) : QString::fromUtf8(scriptZ);
    QString result, error;
    P().runScript(text, &result, &error);
    auto encode = [&](const QString &s) {
        QByteArray b = platformEncodingB ? s.toLatin1() : s.toUtf8();
        b.append('\0');
        return b;
    };
    AEGP_MemHandle resultH = nullptr, errorH = nullptr;
    if ((resultPH0 && !(resultH = P().newHandle(encode(result)))) ||
        (errorPH0 && !(errorH = P().newHandle(encode(error))))) {
        if (resultH)
            releaseBlock(block(resultH));
        return A_Err_ALLOC;
    }
    if (resultPH0)
        *resultPH0 = resultH;
    if (errorPH0)
        *errorPH0 = errorH;
    return A_Err_NONE;
}

A_Err isScriptingAvailable(A_Boolean *availablePB)
{
    FAULT("AEGP_IsScriptingAvailable");
    if (!availablePB)
        return A_Err_PARAMETER;
    *availablePB = true;
    return A_Err_NONE;
}

AEGP_MemorySuite1 g_memory = {newMemHandle,     freeMemHandle,   lockMemHandle,     unlockMemHandle,
                              getMemHandleSize, resizeMemHandle, setMemReportingOn, getMemStats};
AEGP_ProjSuite5 g_proj = {getNumProjects,       getProjectByIndex,  getProjectName, getProjectPath,
                          getProjectRootFolder, saveProjectToPath,  projectIsDirty, saveProjectAs,
                          newProject,           openProjectFromPath};
AEGP_ItemSuite8 g_item = {getFirstProjItem, getNextProjItem,   getActiveItem, getItemType,
                          getItemName,      setItemName,       getItemID,     getItemParentFolder,
                          getItemDuration,  getItemDimensions, deleteItem,    createNewFolder};
AEGP_CompSuite7 g_comp = {
    getCompFromItem,         getItemFromComp,   getCompFramerate, setCompFrameRate,
    setCompPixelAspectRatio, setCompDimensions, setCompDuration,  createComp};
AEGP_LayerSuite5 g_layer = {
    getCompNumLayers,   getCompLayerByIndex, getLayerIndex,   getLayerSourceItem,
    getLayerParentComp, getLayerName,        isAddLayerValid, addLayer};
AEGP_FootageSuite5 g_footage = {
    getMainFootageFromItem, getFootageNumFiles, getFootagePath,           newFootage,
    addFootageToProject,    disposeFootage,     getFootageInterpretation, setFootageInterpretation};
AEGP_UtilitySuite5 g_utility = {reportInfo,    startUndoGroup,
                                endUndoGroup,  causeIdleRoutinesToBeCalled,
                                executeScript, isScriptingAvailable};

} // namespace

struct ProjectHost::Private
{
    TestHost *host = nullptr;
    std::unique_ptr<ProjectModel> model = std::make_unique<ProjectModel>();
    std::vector<ScriptRun> scripts;
    int scriptTimeLimitMs = 60000;
    // The session's scripting environment, made for the first script.
    std::unique_ptr<ScriptEngine> engine;
    // Counts the projects opened or made, so that scripts can tell a closed one's items.
    int projectSerial = 1;
    int runDepth = 0;
    FolderListings listings;
};

ProjectHost::Run::Run(ProjectHost &host) : m_host(host)
{
    ++m_host.d->runDepth;
}

ProjectHost::Run::~Run()
{
    if (--m_host.d->runDepth == 0)
        m_host.d->listings.clear();
}

FolderListings *ProjectHost::folderListings()
{
    return d->runDepth > 0 ? &d->listings : nullptr;
}

ProjectHost::ProjectHost(TestHost &host, SuiteRegistry &suites, FaultPlan &, QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->host = &host;
    d->model->setDirty(false);
    suites.add("AEGP Memory Suite", 1, &g_memory);
    suites.add("AEGP Proj Suite", 8, &g_proj);
    suites.add("AEGP Item Suite", 13, &g_item);
    suites.add("AEGP Comp Suite", 15, &g_comp);
    suites.add("AEGP Layer Suite", 10, &g_layer);
    suites.add("AEGP Footage Suite", 11, &g_footage);
    suites.add("AEGP Utility Suite", 11, &g_utility);
}

ProjectHost::~ProjectHost() = default;

ProjectModel &ProjectHost::model()
{
    return *d->model;
}
TestHost &ProjectHost::host()
{
    return *d->host;
}

void ProjectHost::notifyChanged(bool dirty)
{
    if (dirty)
        d->model->setDirty(true);
    Q_EMIT changed();
}

int ProjectHost::projectSerial() const
{
    return d->projectSerial;
}

void ProjectHost::newProject()
{
    ++d->projectSerial;
    d->model = std::make_unique<ProjectModel>();
    d->model->setDirty(false);
    notifyChanged(false);
}

bool ProjectHost::openProject(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot open project \"%1\": %2").arg(path, f.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (!doc.isObject()) {
        *error =
            QStringLiteral("Cannot read project \"%1\": %2").arg(path, parseError.errorString());
        return false;
    }
    auto model = std::make_unique<ProjectModel>();
    QString why;
    if (!model->fromJson(doc.object(), &why, nullptr, QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("Cannot read project \"%1\": %2").arg(path, why);
        return false;
    }
    model->setPath(QFileInfo(path).absoluteFilePath());
    model->setDirty(false);
    ++d->projectSerial;
    d->model = std::move(model);
    notifyChanged(false);
    return true;
}

bool ProjectHost::saveProject(const QString &path, QString *error)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString oldPath = d->model->path();
    d->model->setPath(absolute);
    QString why;
    if (!writeWholeFile(absolute, d->model->toJsonText(false), &why)) {
        *error = QStringLiteral("Cannot save project \"%1\": %2").arg(path, why);
        d->model->setPath(oldPath);
        return false;
    }
    d->model->setDirty(false);
    notifyChanged(false);
    return true;
}

void ProjectHost::runScript(const QString &text, QString *result, QString *error,
                            const QString &fileName)
{
    if (!d->engine)
        d->engine = std::make_unique<ScriptEngine>(*this);
    d->engine->setTimeLimit(d->scriptTimeLimitMs);
    d->engine->run(text, fileName, result, error);
    d->scripts.push_back(ScriptRun{text, *result, *error});
    Q_EMIT scriptRan(d->scripts.back());
}

void ProjectHost::setScriptTimeLimit(int milliseconds)
{
    d->scriptTimeLimitMs = std::max(1, milliseconds);
}

const std::vector<ScriptRun> &ProjectHost::scriptRuns() const
{
    return d->scripts;
}

AEGP_MemHandle ProjectHost::newHandle(const QByteArray &bytes)
{
    AEGP_MemHandle h = nullptr;
    if (newMemHandle(0, "text", AEGP_MemSize(bytes.size()), AEGP_MemFlag_NONE, &h) != A_Err_NONE)
        return nullptr;
    std::memcpy(reinterpret_cast<MemBlock *>(h)->data, bytes.constData(), size_t(bytes.size()));
    return h;
}

int ProjectHost::liveHandles() const
{
    return int(blocks().size());
}

QByteArray ProjectHost::dump() const
{
    QJsonObject json = d->model->toJson();
    QJsonArray menu;
    for (const MenuEntry &e : d->host->menu(AEGP_MenuID(AEGP_Menu_WINDOW)))
        menu.append(QJsonObject{{"name", e.name},
                                {"command", int(e.command)},
                                {"enabled", e.enabled},
                                {"checked", e.checked}});
    QJsonArray commands;
    for (AEGP_Command c : d->host->recordedCommands())
        commands.append(int(c));
    QJsonArray scripts;
    for (const ScriptRun &s : d->scripts)
        scripts.append(QJsonObject{{"text", s.text}, {"result", s.result}, {"error", s.error}});
    json["host"] = QJsonObject{{"windowMenu", menu}, {"commands", commands}, {"scripts", scripts}};
    return QJsonDocument(json).toJson();
}
