// The test host's project suites called as the plug-in calls them: walking the items from the
// root folder, layers, the dirty flag, saving and opening projects, and the failures the
// plug-in must meet.
#include "FileSizeLimit.h"
#include "HostSuites.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>

namespace {

// The walk the plug-in makes to find a composition or folder: from the root folder, every
// item with AEGP_GetNextProjItem.
QStringList walkNames(const HostSuites &s)
{
    QStringList names;
    AEGP_ItemH i = nullptr;
    s.proj->AEGP_GetProjectRootFolder(s.project(), &i);
    while (s.item->AEGP_GetNextProjItem(s.project(), i, &i) == A_Err_NONE && i)
        names << s.name(i);
    return names;
}

AEGP_ItemH findByName(const HostSuites &s, A_short type, const QString &name)
{
    AEGP_ItemH i = nullptr;
    s.proj->AEGP_GetProjectRootFolder(s.project(), &i);
    while (s.item->AEGP_GetNextProjItem(s.project(), i, &i) == A_Err_NONE && i) {
        AEGP_ItemType t = 0;
        s.item->AEGP_GetItemType(i, &t);
        if (t == type && s.name(i) == name)
            return i;
    }
    return nullptr;
}

AEGP_ItemH layerSource(const HostSuites &s, AEGP_CompH comp, A_long index)
{
    AEGP_LayerH l = nullptr;
    AEGP_ItemH source = nullptr;
    if (s.layer->AEGP_GetCompLayerByIndex(comp, index, &l) == A_Err_NONE)
        s.layer->AEGP_GetLayerSourceItem(l, &source);
    return source;
}

bool isDirty(const HostSuites &s)
{
    A_Boolean dirty = false;
    s.proj->AEGP_ProjectIsDirty(s.project(), &dirty);
    return dirty;
}

QByteArray itemsOf(const ProjectModel &model)
{
    return QJsonDocument(model.toJson().value("items").toArray()).toJson(QJsonDocument::Compact);
}

} // namespace

class TestTesthostSuites : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void walkCoversTheTreeAndComparesWholeNames()
    {
        TestHost host;
        HostSuites s(host);
        QVERIFY(s.complete());
        QVERIFY(walkNames(s).isEmpty());
        // Two names alike in their first 31 characters, one of them not Latin-1.
        const QString longName = QStringLiteral("Scène 042 — composition principale ① A");
        const QString twin = longName.left(longName.size() - 1) + QLatin1Char('B');
        AEGP_ItemH folder = nullptr;
        QCOMPARE(s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("Shots")), nullptr,
                                              &folder),
                 A_Err_NONE);
        s.newComp(twin, folder);
        AEGP_CompH wanted = s.newComp(longName, folder);
        AEGP_ItemH sub = nullptr;
        s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("Sub")), folder, &sub);
        s.newComp(QStringLiteral("Top"));
        QCOMPARE(walkNames(s), (QStringList{"Shots", twin, longName, "Sub", "Top"}));
        QCOMPARE(findByName(s, AEGP_ItemType_COMP, longName), s.itemOf(wanted));
        QCOMPARE(findByName(s, AEGP_ItemType_FOLDER, QStringLiteral("Sub")), sub);
        AEGP_ItemH parent = nullptr;
        s.item->AEGP_GetItemParentFolder(sub, &parent);
        QCOMPARE(parent, folder);
        // A composition never goes into itself, directly or through another one.
        AEGP_CompH top = s.newComp(QStringLiteral("Top 2"));
        QCOMPARE(s.layer->AEGP_AddLayer(s.itemOf(top), wanted, nullptr), A_Err_NONE);
        QVERIFY(s.layer->AEGP_AddLayer(s.itemOf(top), top, nullptr) != A_Err_NONE);
        QVERIFY(s.layer->AEGP_AddLayer(s.itemOf(wanted), top, nullptr) != A_Err_NONE);
        QCOMPARE(layerSource(s, wanted, 0), s.itemOf(top));
    }

    void dirtyFlagAndSaveOpenRoundTrip()
    {
        QTemporaryDir dir;
        touchFiles(dir.path(), {"A0001.png", "A0002.png", "BG.png"});
        TestHost host;
        HostSuites s(host);
        A_long projects = 0;
        s.proj->AEGP_GetNumProjects(&projects);
        QCOMPARE(projects, A_long(1));
        QVERIFY(!isDirty(s));
        AEGP_ItemH folder = nullptr;
        s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("Ünïcode ‘folder’")), nullptr,
                                     &folder);
        QVERIFY(isDirty(s));
        AEGP_CompH comp = s.newComp(QStringLiteral("A00"), folder, 1280, 720);
        AEGP_ItemH seq = s.importFile(dir.filePath("A0001.png"), true, folder);
        s.layer->AEGP_AddLayer(seq, comp, nullptr);
        s.layer->AEGP_AddLayer(s.importFile(dir.filePath("BG.png"), false), comp, nullptr);
        s.item->AEGP_DeleteItem(
            s.itemOf(s.newComp(QStringLiteral("gone")))); // leaves a gap in the ids
        AEGP_CompH inner = s.newComp(QStringLiteral("Inner"));
        s.layer->AEGP_AddLayer(s.itemOf(inner), comp, nullptr);

        const QString path = dir.filePath("scene 1.aep");
        QCOMPARE(s.proj->AEGP_SaveProjectAs(s.project(), HostSuites::u16(path)), A_Err_NONE);
        QVERIFY(!isDirty(s));
        AEGP_MemHandle h = nullptr;
        s.proj->AEGP_GetProjectPath(s.project(), &h);
        QCOMPARE(s.takeUtf16(h), path);
        const QByteArray saved = itemsOf(host.project().model());

        AEGP_ProjectH p = nullptr;
        QCOMPARE(s.proj->AEGP_NewProject(&p), A_Err_NONE);
        QCOMPARE(p, s.project());
        QVERIFY(walkNames(s).isEmpty());
        QVERIFY(!isDirty(s));
        QCOMPARE(s.proj->AEGP_OpenProjectFromPath(HostSuites::u16(path), &p), A_Err_NONE);
        QVERIFY(!isDirty(s));
        QCOMPARE(itemsOf(host.project().model()), saved); // ids, order, layers and files kept
        QCOMPARE(host.project().model().path(), path);
        // New items continue after the highest saved id.
        AEGP_ItemH later = nullptr;
        s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("later")), nullptr, &later);
        A_long id = 0, innerId = 0;
        s.item->AEGP_GetItemID(later, &id);
        s.item->AEGP_GetItemID(findByName(s, AEGP_ItemType_COMP, QStringLiteral("Inner")),
                               &innerId);
        QCOMPARE(id, innerId + 1);
        QVERIFY(isDirty(s));
    }

    void savingWhereNothingCanBeWritten()
    {
        QTemporaryDir dir;
        touchFiles(dir.path(), {"plain.txt"});
        TestHost host;
        HostSuites s(host);
        s.newComp(QStringLiteral("A00"));
        // A folder that is a file cannot hold anything, whoever runs the test.
        const QString bad = dir.filePath("plain.txt/scene.aep");
        QVERIFY(s.proj->AEGP_SaveProjectAs(s.project(), HostSuites::u16(bad)) != A_Err_NONE);
        QVERIFY(s.proj->AEGP_SaveProjectToPath(s.project(), HostSuites::u16(bad)) != A_Err_NONE);
        QVERIFY(isDirty(s));
        QCOMPARE(host.project().model().path(), QString());
        AEGP_ProjectH p = nullptr;
        QVERIFY(s.proj->AEGP_OpenProjectFromPath(HostSuites::u16(dir.filePath("none.aep")), &p) !=
                A_Err_NONE);
        QCOMPARE(walkNames(s), QStringList{"A00"});

        // A disk that fills up during the save: the project saved before stays whole.
        const QString good = dir.filePath("scene.aep");
        QCOMPARE(s.proj->AEGP_SaveProjectAs(s.project(), HostSuites::u16(good)), A_Err_NONE);
        QFile file(good);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        for (int i = 0; i < 100; ++i)
            s.newComp(QStringLiteral("Comp %1").arg(i));
        QString why;
        bool saved = true;
        {
            const FileSizeLimit limit(before.size() + 512);
            saved = host.project().saveProject(good, &why);
        }
        QVERIFY(!saved);
        QVERIFY2(why.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(why));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"plain.txt", "scene.aep"}));
        QVERIFY(isDirty(s));
    }

    // Every malformed project file is refused with a message and leaves the open project as it
    // was, whether opened or imported into the project.
    void malformedProjectFiles()
    {
        const QDir data(qEnvironmentVariable("CELLKIT_SOURCE_DIR") + "/tests/data/illegal");
        const QStringList files = data.entryList({"testhost-project-*.json"}, QDir::Files);
        QVERIFY(files.size() >= 10);
        TestHost host;
        HostSuites s(host);
        s.newComp(QStringLiteral("Kept"));
        const QByteArray before = itemsOf(host.project().model());
        for (const QString &name : files) {
            QString error;
            QVERIFY2(!host.project().openProject(data.filePath(name), &error), qPrintable(name));
            QFile expected(data.filePath(name + ".expected"));
            QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(name));
            const QString fragment = QString::fromUtf8(expected.readAll()).trimmed();
            QVERIFY2(error.contains(fragment), qPrintable(name + ": " + error));
            QString result, scriptError;
            host.project().runScript(
                QStringLiteral(
                    "var o=new ImportOptions(File('%1'));o.importAs = ImportAsType.PROJECT;"
                    "var g=app.project.importFile(o);")
                    .arg(data.filePath(name)),
                &result, &scriptError);
            QVERIFY2(scriptError.contains(fragment), qPrintable(name + ": " + scriptError));
            QCOMPARE(itemsOf(host.project().model()), before);
        }
    }
};

QTEST_MAIN(TestTesthostSuites)
#include "tst_testhost_suites.moc"
