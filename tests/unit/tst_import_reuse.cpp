// The keyed search for footage to reuse gives the item the walk over the project gives: the
// first item, in item order, that SameFootage calls equal. Checked on generated projects whose
// paths differ in case, separators, digits and extensions, so that keys collide often.
#include "import/vipLi.h"

#include <QRandomGenerator>
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
};

QTEST_GUILESS_MAIN(TestImportReuse)
#include "tst_import_reuse.moc"
