// The .xlsx sheet reader on workbooks written by other programs (tests/data/xlsx), on small
// workbooks made here for what those do not hold, and on the bad files of tests/data/illegal.
#include "scenelist/XlsxSheetReader.h"
#include "support/TextHelpers.h"

#include "TestFiles.h"

#include <KZip>
#include <QBuffer>
#include <QDir>
#include <QtTest>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

namespace {

// A one-sheet workbook ("Data") around the given sheetData content and shared strings.
QByteArray workbook(const QByteArray &sheetData, const QByteArray &sharedStrings = QByteArray(),
                    const QByteArray &prolog = QByteArray())
{
    const QByteArray ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    KZip zip(&buffer);
    zip.open(QIODevice::WriteOnly);
    zip.writeFile(QStringLiteral("_rels/.rels"),
                  "<Relationships><Relationship Id=\"r\" Type=\"" + rel +
                      "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    zip.writeFile(QStringLiteral("xl/workbook.xml"),
                  "<workbook " + ns + " xmlns:r=\"" + rel +
                      "\"><sheets><sheet name=\"Data\" r:id=\"rId1\"/></sheets></workbook>");
    zip.writeFile(QStringLiteral("xl/_rels/workbook.xml.rels"),
                  "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
                      "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>");
    zip.writeFile(QStringLiteral("xl/worksheets/sheet1.xml"), prolog + "<worksheet " + ns +
                                                                  "><sheetData>" + sheetData +
                                                                  "</sheetData></worksheet>");
    if (!sharedStrings.isEmpty())
        zip.writeFile(QStringLiteral("xl/sharedStrings.xml"),
                      "<sst " + ns + ">" + sharedStrings + "</sst>");
    zip.close();
    return bytes;
}

} // namespace

class TestScenelistXlsx : public QObject
{
    Q_OBJECT

private slots:
    void realWorkbooks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells");
        const auto row = [](const char *name, const QString &file, const QString &sheet,
                            int rowCount, int row, const QStringList &cells) {
            QTest::newRow(name) << file << sheet << rowCount << row << cells;
        };
        const QString php = QStringLiteral("phpspreadsheet-");
        row("shared strings, sparse cells", php + "blankcell.xlsx", "1", 3, 2, {"", "", "C3"});
        row("rows before the first kept", php + "issue.4049.xlsx", "1", 12, 10,
            {"", "", "", "", "25.0"});
        row("rich text runs joined", php + "issue.3464.xlsx", "sheet1", 1, 0,
            {QStringLiteral("产品介绍\n(这是一行示例数据，在导入时需要删除该行)")});
        QStringList windows = QVector<QString>(21).toList();
        windows[0] = "184323";
        windows[1] = "mail_SPDR35Removal_title_032023";
        windows[2] = "Dev Update";
        windows[9] = QStringLiteral("開発チームアップデート");
        row("backslashes in member names", php + "Zip-Windows-Directory-Separator.xlsx", "1", 3, 1,
            windows);
        row("named sheet", php + "data_with_tables.xlsx", "Second", 5, 4, {"g", "h"});
        row("sheet by number", php + "data_with_tables.xlsx", " 1 ", 1, 0, {"1", "2", "3"});
        row("name without case, runs, formula text", "three-sheets.xlsx", "shots", 3, 0,
            {"SC010", "1", "CH_hero_v2", "SC011"});
    }

    void realWorkbooks()
    {
        QFETCH(QString, file);
        QFETCH(QString, sheet);
        QFETCH(int, rowCount);
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        const XlsxSheet result = XlsxSheetReader::read(testData("xlsx/" + file), sheet);
        QCOMPARE(result.error, QString());
        QVERIFY(result.ok);
        QCOMPARE(result.rows.size(), rowCount);
        QCOMPARE(result.rows.at(row), cells);
    }

    // The list was written as CSV and converted by LibreOffice Calc; the rows must be the records.
    void sameRowsAsTheListSavedAsCsv()
    {
        const QString dir = testData("xlsx/");
        const Rows csv = splitRecords(QString::fromUtf8(readFile(dir + "scene-list.csv")), ';');
        const XlsxSheet xlsx = XlsxSheetReader::read(dir + "scene-list.xlsx", QStringLiteral("1"));
        QCOMPARE(xlsx.error, QString());
        QCOMPARE(csv.size(), 7);
        QCOMPARE(xlsx.rows, csv);
    }

    void madeWorkbooks_data()
    {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QByteArray>("sharedStrings");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("inline strings, booleans, escapes, cells without reference")
            << QByteArray("<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><r><t>CH_</t></r><r><t>hero"
                          "</t></r><rPh><t>hiro</t></rPh></is></c><c r=\"C2\" t=\"b\"><v>0</v></c>"
                          "<c t=\"inlineStr\"><is><t>a_x000D_b_x005F_x0041_</t></is></c></row>")
            << QByteArray() << Rows{{"", "", "", ""}, {"", "CH_hero", "FALSE", "a\rb_x0041_"}};
    }

    void madeWorkbooks()
    {
        QFETCH(QByteArray, sheetData);
        QFETCH(QByteArray, sharedStrings);
        QFETCH(Rows, rows);
        const XlsxSheet result = XlsxSheetReader::readBytes(workbook(sheetData, sharedStrings),
                                                            QStringLiteral("Data"), "made.xlsx");
        QCOMPARE(result.error, QString());
        QCOMPARE(result.rows, rows);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<qint64>("maxMemberBytes");
        QTest::addColumn<QString>("reason");
        const QByteArray tables = readFile(testData("xlsx/phpspreadsheet-data_with_tables.xlsx"));
        const auto row = [](const char *name, const QByteArray &bytes, const QString &sheet,
                            const QString &reason, qint64 maxBytes = XlsxLimits().maxMemberBytes) {
            QTest::newRow(name) << bytes << sheet << maxBytes << reason;
        };
        row("missing sheet", tables, "Third",
            "no sheet \"Third\" in the workbook (its sheets: \"First\", \"Second\")");
        row("shared string past the table",
            workbook("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>", "<si><t>a</t></si>"),
            "Data", "the cell A1 names shared string 5 of 1");
        row("a zip bomb", workbook(QByteArray(300000, ' ')), "Data",
            "the part xl/worksheets/sheet1.xml is larger than 100000 bytes", 100000);
        row("a document type declaration", workbook("", "", "<!DOCTYPE w [<!ENTITY a \"aaaa\">]>"),
            "Data", "the part xl/worksheets/sheet1.xml holds a document type declaration");
        QByteArray deep = "<row r=\"1\"><c r=\"A1\"><v>1</v>";
        for (int i = 0; i < 100; ++i)
            deep += "<x>";
        row("elements nested too deep", workbook(deep), "Data",
            "the part xl/worksheets/sheet1.xml nests elements deeper than 64 levels");
    }

    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sheet);
        QFETCH(qint64, maxMemberBytes);
        QFETCH(QString, reason);
        XlsxLimits limits;
        limits.maxMemberBytes = maxMemberBytes;
        const XlsxSheet result =
            XlsxSheetReader::readBytes(bytes, sheet, "/lists/ep3.xlsx", limits);
        QVERIFY(!result.ok);
        QVERIFY(result.rows.isEmpty());
        QVERIFY2(result.error.startsWith("-ERR- ReadXlsxSceneList : /lists/ep3.xlsx : " + reason),
                 qPrintable(result.error));
    }

    // Each bad file's .expected holds the reason its error line must give.
    void illegalFilesGiveTheirReason()
    {
        const QDir dir(testData("illegal"));
        const QStringList files = dir.entryList({QStringLiteral("xlsx-*.xlsx")}, QDir::Files);
        QVERIFY(files.size() >= 3);
        for (const QString &name : files) {
            const QString path = dir.filePath(name);
            const XlsxSheet result = XlsxSheetReader::read(path, QStringLiteral("1"));
            const QString expected = QString::fromUtf8(readFile(path + ".expected")).trimmed();
            QVERIFY2(!expected.isEmpty(), qPrintable(name));
            QCOMPARE(result.error, "-ERR- ReadXlsxSceneList : " + QDir::toNativeSeparators(path) +
                                       " : " + expected);
            QVERIFY(result.rows.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestScenelistXlsx)
#include "tst_scenelist_xlsx.moc"
