#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What one read of a workbook gives: the chosen sheet as rows of cell texts, or one log line.
struct XlsxSheet
{
    bool ok = false;
    // When not ok: one "-ERR- " line naming the file and the reason, ready for the log.
    QString error;
    // Row i is sheet row i + 1; every row has the width of the widest one, like a CSV record.
    QList<QStringList> rows;
};

// Bounds that keep a hostile workbook from exhausting memory or time. The defaults are far
// above any real scene list (tens of thousands of rows by a few dozen columns).
struct XlsxLimits
{
    qint64 maxFileBytes = 256 * 1024 * 1024;  // the .xlsx file itself
    qint64 maxMemberBytes = 64 * 1024 * 1024; // one member once uncompressed
    qint64 maxCells = 4 * 1000 * 1000;        // rows x widest row, empty cells included
    int maxXmlDepth = 64;
};

// Reads one sheet of an Office Open XML workbook (.xlsx) into the rows a scene list reader
// hands to the row dispatch, the same shape a CSV list split into records has.
//
// The sheet is chosen by a name or a 1-based number, the name winning when both could apply:
// in a workbook with the sheets "Notes", "2" and "Shots", "2" is the sheet named "2" and "3"
// is "Shots". Cells land by their reference: a row 5 holding only C5 = "SC010" gives the
// row {"", "", "SC010"} (padded to the widest row), at index 4 even when rows 1 to 4 are absent.
// Shared and inline strings (rich text runs joined, phonetic guides left out) come out as text
// with their line breaks, numbers as written in the file ("25.0" stays "25.0"), booleans as
// "TRUE" / "FALSE", errors as their code ("#N/A").
class XlsxSheetReader
{
public:
    static XlsxSheet read(const QString &path, const QString &sheet,
                          const XlsxLimits &limits = XlsxLimits());
    // The same on bytes already in memory; `fileName` only names the file in the error line.
    static XlsxSheet readBytes(const QByteArray &bytes, const QString &sheet,
                               const QString &fileName, const XlsxLimits &limits = XlsxLimits());
};
