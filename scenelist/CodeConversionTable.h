#pragma once
// The code conversion table of a 3ds Max production: a ";"-separated text file whose records
// turn an asset code (field 1) into a model file name, a layer name, a layer folder and a
// conversion type. The panel keeps a second instance as the posing table, which only records
// the file chosen for it.
//
// Example: with the record ";CH01;;;;;PR;bob;;CHARS;" (fields 0 to 10, field 10 empty),
// conversionFileName("CH01") is "bob.max" (field 6 is "PR"; any other field 6 would give
// "bob_Clone.max"), conversionLayerName is "bob.max", conversionLayerDir is "CHARS",
// conversionType is "PR"; an unknown code gives "CODE-NOT-FOUND[XX]", and a table whose file
// cannot be read gives "CONVERSION-FILE-NOT-FOUND".
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class CodeConversionTable
{
public:
    // Takes a newly chosen file: ignored when it is "..." or no such file exists; otherwise
    // the records are forgotten and the table loads from it at its next look-up.
    void setPath(const QString &path);
    QString path() const { return m_path; }
    bool isLoaded() const { return m_loaded; }

    // (Re)reads the file; false when the path is "..." or blank, or the file cannot be read.
    bool loadConversionTable();
    // Reads records from text (what loadConversionTable does after reading the file).
    void loadFromText(const QString &text);

    QString conversionFileName(const QString &code);
    QString conversionLayerName(const QString &code);
    QString conversionLayerDir(const QString &code);
    QString conversionType(const QString &code);

private:
    enum Lookup { Found, NotLoadable, NoCode };
    Lookup lookUp(const QString &code, QStringList *record);

    QString m_path;
    bool m_loaded = false;
    QList<QStringList> m_records;
    QHash<QString, int> m_firstByCode;
};
