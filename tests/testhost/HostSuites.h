#pragma once

// The project suites of a TestHost as the plug-in acquires them (by name and version through
// the basic suite), released again at the end, with helpers for the texts that come back in
// memory handles.
#include "host/aegp.h"
#include "testhost/core/SuiteRegistry.h"
#include "testhost/core/TestHost.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QVector>

struct HostSuites
{
    explicit HostSuites(TestHost &host) : basic(host.basicSuite())
    {
        acquire(kAEGPMemorySuite, kAEGPMemorySuiteVersion1, &memory);
        acquire(kAEGPProjSuite, kAEGPProjSuiteVersion5, &proj);
        acquire(kAEGPItemSuite, kAEGPItemSuiteVersion8, &item);
        acquire(kAEGPCompSuite, kAEGPCompSuiteVersion7, &comp);
        acquire(kAEGPLayerSuite, kAEGPLayerSuiteVersion5, &layer);
        acquire(kAEGPFootageSuite, kAEGPFootageSuiteVersion5, &footage);
        acquire(kAEGPUtilitySuite, kAEGPUtilitySuiteVersion5, &utility);
    }
    ~HostSuites()
    {
        for (const auto &held : m_held)
            basic->ReleaseSuite(held.first, held.second);
    }
    bool complete() const { return m_held.size() == 7; }

    // Lock, read, unlock and free, as the plug-in does with every text the host hands over.
    QByteArray take(AEGP_MemHandle h) const
    {
        void *data = nullptr;
        AEGP_MemSize size = 0;
        if (!h || memory->AEGP_GetMemHandleSize(h, &size) || memory->AEGP_LockMemHandle(h, &data))
            return QByteArray("<no handle>");
        QByteArray bytes(static_cast<const char *>(data), int(size));
        memory->AEGP_UnlockMemHandle(h);
        memory->AEGP_FreeMemHandle(h);
        return bytes;
    }
    QString takeUtf16(AEGP_MemHandle h) const
    {
        const QByteArray bytes = take(h);
        return QString::fromUtf16(reinterpret_cast<const ushort *>(bytes.constData()));
    }
    QString takeUtf8(AEGP_MemHandle h) const { return QString::fromUtf8(take(h).constData()); }

    AEGP_ProjectH project() const
    {
        AEGP_ProjectH p = nullptr;
        proj->AEGP_GetProjectByIndex(0, &p);
        return p;
    }
    QString name(AEGP_ItemH i) const
    {
        AEGP_MemHandle h = nullptr;
        item->AEGP_GetItemName(0, i, &h);
        return takeUtf16(h);
    }
    AEGP_CompH newComp(const QString &name, AEGP_ItemH folder = nullptr, A_long w = 1920,
                       A_long h = 1080) const
    {
        const A_Ratio aspect{1, 1}, rate{25, 1};
        const A_Time duration{50, 25};
        AEGP_CompH c = nullptr;
        comp->AEGP_CreateComp(folder, u16(name), w, h, &aspect, &duration, &rate, &c);
        return c;
    }
    AEGP_ItemH itemOf(AEGP_CompH c) const
    {
        AEGP_ItemH i = nullptr;
        comp->AEGP_GetItemFromComp(c, &i);
        return i;
    }
    // NewFootage with or without the sequence options, then AddFootageToProject.
    AEGP_ItemH importFile(const QString &path, bool sequence, AEGP_ItemH folder = nullptr) const
    {
        const AEGP_FileSequenceImportOptions options{A_Boolean(sequence), 0, AEGP_ANY_FRAME,
                                                     AEGP_ANY_FRAME};
        AEGP_FootageH f = nullptr;
        AEGP_ItemH added = nullptr;
        if (footage->AEGP_NewFootage(0, u16(path), nullptr, &options, 0, nullptr, &f) ||
            footage->AEGP_AddFootageToProject(f, folder, &added))
            return nullptr;
        return added;
    }

    static const A_UTF16Char *u16(const QString &text)
    {
        return reinterpret_cast<const A_UTF16Char *>(text.utf16());
    }

    SPBasicSuite *basic;
    const AEGP_MemorySuite1 *memory = nullptr;
    const AEGP_ProjSuite5 *proj = nullptr;
    const AEGP_ItemSuite8 *item = nullptr;
    const AEGP_CompSuite7 *comp = nullptr;
    const AEGP_LayerSuite5 *layer = nullptr;
    const AEGP_FootageSuite5 *footage = nullptr;
    const AEGP_UtilitySuite5 *utility = nullptr;

private:
    template <typename T> void acquire(const char *name, int version, T **out)
    {
        const void *p = nullptr;
        if (basic->AcquireSuite(name, version, &p) != 0)
            return;
        *out = static_cast<T *>(const_cast<void *>(p));
        m_held.append({name, version});
    }

    QVector<QPair<const char *, int>> m_held;
};

// Writes small files (content irrelevant unless given) into a folder.
inline void touchFiles(const QString &dir, const QStringList &names,
                       const QByteArray &content = QByteArray("x"))
{
    for (const QString &name : names) {
        QFile f(QDir(dir).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }
}
