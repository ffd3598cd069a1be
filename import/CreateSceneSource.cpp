#include "import/CreateSceneSource.h"

CreateSceneSource::~CreateSceneSource() = default;

QString CreateSceneSource::placeholderValue(QChar) const
{
    return {};
}

QVector<TableFile> CreateSceneSource::GetFileToImportFromTable(const QString &, int)
{
    return {};
}
