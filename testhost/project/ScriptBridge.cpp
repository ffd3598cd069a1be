#include "testhost/project/ScriptBridge.h"

#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextCodec>
#include <QtEndian>
#include <cmath>

namespace {

enum ImportAs { CompCroppedLayers = 3812, Footage = 3813, Comp = 3814, Project = 3815 };

const quint32 kMaxCompSize = 30000;
// A composition made from a Photoshop file lasts one second at 30 frames per second.
const A_long kPsdCompFrames = 30;
const A_u_long kPsdCompRate = 30;

// Times and rates arrive from scripts as seconds and frames per second; the model keeps them
// as rationals. Rates like 29.97 keep three decimals.
A_Ratio ratioOf(double value)
{
    if (std::floor(value) == value)
        return A_Ratio{A_long(value), 1};
    return A_Ratio{A_long(std::lround(value * 1000)), 1000};
}

double seconds(A_Time t)
{
    return t.scale ? double(t.value) / t.scale : 0.0;
}

QString typeName(const ProjectItem *item)
{
    switch (item->type) {
    case AEGP_ItemType_COMP:
        return QStringLiteral("comp");
    case AEGP_ItemType_FOOTAGE:
        return QStringLiteral("footage");
    default:
        return QStringLiteral("folder");
    }
}

} // namespace

ScriptBridge::ScriptBridge(ProjectHost &project, QObject *parent)
    : QObject(parent), m_project(project)
{}

QString ScriptBridge::compiledScriptError()
{
    return QStringLiteral("compiled binary scripts (JSXBIN) cannot run on this host");
}

QVariant ScriptBridge::readScript(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_error =
            QStringLiteral("Unable to open the script file \"%1\": %2").arg(path, f.errorString());
        return QVariant();
    }
    const QByteArray bytes = f.readAll();
    if (bytes.startsWith("@JSXBIN@")) {
        m_error = compiledScriptError();
        return QVariant();
    }
    QTextCodec::ConverterState state;
    QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0)
        text = QString::fromLatin1(bytes);
    else if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

int ScriptBridge::projectSerial() const
{
    return m_project.projectSerial();
}

int ScriptBridge::fail(const QString &message)
{
    m_error = message;
    return -1;
}

int ScriptBridge::numItems() const
{
    return int(m_project.model().items().size());
}

int ScriptBridge::itemIdAt(int oneBased) const
{
    const auto all = m_project.model().items();
    if (oneBased < 1 || oneBased > int(all.size()))
        return -1;
    return all[size_t(oneBased - 1)]->id;
}

int ScriptBridge::rootId() const
{
    return m_project.model().root()->id;
}

int ScriptBridge::activeId() const
{
    ProjectItem *a = m_project.model().active();
    return a ? a->id : -1;
}

QString ScriptBridge::itemType(int id) const
{
    ProjectItem *item = m_project.model().findById(id);
    return item ? typeName(item) : QString();
}

QString ScriptBridge::itemName(int id) const
{
    ProjectItem *item = m_project.model().findById(id);
    return item ? item->name : QString();
}

void ScriptBridge::setItemName(int id, const QString &name)
{
    if (ProjectItem *item = m_project.model().findById(id)) {
        item->name = name;
        m_project.notifyChanged();
    }
}

int ScriptBridge::parentId(int id) const
{
    ProjectItem *item = m_project.model().findById(id);
    return item && item->parent ? item->parent->id : -1;
}

bool ScriptBridge::moveItem(int id, int folderId)
{
    ProjectModel &model = m_project.model();
    if (!model.moveItem(model.findById(id), model.findById(folderId))) {
        m_error =
            QStringLiteral("Unable to set \"parentFolder\": not a folder this item can go into");
        return false;
    }
    m_project.notifyChanged();
    return true;
}

QVariantList ScriptBridge::childIds(int id) const
{
    QVariantList out;
    if (ProjectItem *item = m_project.model().findById(id))
        for (ProjectItem *c : item->children)
            out << c->id;
    return out;
}

QVariantMap ScriptBridge::itemInfo(int id) const
{
    QVariantMap m;
    ProjectItem *item = m_project.model().findById(id);
    if (!item)
        return m;
    m["duration"] = seconds(ProjectModel::itemDuration(item));
    if (item->type == AEGP_ItemType_COMP) {
        m["width"] = int(item->width);
        m["height"] = int(item->height);
        m["pixelAspect"] = double(item->pixelAspect.num) / item->pixelAspect.den;
        m["frameRate"] = double(item->frameRate.num) / item->frameRate.den;
    } else if (item->type == AEGP_ItemType_FOOTAGE) {
        m["frameRate"] = item->conformFps;
    }
    return m;
}

int ScriptBridge::addComp(int folderId, const QString &name, int width, int height,
                          double pixelAspect, double duration, double frameRate)
{
    ProjectItem *folder = m_project.model().findById(folderId);
    if (!folder || folder->type != AEGP_ItemType_FOLDER)
        return fail(QStringLiteral("Unable to call \"addComp\" because the folder is invalid"));
    if (width < 4 || height < 4 || width > 30000 || height > 30000 || frameRate <= 0 ||
        duration <= 0 || pixelAspect <= 0)
        return fail(
            QStringLiteral("Unable to call \"addComp\" because of a parameter out of range"));
    const A_Ratio fps = ratioOf(frameRate);
    // Seconds kept as a count of 1/fps.num steps, e.g. 10 s at 24 fps is 240/24.
    const A_Time dur{A_long(std::lround(duration * fps.num)), A_u_long(fps.num)};
    ProjectItem *c =
        m_project.model().addComp(name, folder, width, height, ratioOf(pixelAspect), dur, fps);
    m_project.model().setActive(c);
    m_project.notifyChanged();
    return c->id;
}

int ScriptBridge::addFolder(int folderId, const QString &name)
{
    ProjectItem *folder = m_project.model().findById(folderId);
    if (!folder || folder->type != AEGP_ItemType_FOLDER)
        return fail(QStringLiteral("Unable to call \"addFolder\" because the folder is invalid"));
    ProjectItem *f = m_project.model().addFolder(name, folder);
    m_project.notifyChanged();
    return f->id;
}

int ScriptBridge::layerCount(int compId) const
{
    ProjectItem *c = m_project.model().findById(compId);
    return c ? int(c->layers.size()) : 0;
}

QVariantMap ScriptBridge::layerInfo(int compId, int oneBased) const
{
    QVariantMap m;
    ProjectItem *c = m_project.model().findById(compId);
    if (!c || oneBased < 1 || oneBased > int(c->layers.size()))
        return m;
    const ProjectLayer *l = c->layers[size_t(oneBased - 1)].get();
    m["name"] = l->name;
    m["source"] = l->source->id;
    return m;
}

bool ScriptBridge::addLayer(int compId, int itemId)
{
    ProjectModel &model = m_project.model();
    ProjectItem *comp = model.findById(compId);
    ProjectItem *item = model.findById(itemId);
    if (!model.addLayer(comp, item)) {
        m_error = QStringLiteral(
            "Unable to call \"add\" because this item cannot be a layer of this composition");
        return false;
    }
    m_project.notifyChanged();
    return true;
}

int ScriptBridge::precompose(int compId, const QVariantList &indices, const QString &name)
{
    std::vector<int> zeroBased;
    for (const QVariant &v : indices)
        zeroBased.push_back(v.toInt() - 1);
    ProjectItem *inner =
        m_project.model().precompose(m_project.model().findById(compId), zeroBased, name);
    if (!inner)
        return fail(QStringLiteral(
            "Unable to call \"precompose\" because of parameter 1. Value is out of range."));
    m_project.notifyChanged();
    return inner->id;
}

bool ScriptBridge::fileExists(const QString &path) const
{
    return QFileInfo::exists(path);
}

QString ScriptBridge::absolutePath(const QString &path) const
{
    QString p = path;
    if (p.startsWith(QLatin1String("file://")))
        p = p.mid(7);
    if (p.startsWith(QLatin1String("~/")))
        p = QDir::homePath() + p.mid(1);
    return QFileInfo(p).absoluteFilePath();
}

void ScriptBridge::console(const QString &line)
{
    m_project.host().console(line);
}

bool ScriptBridge::setConformFps(int footageId, double fps)
{
    ProjectItem *item = m_project.model().findById(footageId);
    if (!item || item->type != AEGP_ItemType_FOOTAGE || !(fps > 0 && fps <= 999)) {
        m_error = QStringLiteral("Unable to set \"conformFrameRate\": value out of range");
        return false;
    }
    item->conformFps = fps;
    m_project.notifyChanged();
    return true;
}

QString ScriptBridge::environment(const QString &name) const
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

int ScriptBridge::importFile(const QString &path, int importAs, bool sequence,
                             bool forceAlphabetical)
{
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("Unable to import \"%1\": the file does not exist").arg(path));
    if (importAs == Comp || importAs == CompCroppedLayers)
        return importPsd(path);
    if (importAs == Project)
        return importProject(path);
    QString error, note;
    ProjectModel &model = m_project.model();
    ProjectItem *item = model.newFootage(path, sequence, forceAlphabetical, &error, &note,
                                         m_project.folderListings());
    if (!item)
        return fail(error);
    if (!note.isEmpty())
        m_project.host().console(note);
    model.adoptFootage(item, model.root());
    m_project.notifyChanged();
    return item->id;
}

// A Photoshop file as a composition: the header gives the size ("8BPS", version 1, or 2 for
// large documents, six reserved bytes, channel count, then height before width, all
// big-endian). The composition holds the file as one footage layer; the footage goes into a
// folder "<name> Layers" beside it, where the host puts the document's layers.
int ScriptBridge::importPsd(const QString &path)
{
    const QFileInfo info(path);
    QFile f(path);
    QByteArray head;
    if (f.open(QIODevice::ReadOnly))
        head = f.read(26);
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    const quint16 version = head.size() >= 26 ? qFromBigEndian<quint16>(p + 4) : 0;
    if (!head.startsWith("8BPS") || (version != 1 && version != 2))
        return fail(QStringLiteral("Unable to import \"%1\" as a composition: not a Photoshop "
                                   "file")
                        .arg(info.fileName()));
    const quint32 height = qFromBigEndian<quint32>(p + 14);
    const quint32 width = qFromBigEndian<quint32>(p + 18);
    if (width < 1 || height < 1 || width > kMaxCompSize || height > kMaxCompSize)
        return fail(QStringLiteral("Unable to import \"%1\" as a composition: its size %2x%3 "
                                   "is outside 1 to %4 pixels")
                        .arg(info.fileName())
                        .arg(width)
                        .arg(height)
                        .arg(kMaxCompSize));
    ProjectModel &model = m_project.model();
    QString error, note;
    ProjectItem *footage = model.newFootage(path, false, false, &error, &note);
    if (!footage)
        return fail(error);
    const QString name = info.completeBaseName();
    ProjectItem *comp =
        model.addComp(name, model.root(), A_long(width), A_long(height), A_Ratio{1, 1},
                      A_Time{kPsdCompFrames, kPsdCompRate}, A_Ratio{A_long(kPsdCompRate), 1});
    ProjectItem *layers = model.addFolder(name + QStringLiteral(" Layers"), model.root());
    model.adoptFootage(footage, layers);
    model.addLayer(comp, footage);
    m_project.notifyChanged();
    return comp->id;
}

int ScriptBridge::importProject(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Unable to open \"%1\": %2").arg(path, f.errorString()));
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (!doc.isObject())
        return fail(QStringLiteral("Unable to import \"%1\": not a test host project (%2)")
                        .arg(path, parseError.errorString()));
    QString error;
    ProjectModel check;
    if (!check.fromJson(doc.object(), &error))
        return fail(QStringLiteral("Unable to import \"%1\": %2").arg(path, error));
    ProjectModel &model = m_project.model();
    ProjectItem *folder = model.addFolder(QFileInfo(path).fileName(), model.root());
    model.fromJson(doc.object(), &error, folder);
    m_project.notifyChanged();
    return folder->id;
}

void ScriptBridge::quit(int exitCode)
{
    m_project.host().requestQuit(exitCode);
}

QString ScriptBridge::prelude()
{
    return QStringLiteral(R"JS(
(function (global, N) {
    function check(v) { if (v === -1 || v === false) throw new Error(N.lastError()); return v; }
    function FolderItem() { throw new Error("FolderItem cannot be constructed"); }
    function CompItem() { throw new Error("CompItem cannot be constructed"); }
    function FootageItem() { throw new Error("FootageItem cannot be constructed"); }
    function wrap(id) {
        if (id === undefined || id < 0) return null;
        var t = N.itemType(id);
        var proto = t == "comp" ? CompItem.prototype : t == "footage" ? FootageItem.prototype
                                                                     : FolderItem.prototype;
        var o = Object.create(proto);
        Object.defineProperty(o, "_ref", { value: id });
        Object.defineProperty(o, "_project", { value: N.projectSerial() });
        return o;
    }
    function itemProps(proto, typeName) {
        Object.defineProperty(proto, "_id", { get: function () {
            if (this._project !== N.projectSerial()) throw new Error("Object is invalid");
            return this._ref; } });
        Object.defineProperty(proto, "name", {
            get: function () { return N.itemName(this._id); },
            set: function (v) { N.setItemName(this._id, String(v)); } });
        Object.defineProperty(proto, "id", { get: function () { return this._id; } });
        Object.defineProperty(proto, "typeName", { get: function () { return typeName; } });
        Object.defineProperty(proto, "parentFolder", {
            get: function () { return wrap(N.parentId(this._id)); },
            set: function (f) {
                if (!(f instanceof FolderItem)) throw new Error("Unable to set \"parentFolder\": not a folder");
                check(N.moveItem(this._id, f._id)); } });
        ["duration", "width", "height", "frameRate", "pixelAspect"].forEach(function (k) {
            Object.defineProperty(proto, k, { get: function () { return N.itemInfo(this._id)[k]; } });
        });
    }
    itemProps(FolderItem.prototype, "Folder");
    itemProps(CompItem.prototype, "Composition");
    itemProps(FootageItem.prototype, "Footage");
    FolderItem.prototype.toString = function () { return "[object FolderItem]"; };
    CompItem.prototype.toString = function () { return "[object CompItem]"; };
    FootageItem.prototype.toString = function () { return "[object FootageItem]"; };

    function ItemCollection(folderId, wholeProject) {
        this._folder = folderId;
        this._whole = wholeProject;
    }
    ItemCollection.prototype.addComp = function (name, w, h, pa, dur, fps) {
        return wrap(check(N.addComp(this._folder, String(name), w, h, pa, dur, fps)));
    };
    ItemCollection.prototype.addFolder = function (name) {
        return wrap(check(N.addFolder(this._folder, String(name))));
    };
    Object.defineProperty(ItemCollection.prototype, "length", { get: function () {
        return this._whole ? N.numItems() : N.childIds(this._folder).length; } });
    FolderItem.prototype.item = function (i) {
        var ids = N.childIds(this._id);
        if (i < 1 || i > ids.length) throw new Error("Item index out of range");
        return wrap(ids[i - 1]);
    };
    Object.defineProperty(FolderItem.prototype, "numItems",
        { get: function () { return N.childIds(this._id).length; } });
    Object.defineProperty(FolderItem.prototype, "items",
        { get: function () { return new ItemCollection(this._id, false); } });

    function LayerCollection(compId) { this._comp = compId; }
    Object.defineProperty(LayerCollection.prototype, "length",
        { get: function () { return N.layerCount(this._comp); } });
    LayerCollection.prototype.add = function (item) {
        if (!item || item._id === undefined) throw new Error("Unable to call \"add\" because of parameter 1.");
        check(N.addLayer(this._comp, item._id));
        return layerOf(this._comp, 1);
    };
    LayerCollection.prototype.precompose = function (indices, name, moveAll) {
        if (!(indices instanceof Array) || indices.length === 0)
            throw new Error("Unable to call \"precompose\" because of parameter 1. Value is out of range.");
        if (moveAll === false && indices.length !== 1)
            throw new Error("Unable to call \"precompose\" because of parameter 3.");
        return wrap(check(N.precompose(this._comp, indices, String(name))));
    };
    function Layer() {}
    Layer.prototype.toString = function () { return "[object AVLayer]"; };
    function layerOf(compId, i) {
        var info = N.layerInfo(compId, i);
        if (info.source === undefined) throw new Error("Layer index out of range");
        var l = new Layer();
        l.index = i; l.name = info.name; l.source = wrap(info.source);
        l.containingComp = wrap(compId);
        return l;
    }
    Object.defineProperty(FootageItem.prototype, "mainSource", { get: function () {
        var id = this._id, source = {};
        Object.defineProperty(source, "conformFrameRate", {
            get: function () { return N.itemInfo(id).frameRate; },
            set: function (v) { check(N.setConformFps(id, Number(v))); } });
        return source; } });
    Object.defineProperty(CompItem.prototype, "layers",
        { get: function () { return new LayerCollection(this._id); } });
    Object.defineProperty(CompItem.prototype, "numLayers",
        { get: function () { return N.layerCount(this._id); } });
    CompItem.prototype.layer = function (i) { return layerOf(this._id, i); };

    function FileObject(path) {
        this.fsName = N.absolutePath(String(path));
        this.fullName = this.fsName;
    }
    Object.defineProperty(FileObject.prototype, "exists",
        { get: function () { return N.fileExists(this.fsName); } });
    Object.defineProperty(FileObject.prototype, "name",
        { get: function () { return this.fsName.replace(/^.*[\/\\]/, ""); } });
    FileObject.prototype.toString = function () { return this.fullName; };
    Object.defineProperty(FileObject.prototype, "parent", { get: function () {
        var dir = this.fsName.replace(/[\/\\][^\/\\]*$/, "");
        return dir === this.fsName ? null : Folder(dir === "" ? "/" : dir); } });
    function Folder(path) {
        var f = Object.create(FileObject.prototype);
        FileObject.call(f, path);
        return f;
    }
    function File(path) {
        var f = Object.create(FileObject.prototype);
        FileObject.call(f, path);
        return f;
    }
    File.prototype = FileObject.prototype;

    var ImportAsType = { COMP_CROPPED_LAYERS: 3812, FOOTAGE: 3813, COMP: 3814, PROJECT: 3815 };
    function ImportOptions(file) {
        this.file = file;
        this.importAs = ImportAsType.FOOTAGE;
        this.sequence = false;
        this.forceAlphabetical = false;
    }
    ImportOptions.prototype.canImportAs = function (type) {
        var n = this.file ? this.file.fsName.toLowerCase() : "";
        if (type == ImportAsType.FOOTAGE) return true;
        if (type == ImportAsType.COMP || type == ImportAsType.COMP_CROPPED_LAYERS) return /\.psd$/.test(n);
        if (type == ImportAsType.PROJECT) return /\.(aep|json)$/.test(n);
        return false;
    };

    var project = {
        item: function (i) {
            var id = N.itemIdAt(i);
            if (id < 0) throw new Error("Item index " + i + " out of range");
            return wrap(id);
        },
        importFile: function (o) {
            if (!o || !o.file) throw new Error("Unable to call \"importFile\" because of parameter 1.");
            var file = typeof o.file == "string" ? File(o.file) : o.file;
            return wrap(check(N.importFile(file.fsName, Number(o.importAs), !!o.sequence,
                                           !!o.forceAlphabetical)));
        }
    };
    Object.defineProperty(project, "numItems", { get: function () { return N.numItems(); } });
    Object.defineProperty(project, "items",
        { get: function () { return new ItemCollection(N.rootId(), true); } });
    Object.defineProperty(project, "rootFolder", { get: function () { return wrap(N.rootId()); } });
    Object.defineProperty(project, "activeItem", { get: function () { return wrap(N.activeId()); } });

    global.app = {
        project: project,
        beginUndoGroup: function () {},
        endUndoGroup: function () {},
        // The status of a session started from the command line; quit() ends the session.
        exitCode: 0,
        quit: function () { N.quit(Math.floor(Number(this.exitCode)) || 0); }
    };
    global.alert = function (message) { N.console(String(message)); };
    global.write = function () { N.console(Array.prototype.map.call(arguments, String).join("")); };
    global.writeLn = global.write;
    global.$ = {
        writeln: function () { N.console(Array.prototype.map.call(arguments, String).join("")); },
        getenv: function (name) { var v = N.environment(String(name)); return v === "" ? null : v; },
        // Runs a script file in this same environment; its value is the file's last statement.
        evalFile: function (file) {
            if (file === undefined || file === null)
                throw new Error("Unable to call \"evalFile\" because of parameter 1.");
            var path = file instanceof FileObject ? file.fsName : N.absolutePath(String(file));
            var text = N.readScript(path);
            if (text === undefined) throw new Error(N.lastError());
            var caller = N.scriptFileName();
            N.setScriptFileName(path);
            // global.eval, not (0, eval): inside this closure the engine would keep the
            // file's declarations in the closure's scope instead of the session's globals.
            try { return global.eval(text); } finally { N.setScriptFileName(caller); }
        }
    };
    Object.defineProperty(global.$, "fileName",
        { get: function () { return N.scriptFileName(); } });
    global.File = File;
    global.Folder = Folder;
    global.ImportOptions = ImportOptions;
    global.ImportAsType = ImportAsType;
    global.CompItem = CompItem;
    global.FootageItem = FootageItem;
    global.FolderItem = FolderItem;
})
)JS");
}
