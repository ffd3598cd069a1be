#pragma once
// What the scene import reads from the Create Scene side: the library switches, the matching
// table's files for a scene, the template and scripts, the production placeholder values.
// The defaults answer as a panel with everything switched off and empty would.
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

using TableFile = QPair<QString, QString>; // file path, project folder text

class CreateSceneSource
{
public:
    virtual ~CreateSceneSource();
    virtual bool useLibraryFiles() const { return false; }
    virtual bool moveFilesToRelativePath() const { return false; }
    virtual bool useTemplate() const { return false; }
    virtual QString templatePath() const { return {}; }
    virtual QStringList scripts() const { return {}; }
    // Scans the library folders again (before each imported scene, with library files on), so
    // the table's files reflect the disk.
    virtual void collectLibraryFiles() {}
    // Value of a production placeholder letter (e, n, x, y, z, j); empty leaves it in place.
    virtual QString placeholderValue(QChar letter) const;
    // The table's files for a scene at a position (1: before the scanned files, -1: after).
    virtual QVector<TableFile> GetFileToImportFromTable(const QString &sceneName, int position);
};
