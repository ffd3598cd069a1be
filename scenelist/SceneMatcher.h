#pragma once
// The matching rules: how a scene list value, through a row of the Assets Matching Table,
// becomes scenes and elements of the scene tree, and how the files a table row attaches to a
// scene are found for the scene import.
//
// Example: table row 0 is Scene (%a) from list column A, row 1 is Asset from column B with
// Crop "6:" and Ext "png psd". The list row {"010", "sc010_BG"} is dispatched as
// addSceneItem(0, "010", ...) then addTreeElm(1, "sc010_BG"); the asset is searched as
// "BG.png" (crop, then the first extension) and becomes one element of scene "010": found
// (Fok "1", its path in "Full Path Name") or missing (Fok "0", columns 0 and 3 red).
//
// The matcher reads one options snapshot and works on the library index, the code table, the
// asset query and the tree it is given (none owned). Questions to the user go through Prompts,
// log lines through appendLog.
#include "import/CreateSceneSource.h"
#include "scenelist/SceneListOptions.h"
#include "scenelist/SceneTree.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

class AssetQuery;
class CodeConversionTable;
class LibraryIndex;
class LoadProgress;
class QWidget;

class SceneMatcher
{
public:
    SceneMatcher(const SceneListOptions &options, LibraryIndex &library, CodeConversionTable &codes,
                 AssetQuery &query, SceneTree &tree);
    void setDialogParent(QWidget *parent) { m_dialogParent = parent; }

    const SceneListOptions &options() const { return m_options; }
    const MatchingTable &table() const { return m_options.table; }
    SceneTree &tree() { return m_tree; }

    // Appends a scene. tableRow is the Scene row of the table, or -1 when the name comes from
    // a file or folder name.
    void addSceneItem(int tableRow, const QString &value, bool ok, const QString &statusText);
    // Adds the elements of one table row for one list cell to the last scene; false (after the
    // "addTreeElm" warning box) only when there is no scene yet.
    bool addTreeElm(int tableRow, const QString &cellText);
    // The file name searched on disk for an asset; empty for types not searched on disk.
    QString buildFileName(int tableRow, const QString &assetName) const;
    // A member of the row's Options (JSON members without braces); null when absent or when
    // the Options do not parse ("-ERR- Json Error" logged).
    QJsonValue optionValue(int tableRow, const QString &key) const;
    QString optionText(int tableRow, const QString &key) const;
    // The scene's status for the chosen target; false marks the scene red.
    bool sceneStatus(const QString &sceneName, QString *statusText) const;

    // The row dispatch of a tabular list: rows of cells from startRow on, each cell through
    // the table rows of its column; then resolveDuplicateAssets. False when an element came
    // before the first scene (the dispatch stopped there); a cancel keeps what was built.
    bool dispatchRows(const QList<QStringList> &rows, int startRow, LoadProgress *progress);
    // Within each scene, of two Asset elements of the same name one found and one not, only
    // the found one stays; then each scene is red exactly when one of its elements has Fok 0.
    void resolveDuplicateAssets();

    // The files of the active SceneName rows for a scene: mode 1 the Top rows, -1 (any other
    // non-zero) the others, 0 all; each as [path, layer folder].
    QVector<TableFile> GetFileToImportFromTable(const QString &sceneName, int mode);

    // The library index, or the asset query when shotgun is set.
    bool findFiles(const QString &name, QStringList *results, bool shotgun,
                   const QString &fishParam);
    bool findFolders(const QString &name, QStringList *results, bool shotgun,
                     const QString &fishParam);

private:
    QString sceneNameFor(int tableRow, const QString &value) const;
    QStringList assetNames(const QString &cellText) const;
    SceneTreeRow informationElement(int tableRow, const QString &name) const;
    void addSearchedElements(int tableRow, const QString &name, SceneTreeScene &scene);
    void addFileElement(const SceneTreeRow &info, const QString &path, SceneTreeScene &scene);
    void addFolderElements(int tableRow, const SceneTreeRow &info, const QString &folder,
                           SceneTreeScene &scene);
    void addCodeElement(int tableRow, const QString &name, SceneTreeScene &scene);
    QStringList folderFiles(int tableRow, const QString &folder) const;

    // What a table row gives every element it makes, worked out once per load: its
    // information element (with an empty name), its crop, name template and first extension,
    // and its Options once parsed (a parse error is logged at every use, as each use reads
    // them).
    struct RowInfo
    {
        bool ready = false;
        SceneTreeRow info;
        QString crop;
        QString fileNameTemplate;
        QString firstExtension;
        bool optionsParsed = false;
        QJsonObject options;
        QString optionsError; // set when the Options do not parse
    };
    RowInfo &rowInfo(int tableRow) const;

    SceneListOptions m_options;
    LibraryIndex &m_library;
    CodeConversionTable &m_codes;
    AssetQuery &m_query;
    SceneTree &m_tree;
    QWidget *m_dialogParent = nullptr; // not owned
    mutable QVector<RowInfo> m_rows;
    mutable RowInfo m_outsideRow;
};
