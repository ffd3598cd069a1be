#pragma once

#include "scenelist/XlsxSheetReader.h"

#include <QHash>
#include <QString>
#include <memory>

class KArchiveDirectory;
class KArchiveFile;
class KZip;
class QIODevice;

// The members of a workbook's zip package, found by name the way Office finds them: without
// regard to case, a leading "/" or the backslashes some Windows writers put in member names.
//
// Example: a package written with the member "xl\worksheets\sheet1.xml" answers
// read("/XL/worksheets/sheet1.xml"). Reading stops at the limit on uncompressed bytes whatever
// size the archive claims, so a zip bomb gives a clear reason instead of filling memory.
class XlsxPackage
{
public:
    explicit XlsxPackage(const XlsxLimits &limits);
    ~XlsxPackage();
    XlsxPackage(const XlsxPackage &) = delete;
    XlsxPackage &operator=(const XlsxPackage &) = delete;

    // Opens the zip on `device` (which must outlive this object); false with *reason.
    bool open(QIODevice *device, QString *reason);
    bool contains(const QString &name) const;
    bool read(const QString &name, QByteArray *bytes, QString *reason) const;

    // "xl\\Workbook.xml" and "/xl/workbook.xml" both give "xl/workbook.xml".
    static QString normalizedName(const QString &name);

private:
    void index(const KArchiveDirectory *dir, const QString &prefix);

    XlsxLimits m_limits;
    std::unique_ptr<KZip> m_zip;
    QHash<QString, const KArchiveFile *> m_members; // owned by m_zip
};
