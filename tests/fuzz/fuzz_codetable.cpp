// Fuzz target: the code conversion table on arbitrary text. Every code of a record is found
// (its answers are never the "absent" ones), the first record of a code decides, and a code
// absent from the text gets the "CODE-NOT-FOUND[...]" answers.
#include "FuzzTarget.h"
#include "scenelist/CodeConversionTable.h"
#include "support/TextHelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = inputText(data, size);
    CodeConversionTable table;
    table.loadFromText(text);
    const QList<QStringList> records = splitRecords(text, QLatin1Char(';'));
    QStringList seen;
    for (const QStringList &record : records) {
        if (record.size() < 2 || seen.contains(record.at(1)))
            continue;
        const QString code = record.at(1);
        seen << code;
        check(!table.conversionFileName(code).startsWith(QLatin1String("CODE-NOT-FOUND[")));
        check(!table.conversionLayerName(code).startsWith(QLatin1String("CODE-NOT-FOUND4[")));
        const QString type = record.value(6);
        check(table.conversionType(code) == (type.trimmed().isEmpty() ? QString() : type));
    }
    const QString absent = QStringLiteral("\x01absent");
    if (!seen.contains(absent)) {
        check(table.conversionFileName(absent) == QStringLiteral("CODE-NOT-FOUND[%1]").arg(absent));
        check(table.conversionLayerDir(absent).isEmpty());
    }
    return 0;
}
