#include "testhost/project/ProjectModel.h"

#include "testhost/project/FootageScan.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const char *const kFormat = "cellkit-testhost-project";
const int kFormatVersion = 1;
// The host's limit on a composition's width and height.
const qint64 kMaxCompSize = 30000;

const char *typeText(A_short type)
{
    switch (type) {
    case AEGP_ItemType_COMP:
        return "comp";
    case AEGP_ItemType_FOOTAGE:
        return "footage";
    default:
        return "folder";
    }
}

QJsonArray pair(qint64 a, qint64 b)
{
    return QJsonArray{double(a), double(b)};
}

// A whole number that fits the host's 32-bit fields (signed or unsigned).
bool intOf(const QJsonValue &v, qint64 *out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != std::floor(d) || d < -2147483648.0 || d > 4294967295.0)
        return false;
    *out = qint64(d);
    return true;
}

bool pairOf(const QJsonValue &v, qint64 *a, qint64 *b)
{
    const QJsonArray array = v.toArray();
    return v.isArray() && array.size() == 2 && intOf(array.at(0), a) && intOf(array.at(1), b);
}

bool isKind(const QString &kind)
{
    return kind == QLatin1String("sequence") || kind == QLatin1String("still") ||
           kind == QLatin1String("movie") || kind == QLatin1String("sound");
}

// The footage's files relative to the project's folder ("Footage/bg.png"), "" for a missing
// frame; what the project can find its footage by once both moved together. A sequence's
// frames share their folder, so each folder is made relative once.
QStringList relativeFiles(const ProjectItem *item, const QDir &projectDir)
{
    QStringList relative;
    relative.reserve(item->files.size());
    QString lastDir;
    QString lastPrefix; // lastDir relative to the project's folder, with a "/", or ""
    bool known = false;
    for (const QString &file : item->files) {
        if (file.isEmpty()) {
            relative << QString();
            continue;
        }
        const int slash = file.lastIndexOf(QLatin1Char('/'));
        if (slash < 0) {
            relative << file; // not a path of this disk: nothing to be relative to
            continue;
        }
        const QString dir = file.left(qMax(slash, 1));
        if (!known || dir != lastDir) {
            lastDir = dir;
            const QString path = projectDir.relativeFilePath(dir);
            lastPrefix =
                path.isEmpty() || path == QLatin1String(".") ? QString() : path + QLatin1Char('/');
            known = true;
        }
        relative << lastPrefix + file.mid(slash + 1);
    }
    return relative;
}

// Footage that moved along with its project: a saved path that is missing is replaced by the
// file at its relative path from the folder the project was read from, when that one exists.
void findMovedFiles(QStringList &paths, const QJsonValue &relativeValue, const QDir &fileDir)
{
    const QJsonArray relative = relativeValue.toArray();
    if (relative.size() != paths.size())
        return; // none written (an older file), or not ours to trust
    for (int n = 0; n < paths.size(); ++n) {
        const QString rel = relative.at(n).toString();
        if (paths.at(n).isEmpty() || rel.isEmpty() || QFileInfo::exists(paths.at(n)))
            continue;
        const QString moved = QDir::cleanPath(fileDir.filePath(rel));
        if (QFileInfo::exists(moved))
            paths[n] = moved;
    }
}

// The text QJsonDocument writes for one value (indented form). Only plain printable ASCII is
// written here; anything that needs escapes goes through Qt's own writer.
void appendJsonString(QByteArray &out, const QString &text)
{
    const int start = out.size();
    out.resize(start + text.size() + 2);
    char *cursor = out.data() + start;
    *cursor++ = '"';
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || u > 0x7e || u == '"' || u == '\\') {
            out.truncate(start);
            const QByteArray quoted =
                QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
            out += quoted.mid(1, quoted.size() - 2); // without the array's brackets
            return;
        }
        *cursor++ = char(u);
    }
    *cursor = '"';
}

void appendJsonNumber(QByteArray &out, double value)
{
    if (std::isfinite(value))
        out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    else
        out += "null";
}

// Objects and arrays as QJsonDocument indents them: four blanks a level, "key": value, members
// on lines of their own, keys in code-unit order (the callers give them so).
class JsonText
{
public:
    QByteArray text;

    void open(char bracket)
    {
        text += bracket;
        text += '\n';
        ++m_level;
        m_first.push_back(true);
    }
    void close(char bracket)
    {
        const bool empty = m_first.back();
        m_first.pop_back();
        --m_level;
        if (!empty)
            text += '\n';
        text.append(4 * m_level, ' ');
        text += bracket;
    }
    // Starts an array element.
    void element()
    {
        if (!m_first.back())
            text += ",\n";
        m_first.back() = false;
        text.append(4 * m_level, ' ');
    }
    // Starts an object member.
    void key(const char *name)
    {
        element();
        text += '"';
        text += name;
        text += "\": ";
    }
    void string(const char *name, const QString &value)
    {
        key(name);
        appendJsonString(text, value);
    }
    void number(const char *name, double value)
    {
        key(name);
        appendJsonNumber(text, value);
    }
    void pair(const char *name, qint64 a, qint64 b)
    {
        key(name);
        open('[');
        element();
        appendJsonNumber(text, double(a));
        element();
        appendJsonNumber(text, double(b));
        close(']');
    }

private:
    int m_level = 0;
    std::vector<bool> m_first;
};

} // namespace

ProjectModel::ProjectModel()
{
    m_root = make(AEGP_ItemType_FOLDER, QStringLiteral("Root"), nullptr);
    m_dirty = false;
}

ProjectModel::~ProjectModel() = default;
ProjectModel::ProjectModel(ProjectModel &&) noexcept = default;
ProjectModel &ProjectModel::operator=(ProjectModel &&) noexcept = default;

void ProjectModel::touch()
{
    m_walkValid = false;
    m_dirty = true;
}

ProjectItem *ProjectModel::make(A_short type, const QString &name, ProjectItem *parent, int id)
{
    auto item = std::make_unique<ProjectItem>();
    item->id = id > 0 ? id : m_nextId;
    m_nextId = std::max(m_nextId, item->id + 1);
    item->type = type;
    item->name = name;
    item->parent = parent;
    item->inProject = true;
    if (parent)
        parent->children.push_back(item.get());
    ProjectItem *raw = item.get();
    m_byId[raw->id] = raw;
    m_items.emplace(raw, std::move(item));
    touch();
    return raw;
}

const std::vector<ProjectItem *> &ProjectModel::items() const
{
    if (m_walkValid)
        return m_walk;
    m_walk.clear();
    m_walkIndex.clear();
    std::function<void(const ProjectItem *)> walk = [&](const ProjectItem *folder) {
        for (ProjectItem *child : folder->children) {
            m_walkIndex[child] = m_walk.size();
            m_walk.push_back(child);
            walk(child);
        }
    };
    walk(m_root);
    m_walkValid = true;
    return m_walk;
}

ProjectItem *ProjectModel::nextInWalk(const ProjectItem *item) const
{
    const std::vector<ProjectItem *> &all = items();
    if (item == m_root)
        return all.empty() ? nullptr : all.front();
    auto it = m_walkIndex.find(item);
    if (it == m_walkIndex.end() || it->second + 1 >= all.size())
        return nullptr;
    return all[it->second + 1];
}

ProjectItem *ProjectModel::findById(int id) const
{
    auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : it->second;
}

bool ProjectModel::owns(const void *item) const
{
    return m_items.count(static_cast<const ProjectItem *>(item)) > 0;
}

bool ProjectModel::ownsLayer(const void *layer) const
{
    return m_layers.count(static_cast<const ProjectLayer *>(layer)) > 0;
}

ProjectItem *ProjectModel::addFolder(const QString &name, ProjectItem *parent)
{
    return make(AEGP_ItemType_FOLDER, name, parent ? parent : m_root);
}

ProjectItem *ProjectModel::addComp(const QString &name, ProjectItem *parent, A_long width,
                                   A_long height, A_Ratio pixelAspect, A_Time duration,
                                   A_Ratio frameRate)
{
    ProjectItem *c = make(AEGP_ItemType_COMP, name, parent ? parent : m_root);
    c->width = width;
    c->height = height;
    c->pixelAspect = pixelAspect;
    c->duration = duration;
    c->frameRate = frameRate;
    return c;
}

ProjectItem *ProjectModel::newFootage(const QString &path, bool sequence, bool forceAlphabetical,
                                      QString *error, QString *note, FolderListings *listings)
{
    const FootageScan scan = scanFootage(path, sequence, forceAlphabetical, listings);
    if (!scan.ok) {
        *error = scan.error;
        return nullptr;
    }
    // A loose item: not in the tree, so the project does not change until it is added.
    auto item = std::make_unique<ProjectItem>();
    item->id = m_nextId++;
    item->type = AEGP_ItemType_FOOTAGE;
    item->kind = scan.kind;
    item->name = scan.name;
    item->files = scan.files;
    item->nativeDuration = scan.nativeDuration;
    if (scan.missingFrames > 0)
        *note = QStringLiteral("%1: %2 missing frame(s) replaced by placeholders")
                    .arg(scan.name)
                    .arg(scan.missingFrames);
    ProjectItem *raw = item.get();
    m_byId[raw->id] = raw;
    m_items.emplace(raw, std::move(item));
    return raw;
}

bool ProjectModel::adoptFootage(ProjectItem *footage, ProjectItem *folder)
{
    if (!footage || !owns(footage) || footage->inProject || footage->type != AEGP_ItemType_FOOTAGE)
        return false;
    footage->parent = folder ? folder : m_root;
    footage->parent->children.push_back(footage);
    footage->inProject = true;
    touch();
    return true;
}

void ProjectModel::forget(ProjectItem *item)
{
    for (const auto &layer : item->layers)
        m_layers.erase(layer.get());
    if (m_active == item)
        m_active = nullptr;
    m_byId.erase(item->id);
    m_items.erase(item);
}

void ProjectModel::disposeFootage(ProjectItem *footage)
{
    if (!footage || !owns(footage) || footage->inProject)
        return;
    forget(footage);
}

bool ProjectModel::removeItem(ProjectItem *item)
{
    if (!item || item == m_root || !owns(item) || !item->inProject)
        return false;
    std::unordered_set<const ProjectItem *> doomed;
    std::function<void(ProjectItem *)> collect = [&](ProjectItem *i) {
        doomed.insert(i);
        for (ProjectItem *c : i->children)
            collect(c);
    };
    collect(item);
    // Layers showing a deleted item go with it, in whatever composition they are.
    for (auto &entry : m_items) {
        auto &layers = entry.second->layers;
        for (auto it = layers.begin(); it != layers.end();) {
            if (doomed.count((*it)->source)) {
                m_layers.erase(it->get());
                it = layers.erase(it);
            } else {
                ++it;
            }
        }
    }
    auto &siblings = item->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    for (const ProjectItem *i : doomed)
        forget(const_cast<ProjectItem *>(i));
    touch();
    return true;
}

bool ProjectModel::moveItem(ProjectItem *item, ProjectItem *folder)
{
    if (!item || !folder || item == m_root || !owns(item) || !owns(folder) || !item->inProject ||
        !folder->inProject || folder->type != AEGP_ItemType_FOLDER)
        return false;
    for (const ProjectItem *f = folder; f; f = f->parent)
        if (f == item)
            return false;
    if (item->parent == folder)
        return true;
    auto &siblings = item->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    item->parent = folder;
    folder->children.push_back(item);
    touch();
    return true;
}

bool ProjectModel::contains(const ProjectItem *comp, const ProjectItem *inner) const
{
    if (comp == inner)
        return true;
    for (const auto &l : comp->layers)
        if (l->source && l->source->type == AEGP_ItemType_COMP && contains(l->source, inner))
            return true;
    return false;
}

bool ProjectModel::canAddLayer(ProjectItem *source, ProjectItem *comp) const
{
    if (!source || !comp || !owns(source) || !owns(comp) || comp->type != AEGP_ItemType_COMP ||
        !source->inProject)
        return false;
    if (source->type == AEGP_ItemType_FOOTAGE)
        return true;
    // A composition cannot go into itself or into one it contains.
    return source->type == AEGP_ItemType_COMP && !contains(source, comp);
}

ProjectLayer *ProjectModel::addLayer(ProjectItem *comp, ProjectItem *source)
{
    if (!canAddLayer(source, comp))
        return nullptr;
    auto layer = std::make_unique<ProjectLayer>();
    layer->name = source->name;
    layer->source = source;
    layer->comp = comp;
    m_layers.insert(layer.get());
    comp->layers.insert(comp->layers.begin(), std::move(layer));
    m_dirty = true;
    return comp->layers.front().get();
}

ProjectItem *ProjectModel::precompose(ProjectItem *comp, std::vector<int> indices,
                                      const QString &name)
{
    if (!comp || !owns(comp) || comp->type != AEGP_ItemType_COMP || indices.empty())
        return nullptr;
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    if (indices.front() < 0 || indices.back() >= int(comp->layers.size()))
        return nullptr;
    // The new composition sits beside the original one and copies its settings.
    ProjectItem *inner = addComp(name, comp->parent, comp->width, comp->height, comp->pixelAspect,
                                 comp->duration, comp->frameRate);
    const int top = indices.front();
    for (auto k = indices.rbegin(); k != indices.rend(); ++k) {
        auto moved = std::move(comp->layers[size_t(*k)]);
        comp->layers.erase(comp->layers.begin() + *k);
        moved->comp = inner;
        inner->layers.insert(inner->layers.begin(), std::move(moved));
    }
    auto layer = std::make_unique<ProjectLayer>();
    layer->name = name;
    layer->source = inner;
    layer->comp = comp;
    m_layers.insert(layer.get());
    comp->layers.insert(comp->layers.begin() + top, std::move(layer));
    m_dirty = true;
    return inner;
}

A_Time ProjectModel::itemDuration(const ProjectItem *item)
{
    if (item->type == AEGP_ItemType_COMP)
        return item->duration;
    if (item->type != AEGP_ItemType_FOOTAGE || item->kind == QLatin1String("still"))
        return A_Time{0, 1};
    if (item->kind == QLatin1String("sequence")) {
        const A_long frames = A_long(item->files.size());
        if (item->conformFps <= 0)
            return A_Time{0, 1};
        if (item->conformFps == std::floor(item->conformFps))
            return A_Time{frames, A_u_long(item->conformFps)};
        // Rates like 29.97 kept exact in thousandths of a frame per second.
        return A_Time{frames * 1000, A_u_long(std::lround(item->conformFps * 1000))};
    }
    return item->nativeDuration;
}

QJsonObject ProjectModel::toJson() const
{
    const QDir projectDir = QFileInfo(m_path).absoluteDir();
    QJsonArray list;
    std::vector<const ProjectItem *> all{m_root};
    for (const ProjectItem *i : items())
        all.push_back(i);
    for (const ProjectItem *i : all) {
        QJsonObject o;
        o["id"] = i->id;
        o["type"] = typeText(i->type);
        o["name"] = i->name;
        o["parent"] = i->parent ? QJsonValue(i->parent->id) : QJsonValue();
        if (i->type == AEGP_ItemType_COMP) {
            o["width"] = int(i->width);
            o["height"] = int(i->height);
            o["pixelAspect"] = pair(i->pixelAspect.num, i->pixelAspect.den);
            o["duration"] = pair(i->duration.value, i->duration.scale);
            o["frameRate"] = pair(i->frameRate.num, i->frameRate.den);
            QJsonArray layers;
            for (const auto &l : i->layers)
                layers.append(QJsonObject{{"name", l->name}, {"source", l->source->id}});
            o["layers"] = layers;
        } else if (i->type == AEGP_ItemType_FOOTAGE) {
            o["kind"] = i->kind;
            o["files"] = QJsonArray::fromStringList(i->files);
            if (!m_path.isEmpty())
                o["relativeFiles"] = QJsonArray::fromStringList(relativeFiles(i, projectDir));
            o["conformFps"] = i->conformFps;
            const A_Time d = itemDuration(i);
            o["duration"] = pair(d.value, d.scale);
        }
        list.append(o);
    }
    return QJsonObject{{"format", kFormat},
                       {"version", kFormatVersion},
                       {"path", m_path},
                       {"dirty", m_dirty},
                       {"items", list}};
}

QByteArray ProjectModel::toJsonText(bool dirty) const
{
    std::vector<const ProjectItem *> all{m_root};
    for (const ProjectItem *i : items())
        all.push_back(i);
    const QDir projectDir = QFileInfo(m_path).absoluteDir();
    JsonText json;
    json.text.reserve(4096 + int(all.size()) * 256);
    json.open('{');
    json.key("dirty");
    json.text += dirty ? "true" : "false";
    json.string("format", QLatin1String(kFormat));
    json.key("items");
    json.open('[');
    for (const ProjectItem *i : all) {
        json.element();
        json.open('{');
        if (i->type == AEGP_ItemType_FOOTAGE) {
            json.number("conformFps", i->conformFps);
            const A_Time d = itemDuration(i);
            json.pair("duration", d.value, d.scale);
            json.key("files");
            json.open('[');
            for (const QString &file : i->files) {
                json.element();
                appendJsonString(json.text, file);
            }
            json.close(']');
        } else if (i->type == AEGP_ItemType_COMP) {
            json.pair("duration", i->duration.value, i->duration.scale);
            json.pair("frameRate", i->frameRate.num, i->frameRate.den);
            json.number("height", int(i->height));
        }
        json.number("id", i->id);
        if (i->type == AEGP_ItemType_FOOTAGE)
            json.string("kind", i->kind);
        if (i->type == AEGP_ItemType_COMP) {
            json.key("layers");
            json.open('[');
            for (const auto &l : i->layers) {
                json.element();
                json.open('{');
                json.string("name", l->name);
                json.number("source", l->source->id);
                json.close('}');
            }
            json.close(']');
        }
        json.string("name", i->name);
        json.key("parent");
        if (i->parent)
            appendJsonNumber(json.text, i->parent->id);
        else
            json.text += "null";
        if (i->type == AEGP_ItemType_FOOTAGE && !m_path.isEmpty()) {
            json.key("relativeFiles");
            json.open('[');
            for (const QString &file : relativeFiles(i, projectDir)) {
                json.element();
                appendJsonString(json.text, file);
            }
            json.close(']');
        }
        if (i->type == AEGP_ItemType_COMP)
            json.pair("pixelAspect", i->pixelAspect.num, i->pixelAspect.den);
        json.string("type", QLatin1String(typeText(i->type)));
        if (i->type == AEGP_ItemType_COMP)
            json.number("width", int(i->width));
        json.close('}');
    }
    json.close(']');
    json.string("path", m_path);
    json.number("version", kFormatVersion);
    json.close('}');
    json.text += '\n';
    return json.text;
}

bool ProjectModel::fromJson(const QJsonObject &json, QString *error, ProjectItem *under,
                            const QString &fileDir)
{
    // Read into a model of its own first, so that a bad file changes nothing here.
    ProjectModel parsed;
    if (!parsed.build(json, error, nullptr, fileDir))
        return false;
    if (!under) {
        parsed.m_path = json.value("path").toString();
        parsed.m_dirty = false;
        *this = std::move(parsed);
        return true;
    }
    if (!owns(under) || under->type != AEGP_ItemType_FOLDER || !under->inProject) {
        *error = QStringLiteral("The items cannot go there: not a folder of the project");
        return false;
    }
    return build(json, error, under, fileDir);
}

bool ProjectModel::build(const QJsonObject &json, QString *error, ProjectItem *under,
                         const QString &fileDir)
{
    if (json.value("format").toString() != QLatin1String(kFormat)) {
        *error = QStringLiteral("Not a test host project (format \"%1\")")
                     .arg(json.value("format").toString());
        return false;
    }
    if (json.value("version").toInt() != kFormatVersion) {
        *error = QStringLiteral("Unsupported project version %1")
                     .arg(json.value("version").toVariant().toString());
        return false;
    }
    const QJsonArray list = json.value("items").toArray();
    const QJsonObject rootJson = list.isEmpty() ? QJsonObject() : list.first().toObject();
    qint64 rootId = 0;
    if (rootJson.isEmpty() || !rootJson.value("parent").isNull() ||
        rootJson.value("type").toString() != QLatin1String("folder") ||
        !intOf(rootJson.value("id"), &rootId)) {
        *error = QStringLiteral("The project has no root folder");
        return false;
    }
    // A project read where it was saved finds its footage at the saved paths: only a project
    // that moved looks for footage that moved with it.
    const QString savedDir = QFileInfo(json.value("path").toString()).absolutePath();
    const bool moved = !fileDir.isEmpty() && !json.value("path").toString().isEmpty() &&
                       QDir::cleanPath(savedDir) != QDir::cleanPath(fileDir);
    const bool keepIds = !under;
    if (keepIds) {
        m_items.clear();
        m_byId.clear();
        m_layers.clear();
        m_active = nullptr;
        m_nextId = 1;
        m_root = make(AEGP_ItemType_FOLDER, rootJson.value("name").toString(), nullptr,
                      rootId > 0 ? int(rootId) : 0);
    }
    std::unordered_map<qint64, ProjectItem *> byOldId{{rootId, under ? under : m_root}};
    std::vector<std::pair<ProjectItem *, QJsonArray>> pendingLayers;
    auto fail = [error](qint64 id, const QString &why) {
        *error = QStringLiteral("Item %1: %2").arg(id).arg(why);
        return false;
    };
    for (int n = 1; n < list.size(); ++n) {
        const QJsonObject o = list.at(n).toObject();
        qint64 id = 0, parentId = 0;
        if (!intOf(o.value("id"), &id) || id <= 0 || id > 0x7fffffff) {
            *error = QStringLiteral("The item at position %1 has no valid id").arg(n + 1);
            return false;
        }
        if (byOldId.count(id))
            return fail(id, QStringLiteral("the id appears twice"));
        auto parent = intOf(o.value("parent"), &parentId) ? byOldId.find(parentId) : byOldId.end();
        if (parent == byOldId.end() || parent->second->type != AEGP_ItemType_FOLDER)
            return fail(id, QStringLiteral("its parent is not a folder listed before it"));
        const QString type = o.value("type").toString();
        const QString name = o.value("name").toString();
        const int newId = keepIds ? int(id) : 0;
        ProjectItem *item = nullptr;
        if (type == QLatin1String("folder")) {
            item = make(AEGP_ItemType_FOLDER, name, parent->second, newId);
        } else if (type == QLatin1String("comp")) {
            qint64 w = 0, h = 0, paNum = 0, paDen = 0, dv = 0, ds = 0, fNum = 0, fDen = 0;
            if (!intOf(o.value("width"), &w) || !intOf(o.value("height"), &h) || w < 1 || h < 1 ||
                w > kMaxCompSize || h > kMaxCompSize)
                return fail(id,
                            QStringLiteral("width and height must be 1 to %1").arg(kMaxCompSize));
            if (!pairOf(o.value("pixelAspect"), &paNum, &paDen) || paNum <= 0 || paDen <= 0 ||
                !pairOf(o.value("duration"), &dv, &ds) || dv <= 0 || ds <= 0 ||
                !pairOf(o.value("frameRate"), &fNum, &fDen) || fNum <= 0 || fDen <= 0 ||
                paNum > 0x7fffffff || dv > 0x7fffffff || fNum > 0x7fffffff)
                return fail(id, QStringLiteral("pixelAspect, duration and frameRate must be "
                                               "pairs of positive whole numbers"));
            if (!o.value("layers").isArray())
                return fail(id, QStringLiteral("a composition needs a list of layers"));
            item = make(AEGP_ItemType_COMP, name, parent->second, newId);
            item->width = A_long(w);
            item->height = A_long(h);
            item->pixelAspect = A_Ratio{A_long(paNum), A_u_long(paDen)};
            item->duration = A_Time{A_long(dv), A_u_long(ds)};
            item->frameRate = A_Ratio{A_long(fNum), A_u_long(fDen)};
            pendingLayers.emplace_back(item, o.value("layers").toArray());
        } else if (type == QLatin1String("footage")) {
            const QString kind = o.value("kind").toString();
            const QJsonArray files = o.value("files").toArray();
            qint64 dv = 0, ds = 0;
            const double fps = o.value("conformFps").toDouble(-1);
            if (!isKind(kind))
                return fail(id, QStringLiteral("unknown footage kind \"%1\"").arg(kind));
            QStringList paths;
            paths.reserve(files.size());
            for (const QJsonValue &f : files) {
                if (!f.isString())
                    break;
                paths << f.toString();
            }
            if (!o.value("files").isArray() || paths.size() != files.size())
                return fail(id, QStringLiteral("files must be a list of paths"));
            if (moved)
                findMovedFiles(paths, o.value("relativeFiles"), QDir(fileDir));
            if (!(fps > 0 && fps <= 1000) || !pairOf(o.value("duration"), &dv, &ds) || dv < 0 ||
                ds <= 0 || dv > 0x7fffffff)
                return fail(id, QStringLiteral("conformFps and duration are not valid"));
            item = make(AEGP_ItemType_FOOTAGE, name, parent->second, newId);
            item->kind = kind;
            item->files = paths;
            item->conformFps = fps;
            item->nativeDuration = A_Time{A_long(dv), A_u_long(ds)};
        } else {
            return fail(id, QStringLiteral("unknown item type \"%1\"").arg(type));
        }
        byOldId[id] = item;
    }
    for (auto &[comp, layers] : pendingLayers) {
        for (const QJsonValue &v : layers) {
            qint64 sourceId = 0;
            auto source = intOf(v.toObject().value("source"), &sourceId) ? byOldId.find(sourceId)
                                                                         : byOldId.end();
            if (source == byOldId.end() || source->second->type == AEGP_ItemType_FOLDER)
                return fail(
                    comp->id,
                    QStringLiteral("a layer shows no composition or footage of the project"));
            if (contains(source->second, comp))
                return fail(comp->id,
                            QStringLiteral("a layer would put the composition inside itself"));
            auto layer = std::make_unique<ProjectLayer>();
            layer->name = v.toObject().value("name").toString();
            layer->source = source->second;
            layer->comp = comp;
            m_layers.insert(layer.get());
            comp->layers.push_back(std::move(layer));
        }
    }
    touch();
    return true;
}
