#include "scenelist/CodeConversionTable.h"

#include "support/TextHelpers.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString field(const QStringList &record, int index)
{
    return record.value(index);
}

bool isFilled(const QStringList &record, int index)
{
    return record.size() > index && !record.at(index).isEmpty();
}

bool hasText(const QStringList &record, int index)
{
    return record.size() > index && !record.at(index).trimmed().isEmpty();
}

} // namespace

void CodeConversionTable::setPath(const QString &path)
{
    if (path == QLatin1String("...") || !QFileInfo(path).isFile())
        return;
    m_path = path;
    m_loaded = false;
    m_records.clear();
    m_firstByCode.clear();
}

bool CodeConversionTable::loadConversionTable()
{
    if (m_path == QLatin1String("...") || m_path.trimmed().isEmpty())
        return false;
    m_loaded = false;
    m_records.clear();
    m_firstByCode.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    loadFromText(QString::fromUtf8(file.readAll()));
    return true;
}

void CodeConversionTable::loadFromText(const QString &text)
{
    m_records = splitRecords(text, QLatin1Char(';'));
    m_firstByCode.clear();
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records.at(i).size() > 1 && !m_firstByCode.contains(m_records.at(i).at(1)))
            m_firstByCode.insert(m_records.at(i).at(1), i);
    }
    m_loaded = true;
}

CodeConversionTable::Lookup CodeConversionTable::lookUp(const QString &code, QStringList *record)
{
    if (!m_loaded && !loadConversionTable())
        return NotLoadable;
    const auto found = m_firstByCode.constFind(code);
    if (found == m_firstByCode.constEnd())
        return NoCode;
    *record = m_records.at(found.value());
    return Found;
}

QString CodeConversionTable::conversionFileName(const QString &code)
{
    QStringList record;
    switch (lookUp(code, &record)) {
    case NotLoadable:
        return QStringLiteral("CONVERSION-FILE-NOT-FOUND");
    case NoCode:
        return QStringLiteral("CODE-NOT-FOUND[%1]").arg(code);
    case Found:
        break;
    }
    if (hasText(record, 10))
        return field(record, 10) + QStringLiteral(".max");
    const bool plainModel = field(record, 6).trimmed() == QLatin1String("PR");
    if (isFilled(record, 7))
        return field(record, 7) +
               (plainModel ? QStringLiteral(".max") : QStringLiteral("_Clone.max"));
    return QStringLiteral("CODE-NOT-FOUND2[%1]").arg(code);
}

QString CodeConversionTable::conversionLayerName(const QString &code)
{
    QStringList record;
    switch (lookUp(code, &record)) {
    case NotLoadable:
        return QStringLiteral("CONVERSION-FILE-NOT-FOUND");
    case NoCode:
        return QStringLiteral("CODE-NOT-FOUND4[%1]").arg(code);
    case Found:
        break;
    }
    if (isFilled(record, 7))
        return field(record, 7) + QStringLiteral(".max");
    return QStringLiteral("CODE-NOT-FOUND3[%1]").arg(code);
}

QString CodeConversionTable::conversionLayerDir(const QString &code)
{
    QStringList record;
    return lookUp(code, &record) == Found && hasText(record, 9) ? field(record, 9) : QString();
}

QString CodeConversionTable::conversionType(const QString &code)
{
    QStringList record;
    return lookUp(code, &record) == Found && hasText(record, 6) ? field(record, 6) : QString();
}
