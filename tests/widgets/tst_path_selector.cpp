// The path selector: what counts as a path, how placeholders resolve, and which kind of chooser
// (file or directory) it offers after each way of setting its path.
#include "widgets/WPathSelector.h"

#include "RecordedUser.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// Fills %02e with 5 the way the Create Scene tab does (the scene placeholder stays).
QString episodeFive(const QString &path)
{
    QString out = path;
    return out.replace(QLatin1String("%02e"), QLatin1String("05"));
}

// The entries of the selector's menu, read while it is open, then closed.
QStringList menuEntries(WPathSelector &selector)
{
    QStringList entries;
    QTimer::singleShot(0, [&entries]() {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("--") : action->text());
        menu->close();
    });
    selector.OnPopupMenuPoint();
    return entries;
}

} // namespace

class TestPathSelector : public QObject
{
    Q_OBJECT

    RecordedUser m_user;
    AnsweringPrompts &m_prompts = m_user.prompts;

private Q_SLOTS:
    void init() { m_user.forget(); }

    void resolvedPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("resolver");
        QTest::addColumn<QString>("resolved");
        QTest::addColumn<bool>("warned");
        const auto row = [](const char *name, const QString &typed, bool resolver,
                            const QString &resolved, bool warned) {
            QTest::newRow(name) << typed << resolver << resolved << warned;
        };
        row("hint", "Select SceneList", true, "", false);
        row("resolved", " D:\\prod\\EP%02e\\t.aep ", true, "D:/prod/EP05/t.aep", false);
        row("no resolver", "/prod/EP%02e", false, "/prod/EP%02e", true);
        row("scene stays", "/prod/%a", true, "/prod/%a", true);
    }
    void resolvedPath()
    {
        QFETCH(QString, typed);
        QFETCH(bool, resolver);
        QFETCH(QString, resolved);
        QFETCH(bool, warned);
        WPathSelector selector;
        if (resolver)
            selector.setPlaceholderResolver(episodeFive);
        selector.lineEdit()->setText(typed);
        QCOMPARE(selector.resolvedPath(), resolved);
        QCOMPARE(m_user.log.filter("-WAR- WPathSelector % unresolved:").size(), warned ? 1 : 0);
    }

    // setPath only ever turns a selector into a file selector; a chosen directory turns it back;
    // a cancelled chooser changes nothing.
    void kindFollowsThePath()
    {
        WPathSelector selector;
        QSignalSpy changed(&selector, &WPathSelector::pathChanged);
        QCOMPARE(menuEntries(selector), (QStringList{"Select Directory...", "--"}));
        selector.setPath("/prod/layout/t.aep");
        QVERIFY(selector.isFile());
        QCOMPARE(menuEntries(selector),
                 (QStringList{"Select File...", "--", "Open Directory: /prod/layout"}));
        selector.setPath("/prod/out");
        QVERIFY(selector.isFile());
        m_prompts.answerPath(QString());
        selector.selectDirectory("/prod");
        QVERIFY(selector.isFile());
        QCOMPARE(changed.count(), 2);
        m_prompts.answerPath("/prod/scenes");
        selector.selectDirectory("/prod");
        QVERIFY(!selector.isFile());
        QCOMPARE(selector.rawText(), QString("/prod/scenes"));
        QCOMPARE(changed.count(), 3);
    }
};

QTEST_MAIN(TestPathSelector)
#include "tst_path_selector.moc"
