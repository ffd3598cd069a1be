#pragma once

#include "host/aegp.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class FolderListings;

struct ProjectItem;

// One layer of a composition: its name and the item it shows.
struct ProjectLayer
{
    QString name;
    ProjectItem *source = nullptr;
    ProjectItem *comp = nullptr; // the composition holding the layer
};

// A folder, a composition or a footage item of the open project.
struct ProjectItem
{
    int id = 0;
    A_short type = AEGP_ItemType_FOLDER;
    QString name;
    ProjectItem *parent = nullptr;
    bool inProject = false;              // footage made by NewFootage is loose until added
    std::vector<ProjectItem *> children; // folders only, creation order
    // Compositions.
    A_long width = 0, height = 0;
    A_Ratio pixelAspect{1, 1};
    A_Time duration{0, 1};
    A_Ratio frameRate{30, 1};
    std::vector<std::unique_ptr<ProjectLayer>> layers; // top first
    // Footage.
    QString kind;      // "sequence", "still", "movie", "sound"
    QStringList files; // a sequence: one per frame, an empty text for a missing frame
    double conformFps = 30.0;
    A_Time nativeDuration{0, 1}; // movies and sounds
};

// The open project: a tree of items under a root folder, the dirty flag and the file path.
//
// The walk order (items(), nextInWalk()) is depth first, children in creation order, without
// the root: a project holding folder "Shots" (with comp "A00") and then footage "BG.png"
// walks Shots, A00, BG.png. Every change of the tree marks the project dirty.
class ProjectModel
{
public:
    ProjectModel();
    ~ProjectModel();
    ProjectModel(ProjectModel &&) noexcept;
    ProjectModel &operator=(ProjectModel &&) noexcept;

    ProjectItem *root() const { return m_root; }
    const std::vector<ProjectItem *> &items() const;
    // The item after `item` in the walk; the first item after the root; null after the last.
    ProjectItem *nextInWalk(const ProjectItem *item) const;
    ProjectItem *findById(int id) const;
    bool owns(const void *item) const;
    bool ownsLayer(const void *layer) const;

    ProjectItem *addFolder(const QString &name, ProjectItem *parent);
    ProjectItem *addComp(const QString &name, ProjectItem *parent, A_long width, A_long height,
                         A_Ratio pixelAspect, A_Time duration, A_Ratio frameRate);
    // Makes a loose footage item (not in the project yet). Null with *error on failure; *note
    // tells about missing frames of a sequence. `listings`: the folder listings of a run.
    ProjectItem *newFootage(const QString &path, bool sequence, bool forceAlphabetical,
                            QString *error, QString *note, FolderListings *listings = nullptr);
    bool adoptFootage(ProjectItem *footage, ProjectItem *folder);
    void disposeFootage(ProjectItem *footage);
    ProjectLayer *addLayer(ProjectItem *comp, ProjectItem *source);
    // Moves the given layers (0-based, any order) into a new composition; null if invalid.
    ProjectItem *precompose(ProjectItem *comp, std::vector<int> indices, const QString &name);
    bool canAddLayer(ProjectItem *source, ProjectItem *comp) const;
    // Deletes an item of the project (a folder with its contents) and every layer showing a
    // deleted item. The root folder cannot be deleted.
    bool removeItem(ProjectItem *item);
    // Puts an item of the project into another folder (at its end); a folder cannot go into
    // itself or into a folder it holds.
    bool moveItem(ProjectItem *item, ProjectItem *folder);
    static A_Time itemDuration(const ProjectItem *item);

    // The composition in front: the last one made by AEGP_CreateComp or items.addComp.
    ProjectItem *active() const { return m_active; }
    void setActive(ProjectItem *comp) { m_active = comp; }

    bool dirty() const { return m_dirty; }
    void setDirty(bool dirty = true) { m_dirty = dirty; }
    QString path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    QJsonObject toJson() const;
    // The text of the project file: QJsonDocument(toJson()).toJson() byte for byte, with
    // `dirty` as given, written directly (a project of 20,000 frame paths saves ten times
    // faster than through QJsonDocument).
    QByteArray toJsonText(bool dirty) const;
    // Reads a project (replacing this one, keeping the saved ids) or appends its items under
    // the folder `under` (with new ids). Nothing changes when the text is not a valid project.
    // `fileDir`: the folder the project file was read from. When it is not where the project
    // was saved, footage missing at its saved path is looked for at its path relative to the
    // project ("relativeFiles"), as the real host finds footage that moved with its project.
    bool fromJson(const QJsonObject &json, QString *error, ProjectItem *under = nullptr,
                  const QString &fileDir = QString());

private:
    ProjectItem *make(A_short type, const QString &name, ProjectItem *parent, int id = 0);
    void forget(ProjectItem *item);
    bool contains(const ProjectItem *comp, const ProjectItem *inner) const;
    bool build(const QJsonObject &json, QString *error, ProjectItem *under, const QString &fileDir);
    void touch();

    std::unordered_map<const ProjectItem *, std::unique_ptr<ProjectItem>> m_items;
    std::unordered_map<int, ProjectItem *> m_byId;
    std::unordered_set<const ProjectLayer *> m_layers;
    ProjectItem *m_root = nullptr;
    ProjectItem *m_active = nullptr;
    int m_nextId = 1;
    bool m_dirty = false;
    QString m_path;

    // The walk, rebuilt on first use after a change of the tree.
    mutable std::vector<ProjectItem *> m_walk;
    mutable std::unordered_map<const ProjectItem *, size_t> m_walkIndex;
    mutable bool m_walkValid = false;
};
