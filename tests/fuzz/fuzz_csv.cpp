// Fuzz target: the CSV splitter on arbitrary text and separators. Besides crashes, it checks
// that no record is empty and that the records, written back with every field quoted, split
// again into the very same records (quotes, separators and line breaks inside fields kept).
#include "FuzzTarget.h"
#include "support/TextHelpers.h"

namespace {

QString quoted(const QStringList &record, QChar separator)
{
    QStringList fields;
    for (QString field : record)
        fields << QLatin1Char('"') + field.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                      QLatin1Char('"');
    return fields.join(separator);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the separator, as the scene list reader takes it from its options.
    static const char separators[] = {',', ';', '\t', '|'};
    const QChar separator = QLatin1Char(separators[data[0] % 4]);
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1, int(size) - 1);
    const QList<QStringList> records = splitRecords(text, separator);
    QString written;
    for (const QStringList &record : records) {
        check(!record.isEmpty());
        written += quoted(record, separator) + QLatin1Char('\n');
    }
    check(splitRecords(written, separator) == records);
    return 0;
}
