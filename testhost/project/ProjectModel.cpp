#include "testhost/project/ProjectModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <functional>
#include <map>

namespace {

const char *const kFormat = "cellkit-testhost-project";
const int kFormatVersion = 1;

QString kindForSuffix(const QString &suffix)
{
    const QString s = suffix.toLower();
    if (s == QLatin1String("swf") || s == QLatin1String("mov") || s == QLatin1String("mp4"))
        return QStringLiteral("movie");
    if (s == QLatin1String("wav") || s == QLatin1String("mp3") || s == QLatin1String("aif"))
        return QStringLiteral("sound");
    return QStringLiteral("still");
}

// Walks the boxes of a QuickTime/MP4 file for "mvhd" (inside "moov") and reads its
// time scale and duration. Version 0 stores 32-bit fields, version 1 64-bit ones.
bool movieDuration(const QByteArray &data, int from, int to, A_Time *out)
{
    int pos = from;
    while (pos + 8 <= to) {
        quint32 size = qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(data.constData() + pos));
        const QByteArray type = data.mid(pos + 4, 4);
        if (size < 8 || pos + int(size) > to)
            return false;
        if (type == "moov" && movieDuration(data, pos + 8, pos + int(size), out))
            return true;
        if (type == "mvhd" && size >= 32) {
            const uchar *p = reinterpret_cast<const uchar *>(data.constData() + pos + 8);
            quint32 scale;
            quint64 duration;
            if (p[0] == 1 && size >= 44) {
                scale = qFromBigEndian<quint32>(p + 20);
                duration = qFromBigEndian<quint64>(p + 24);
            } else {
                scale = qFromBigEndian<quint32>(p + 12);
                duration = qFromBigEndian<quint32>(p + 16);
            }
            if (scale == 0 || duration > 0x7fffffffULL)
                return false;
            *out = A_Time{A_long(duration), scale};
            return true;
        }
        pos += int(size);
    }
    return false;
}

// A RIFF/WAVE header: the "fmt " chunk's byte rate and the "data" chunk's size.
bool waveDuration(const QByteArray &data, A_Time *out)
{
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return false;
    quint32 byteRate = 0;
    int pos = 12;
    while (pos + 8 <= data.size()) {
        const QByteArray id = data.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(data.constData() + pos + 4));
        if (id == "fmt " && size >= 12 && pos + 20 <= data.size())
            byteRate = qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(data.constData() + pos + 16));
        if (id == "data" && byteRate > 0) {
            *out = A_Time{A_long(qint64(size) * 1000 / byteRate), 1000};
            return true;
        }
        pos += 8 + int(size) + int(size & 1);
    }
    return false;
}

A_Time nativeDurationOf(const QString &path, const QString &kind)
{
    A_Time t{1, 1}; // one second when the header cannot be read
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return t;
    const QByteArray data = f.read(4 * 1024 * 1024);
    if (kind == QLatin1String("movie"))
        movieDuration(data, 0, data.size(), &t);
    else if (path.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
        waveDuration(data, &t);
    return t;
}

// "shot_0012.PNG" -> prefix "shot_", digits "0012", extension "png".
struct FramePattern
{
    QString prefix;
    QString digits;
    QString suffix;
    bool valid = false;
};

FramePattern patternOf(const QString &fileName)
{
    static const QRegularExpression re(QStringLiteral("^(.*?)(\\d+)(\\.[^.]*)?$"));
    FramePattern p;
    const auto m = re.match(fileName);
    if (!m.hasMatch())
        return p;
    p.prefix = m.captured(1);
    p.digits = m.captured(2);
    p.suffix = m.captured(3);
    p.valid = true;
    return p;
}

bool samePattern(const FramePattern &a, const FramePattern &b)
{
    return b.valid && a.prefix.compare(b.prefix, Qt::CaseInsensitive) == 0
        && a.suffix.compare(b.suffix, Qt::CaseInsensitive) == 0
        && a.digits.size() == b.digits.size();
}

QJsonArray pair(qint64 a, qint64 b) { return QJsonArray{double(a), double(b)}; }

} // namespace

ProjectModel::ProjectModel()
{
    m_root = make(AEGP_ItemType_FOLDER, QStringLiteral("Root"), nullptr);
}

ProjectModel::~ProjectModel() = default;

ProjectItem *ProjectModel::make(A_short type, const QString &name, ProjectItem *parent)
{
    auto item = std::make_unique<ProjectItem>();
    item->id = m_nextId++;
    item->type = type;
    item->name = name;
    item->parent = parent;
    item->inProject = true;
    if (parent)
        parent->children.push_back(item.get());
    m_all.push_back(std::move(item));
    m_dirty = true;
    return m_all.back().get();
}

std::vector<ProjectItem *> ProjectModel::items() const
{
    std::vector<ProjectItem *> out;
    std::function<void(ProjectItem *)> walk = [&](ProjectItem *folder) {
        for (ProjectItem *child : folder->children) {
            out.push_back(child);
            walk(child);
        }
    };
    walk(m_root);
    return out;
}

ProjectItem *ProjectModel::findById(int id) const
{
    for (const auto &item : m_all)
        if (item->id == id)
            return item.get();
    return nullptr;
}

bool ProjectModel::owns(const void *item) const
{
    for (const auto &i : m_all)
        if (i.get() == item)
            return true;
    return false;
}

bool ProjectModel::ownsLayer(const void *layer) const
{
    for (const auto &i : m_all)
        for (const auto &l : i->layers)
            if (l.get() == layer)
                return true;
    return false;
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
    m_active = c;
    return c;
}

ProjectItem *ProjectModel::newFootage(const QString &path, bool sequence, bool forceAlphabetical,
                                      QString *error, QString *note)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        *error = QStringLiteral("File not found: %1").arg(path);
        return nullptr;
    }
    auto item = std::make_unique<ProjectItem>();
    item->id = m_nextId++;
    item->type = AEGP_ItemType_FOOTAGE;
    item->kind = kindForSuffix(info.suffix());
    item->name = info.fileName();
    item->files = QStringList{info.absoluteFilePath()};
    const FramePattern mine = patternOf(info.fileName());
    if (sequence && item->kind == QLatin1String("still") && mine.valid) {
        std::map<qint64, QString> frames;
        QStringList byName;
        const QDir dir = info.absoluteDir();
        for (const QFileInfo &f : dir.entryInfoList(QDir::Files, QDir::Name)) {
            const FramePattern p = patternOf(f.fileName());
            if (!samePattern(mine, p))
                continue;
            frames[p.digits.toLongLong()] = f.absoluteFilePath();
            byName << f.absoluteFilePath();
        }
        if (frames.size() > 1 || forceAlphabetical) {
            const qint64 first = frames.begin()->first;
            const qint64 last = frames.rbegin()->first;
            QStringList files;
            if (forceAlphabetical) {
                files = byName;
            } else {
                int missing = 0;
                for (qint64 n = first; n <= last; ++n) {
                    auto it = frames.find(n);
                    files << (it == frames.end() ? QString() : it->second);
                    missing += it == frames.end();
                }
                if (missing > 0)
                    *note = QStringLiteral("%1: %2 missing frame(s) replaced by placeholders")
                                .arg(info.fileName()).arg(missing);
            }
            const int width = mine.digits.size();
            item->kind = QStringLiteral("sequence");
            item->files = files;
            item->name = QStringLiteral("%1[%2-%3]%4")
                             .arg(mine.prefix)
                             .arg(first, width, 10, QLatin1Char('0'))
                             .arg(last, width, 10, QLatin1Char('0'))
                             .arg(mine.suffix);
        }
    }
    if (item->kind == QLatin1String("movie") || item->kind == QLatin1String("sound"))
        item->nativeDuration = nativeDurationOf(info.absoluteFilePath(), item->kind);
    m_all.push_back(std::move(item));
    return m_all.back().get();
}

bool ProjectModel::adoptFootage(ProjectItem *footage, ProjectItem *folder)
{
    if (!footage || footage->inProject || footage->type != AEGP_ItemType_FOOTAGE)
        return false;
    footage->parent = folder ? folder : m_root;
    footage->parent->children.push_back(footage);
    footage->inProject = true;
    m_dirty = true;
    return true;
}

void ProjectModel::disposeFootage(ProjectItem *footage)
{
    if (!footage || footage->inProject)
        return;
    m_all.erase(std::remove_if(m_all.begin(), m_all.end(),
                               [&](const auto &p) { return p.get() == footage; }),
                m_all.end());
}

bool ProjectModel::contains(ProjectItem *comp, ProjectItem *inner) const
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
    if (!source || !comp || comp->type != AEGP_ItemType_COMP || !source->inProject)
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
    comp->layers.insert(comp->layers.begin(), std::move(layer));
    m_dirty = true;
    return comp->layers.front().get();
}

ProjectItem *ProjectModel::precompose(ProjectItem *comp, std::vector<int> indices,
                                      const QString &name)
{
    if (!comp || comp->type != AEGP_ItemType_COMP || indices.empty())
        return nullptr;
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    if (indices.front() < 0 || indices.back() >= int(comp->layers.size()))
        return nullptr;
    ProjectItem *inner = addComp(name, comp->parent, comp->width, comp->height, comp->pixelAspect,
                                 comp->duration, comp->frameRate);
    const int top = indices.front();
    for (int k = int(indices.size()) - 1; k >= 0; --k) {
        auto moved = std::move(comp->layers[size_t(indices[size_t(k)])]);
        comp->layers.erase(comp->layers.begin() + indices[size_t(k)]);
        moved->comp = inner;
        inner->layers.insert(inner->layers.begin(), std::move(moved));
    }
    auto layer = std::make_unique<ProjectLayer>();
    layer->name = name;
    layer->source = inner;
    layer->comp = comp;
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
        // frames / fps, kept exact for rates given in thousandths.
        const qint64 scale = qint64(item->conformFps * 1000 + 0.5);
        if (scale <= 0)
            return A_Time{0, 1};
        return A_Time{A_long(qint64(item->files.size()) * 1000), A_u_long(scale)};
    }
    return item->nativeDuration;
}

QJsonObject ProjectModel::toJson() const
{
    QJsonArray list;
    std::vector<ProjectItem *> all{m_root};
    for (ProjectItem *i : items())
        all.push_back(i);
    for (ProjectItem *i : all) {
        QJsonObject o;
        o["id"] = i->id;
        o["type"] = i->type == AEGP_ItemType_COMP ? "comp"
                    : i->type == AEGP_ItemType_FOOTAGE ? "footage" : "folder";
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

bool ProjectModel::fromJson(const QJsonObject &json, QString *error, ProjectItem *under)
{
    if (json.value("format").toString() != QLatin1String(kFormat)) {
        *error = QStringLiteral("Not a test host project (format \"%1\")")
                     .arg(json.value("format").toString());
        return false;
    }
    if (json.value("version").toInt() != kFormatVersion) {
        *error = QStringLiteral("Unsupported project version %1").arg(json.value("version").toInt());
        return false;
    }
    const QJsonArray list = json.value("items").toArray();
    if (list.isEmpty() || !list.first().toObject().value("parent").isNull()) {
        *error = QStringLiteral("The project has no root folder");
        return false;
    }
    if (!under) {
        m_all.clear();
        m_active = nullptr;
        m_nextId = 1;
        m_root = make(AEGP_ItemType_FOLDER, list.first().toObject().value("name").toString(), nullptr);
    }
    std::map<int, ProjectItem *> byOldId;
    byOldId[list.first().toObject().value("id").toInt()] = under ? under : m_root;
    std::vector<std::pair<ProjectItem *, QJsonArray>> pendingLayers;
    for (int n = 1; n < list.size(); ++n) {
        const QJsonObject o = list.at(n).toObject();
        auto parent = byOldId.find(o.value("parent").toInt());
        if (parent == byOldId.end()) {
            *error = QStringLiteral("Item %1 names an unknown parent").arg(o.value("id").toInt());
            return false;
        }
        const QString type = o.value("type").toString();
        const QString name = o.value("name").toString();
        ProjectItem *item = nullptr;
        if (type == QLatin1String("folder")) {
            item = addFolder(name, parent->second);
        } else if (type == QLatin1String("comp")) {
            const QJsonArray pa = o.value("pixelAspect").toArray();
            const QJsonArray du = o.value("duration").toArray();
            const QJsonArray fr = o.value("frameRate").toArray();
            item = addComp(name, parent->second, o.value("width").toInt(), o.value("height").toInt(),
                           A_Ratio{pa.at(0).toInt(1), A_u_long(pa.at(1).toInt(1))},
                           A_Time{du.at(0).toInt(), A_u_long(du.at(1).toInt(1))},
                           A_Ratio{fr.at(0).toInt(30), A_u_long(fr.at(1).toInt(1))});
            pendingLayers.emplace_back(item, o.value("layers").toArray());
        } else if (type == QLatin1String("footage")) {
            item = make(AEGP_ItemType_FOOTAGE, name, parent->second);
            item->kind = o.value("kind").toString();
            for (const QJsonValue &f : o.value("files").toArray())
                item->files << f.toString();
            item->conformFps = o.value("conformFps").toDouble(30);
            const QJsonArray du = o.value("duration").toArray();
            item->nativeDuration = A_Time{du.at(0).toInt(), A_u_long(du.at(1).toInt(1))};
        } else {
            *error = QStringLiteral("Unknown item type \"%1\"").arg(type);
            return false;
        }
        byOldId[o.value("id").toInt()] = item;
    }
    for (auto &[comp, layers] : pendingLayers) {
        for (const QJsonValue &v : layers) {
            auto source = byOldId.find(v.toObject().value("source").toInt());
            if (source == byOldId.end())
                continue;
            auto layer = std::make_unique<ProjectLayer>();
            layer->name = v.toObject().value("name").toString();
            layer->source = source->second;
            layer->comp = comp;
            comp->layers.push_back(std::move(layer));
        }
    }
    if (!under) {
        m_path = json.value("path").toString();
        m_dirty = false;
    }
    return true;
}
