// The keyed search for footage to reuse gives the item the walk over the project gives: the
// first item, in item order, that SameFootage calls equal. Checked on generated projects whose
// paths differ in case, separators, digits and extensions, so that keys collide often; then on
// Create AE runs in a test host, where the host work per element must not grow with the
// elements already made, and elements imported by other means must still be found.
#include "TestFiles.h"
#include "import/CreateSceneSource.h"
#include "import/HostConnection.h"
#include "import/SceneCreation.h"
#include "import/SceneImport.h"
#include "import/vipLi.h"
#include "testhost/core/SuiteRegistry.h"
#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Item
{
    QString path;
    int files = 1;
    AEGP_ItemH handle = nullptr;
};

QString pick(QRandomGenerator &random, const QStringList &choices)
{
    return choices.at(random.bounded(choices.size()));
}

QString randomPath(QRandomGenerator &random)
{
    const QString ext = pick(random, {".png", ".PNG", ".tga", "", ".mov"});
    return pick(random, {"/s/BG/", "/S/bg/", "/s\\bg/", "/t/"}) + pick(random, {"A", "a", "B_"}) +
           pick(random, {"", "1", "0001", "0002", "12"}) + ext;
}

QVector<Item> randomItems(QRandomGenerator &random, int count, int firstHandle)
{
    QVector<Item> items;
    for (int i = 0; i < count; ++i) {
        const int files = random.bounded(3) == 0 ? 24 : 1;
        items.append({randomPath(random), files,
                      reinterpret_cast<AEGP_ItemH>(quintptr(firstHandle + i) * 16)});
    }
    return items;
}

// The items SameFootage calls equal to (path, type), in the given order.
QVector<AEGP_ItemH> equalItems(const QVector<Item> &order, const QString &path, int type)
{
    QVector<AEGP_ItemH> equal;
    for (const Item &item : order)
        if (SameFootage(item.path, path, type, item.files))
            equal << item.handle;
    return equal;
}

// A found element of the scene tree, as Create AE takes it.
SceneElementToCreate element(const QString &file, const QString &layerDir, int type)
{
    return {QFileInfo(file).completeBaseName(), QFileInfo(file).fileName(), file, layerDir, type,
            true};
}

// A Create Scene side that hands over one scene to create.
class OneScene : public CreateSceneSource
{
public:
    QVector<SceneToCreate> selectedScenes() const override { return {scene}; }
    QString destinationDir() const override { return destination; }

    SceneToCreate scene{QStringLiteral("SC01"), {}};
    QString destination;
};

// Create AE of the scene in a test host of its own: `inspect` sees the project it leaves open,
// and the counts of the named host calls are returned.
template <typename Inspect>
QVector<int> createScene(const OneScene &source, const QByteArrayList &counted, Inspect inspect)
{
    TestHost host;
    HostConnection connection(host.basicSuite(), 7);
    for (const QByteArray &call : counted)
        host.faults().countCalls(call);
    ImportOptions options;
    options.newProject = false;
    SceneImport preparation(options, const_cast<OneScene &>(source));
    SceneCreation(options, const_cast<OneScene &>(source), preparation).CreateScene();
    inspect(host.project().model());
    QVector<int> calls;
    for (const QByteArray &call : counted)
        calls << host.faults().calls(call);
    return calls;
}

// The footage items of the project whose first file is `path`.
QVector<const ProjectItem *> footageOf(const ProjectModel &model, const QString &path)
{
    QVector<const ProjectItem *> found;
    for (const ProjectItem *item : model.items())
        if (item->type == AEGP_ItemType_FOOTAGE && item->files.value(0) == path)
            found << item;
    return found;
}

} // namespace

class TestImportReuse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Items added since the walk may have been filed anywhere in the item order: whatever the
    // keys decide holds for every place, and they decline only when the place matters.
    void sameItemAsTheWalk()
    {
        QRandomGenerator random(7);
        int found = 0;
        int declined = 0;
        for (int project = 0; project < 50; ++project) {
            const QVector<Item> walked = randomItems(random, 10, 1);
            const QVector<Item> added = randomItems(random, project % 2 ? 3 : 0, 100);
            FootageKeys keys;
            for (const Item &item : walked)
                keys.insert(item.path, item.handle, item.files, true);
            for (const Item &item : added)
                keys.insert(item.path, item.handle, item.files, false);
            for (int query = 0; query < 40; ++query) {
                const QString path = randomPath(random);
                const int type = 1 + random.bounded(3);
                AEGP_ItemH item = nullptr;
                if (!keys.lookUp(path, type, &item)) {
                    QVERIFY(equalItems(walked + added, path, type).size() > 1);
                    QVERIFY(!equalItems(added, path, type).isEmpty());
                    ++declined;
                    continue;
                }
                for (int placing = 0; placing < 5; ++placing) {
                    QVector<Item> order = walked;
                    for (const Item &a : added)
                        order.insert(random.bounded(order.size() + 1), a);
                    QCOMPARE(item, equalItems(order, path, type).value(0));
                }
                found += item != nullptr;
            }
        }
        // The paths collide often enough for both cases to be tried.
        QVERIFY(found > 200);
        QVERIFY(declined > 0);
    }

    // Each element costs the same host calls however many were made before it: no walk over
    // the project's items per element, neither for footage to reuse nor for its folder.
    void createSceneWorkPerElementIsConstant()
    {
        QTemporaryDir dir;
        QVector<QVector<int>> runs;
        for (const int elements : {10, 20, 40}) {
            OneScene source;
            source.destination = dir.filePath("out");
            for (int n = 0; n < elements; ++n) {
                const QString file = dir.filePath(QStringLiteral("lib/a%1.png").arg(n));
                QVERIFY(writeFile(file));
                source.scene.elements.append(
                    element(file, n % 2 ? QStringLiteral("CHARS") : QStringLiteral("PROPS"), 6));
            }
            int layers = 0;
            runs << createScene(source, {"AEGP_GetNextProjItem", "AEGP_GetFootagePath"},
                                [&layers](const ProjectModel &model) {
                                    for (const ProjectItem *i : model.items())
                                        layers += int(i->layers.size());
                                });
            QCOMPARE(layers, elements);
        }
        for (int call = 0; call < 2; ++call)
            QCOMPARE(runs[2][call] - runs[1][call], 2 * (runs[1][call] - runs[0][call]));
    }

    // Between two stills of Create AE a movie goes in by other means: a still of the same
    // file then takes the movie's item, as the walk over the project would.
    void createSceneSeesElementsImportedBetween()
    {
        QTemporaryDir dir;
        OneScene source;
        source.destination = dir.filePath("out");
        const QString still = dir.filePath("lib/a.png");
        const QString movie = dir.filePath("lib/x.mov");
        QVERIFY(writeFile(still) && writeFile(movie));
        source.scene.elements = {element(still, "CHARS", 6), element(movie, QString(), 3),
                                 element(movie, "CHARS", 6), element(still, "PROPS", 6)};
        createScene(source, {}, [&](const ProjectModel &model) {
            const auto movies = footageOf(model, movie);
            const auto stills = footageOf(model, still);
            QCOMPARE(movies.size(), 1);
            QCOMPARE(movies.first()->parent->name, QStringLiteral("ELEMENTS"));
            QCOMPARE(stills.size(), 1);
            QCOMPARE(stills.first()->parent->name, QStringLiteral("CHARS"));
        });
    }
};

QTEST_GUILESS_MAIN(TestImportReuse)
#include "tst_import_reuse.moc"
