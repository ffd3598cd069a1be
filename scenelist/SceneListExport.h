#pragma once
// The two exports of the scene tree.
//  - SLG export: the selected scenes as "<production>_<episode>.csv" (one scene name per line)
//    and "<production>_<episode>.time" ("name;name-sc;image count;"), for the production
//    tracking tool. Names lose their spaces, are padded to three digits and put in upper case;
//    the image count is column 0 of the scene's last NbIma element, "0" without one.
//  - Missing-files log: "MissingFiles.log", per scene its Movie, Sound, Ima, Asset and Code
//    elements not found, CRLF line ends.
// Both need an output folder. A scene whose exported name could not be a file name ("../ESC")
// is left out with an -ERR- line, as is the whole SLG export when the production name makes
// its file names unusable. A file is replaced only once it is completely written; a failure
// leaves the previous file as it was, shows "Error creating <path>" and writes a -ERR- line
// with the reason.
//
// Example: production "Prod", episode "3", selected scenes "12" and "sc 12" (NbIma 48) give
// Prod_03.csv = "012\n0SC12\n" and Prod_03.time = "012;012-sc;0;\n0SC12;0SC12-sc;48;\n".
#include <QByteArray>
#include <QString>

class MatchingTable;
class QWidget;
class SceneTree;

class SceneListExport
{
public:
    // Neither is owned; the table tells which elements are NbIma rows.
    SceneListExport(const SceneTree &tree, const MatchingTable &table);
    void setDialogParent(QWidget *parent) { m_dialogParent = parent; }

    // The SLG export into outputDir, with the episode as the panel displays it.
    bool exportShotLedger(const QString &outputDir, const QString &productionName,
                          const QString &episode);
    // The missing-files log of every scene into outputDir.
    bool createMissingFilesLog(const QString &outputDir);

    static QString exportedSceneName(const QString &sceneName);

private:
    // False, after saying so, when no output folder was chosen.
    bool hasOutputDir(const QString &outputDir) const;
    // Writes one file; a failure is logged with its reason and shown.
    bool write(const QString &what, const QString &path, const QByteArray &bytes);

    const SceneTree &m_tree;
    const MatchingTable &m_table;
    QWidget *m_dialogParent = nullptr; // not owned
};
