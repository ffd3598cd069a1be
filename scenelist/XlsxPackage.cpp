#include "scenelist/XlsxPackage.h"

#include <KZip> // first: the other KArchive headers lean on it

#include <KArchiveDirectory>
#include <KArchiveFile>
#include <QIODevice>

XlsxPackage::XlsxPackage(const XlsxLimits &limits) : m_limits(limits) {}

XlsxPackage::~XlsxPackage() = default;

QString XlsxPackage::normalizedName(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (n.startsWith(QLatin1Char('/')))
        n.remove(0, 1);
    return n.toLower();
}

bool XlsxPackage::open(QIODevice *device, QString *reason)
{
    m_members.clear();
    m_zip = std::make_unique<KZip>(device);
    if (!m_zip->open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("not a readable zip archive, damaged or not a workbook (%1)")
                      .arg(m_zip->errorString());
        return false;
    }
    index(m_zip->directory(), QString());
    if (m_members.isEmpty()) {
        *reason = QStringLiteral("the zip archive holds no files");
        return false;
    }
    return true;
}

void XlsxPackage::index(const KArchiveDirectory *dir, const QString &prefix)
{
    const QStringList names = dir->entries();
    for (const QString &name : names) {
        const KArchiveEntry *entry = dir->entry(name);
        if (!entry)
            continue;
        const QString path = prefix + name;
        if (entry->isFile())
            m_members.insert(normalizedName(path), static_cast<const KArchiveFile *>(entry));
        else if (entry->isDirectory())
            index(static_cast<const KArchiveDirectory *>(entry), path + QLatin1Char('/'));
    }
}

bool XlsxPackage::contains(const QString &name) const
{
    return m_members.contains(normalizedName(name));
}

bool XlsxPackage::read(const QString &name, QByteArray *bytes, QString *reason) const
{
    bytes->clear();
    const KArchiveFile *file = m_members.value(normalizedName(name));
    if (!file) {
        *reason = QStringLiteral("the part %1 is missing").arg(name);
        return false;
    }
    const QString tooLarge =
        QStringLiteral("the part %1 is larger than %2 bytes once uncompressed (a zip bomb?)")
            .arg(name)
            .arg(m_limits.maxMemberBytes);
    if (file->size() > m_limits.maxMemberBytes) {
        *reason = tooLarge;
        return false;
    }
    // The size in the directory may lie: count what the decompressor really gives.
    std::unique_ptr<QIODevice> device(file->createDevice());
    if (!device || !device->isOpen()) {
        *reason = QStringLiteral("the part %1 is stored in a way that cannot be read "
                                 "(unknown compression or encryption)")
                      .arg(name);
        return false;
    }
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = device->read(chunk, sizeof chunk);
        if (n == 0)
            break;
        if (n < 0) {
            *reason =
                QStringLiteral("the part %1 is damaged (%2)").arg(name, device->errorString());
            return false;
        }
        if (bytes->size() + n > m_limits.maxMemberBytes) {
            *reason = tooLarge;
            bytes->clear();
            return false;
        }
        bytes->append(chunk, int(n));
    }
    return true;
}
