#include "import/CreateSceneSource.h"

CreateSceneSource::~CreateSceneSource() = default;

QVector<TableFile> CreateSceneSource::GetFileToImportFromTable(const QString &, int)
{
    return {};
}
