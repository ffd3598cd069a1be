// Fuzz target: the .xlsx sheet reader on arbitrary bytes. Besides crashes and hangs (with the
// sanitizers), it checks what the reader promises: rows exactly when it succeeds, one "-ERR- "
// line exactly when it fails, every row as wide as the first, and the grid within the cell limit.
#include "FuzzTarget.h"
#include "scenelist/XlsxSheetReader.h"

namespace {

void readAndCheck(const QByteArray &bytes, const QString &sheet, const XlsxLimits &limits)
{
    const XlsxSheet result = XlsxSheetReader::readBytes(bytes, sheet, "fuzz.xlsx", limits);
    check(result.ok == result.error.isEmpty());
    if (!result.ok) {
        check(result.rows.isEmpty());
        check(result.error.startsWith(QLatin1String("-ERR- ReadXlsxSceneList : fuzz.xlsx : ")));
        check(!result.error.contains(QLatin1Char('\n')));
        return;
    }
    const int width = result.rows.isEmpty() ? 0 : result.rows.first().size();
    for (const QStringList &row : result.rows)
        check(row.size() == width);
    check(qint64(result.rows.size()) * width <= limits.maxCells);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    XlsxLimits limits;
    limits.maxMemberBytes = 4 * 1024 * 1024;
    limits.maxCells = 200000;
    readAndCheck(bytes, QStringLiteral("1"), limits);
    readAndCheck(bytes, QStringLiteral("Shots"), limits);
    return 0;
}
