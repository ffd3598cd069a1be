// The test host's script engine: the composition scripts the plug-in sends (import/HostScripts),
// results and error texts, and the time limit.
#include "HostSuites.h"
#include "TestFiles.h"
#include "import/HostScripts.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Runs a text through AEGP_ExecuteScript, as the plug-in's RunScript does.
std::pair<QString, QString> execute(const HostSuites &s, const QString &compName,
                                    const QString &script)
{
    const QByteArray text =
        (compName.isEmpty() ? script : compNamePrefix(compName, script)).toUtf8();
    AEGP_MemHandle result = nullptr, error = nullptr;
    if (s.utility->AEGP_ExecuteScript(0, text.constData(), false, &result, &error) != A_Err_NONE)
        return {QStringLiteral("<call failed>"), QString()};
    return {s.takeUtf8(result), s.takeUtf8(error)};
}

ProjectItem *compNamed(const ProjectModel &model, const QString &name)
{
    ProjectItem *found = nullptr;
    for (ProjectItem *i : model.items())
        if (i->type == AEGP_ItemType_COMP && i->name == name)
            found = i;
    return found;
}

QStringList layerNames(const ProjectItem *comp)
{
    QStringList names;
    if (comp)
        for (const auto &l : comp->layers)
            names << l->name;
    return names;
}

} // namespace

class TestTesthostScripts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Layers c1..cN are added on top one by one through AEGP_AddLayer (cN ends on top), then
    // the precomposition template runs for the current composition "A00".
    void precompositionTemplate_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("indices");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("after"); // A00 top first
        QTest::addColumn<QStringList>("inner"); // the new composition, top first
        QTest::addColumn<QString>("error");     // a fragment of the error text
        const auto row = [](const char *name, int columns, const QString &current,
                            const QString &indices, const QString &folder, const QStringList &after,
                            const QStringList &inner, const QString &error = QString()) {
            QTest::newRow(name) << columns << current << indices << folder << after << inner
                                << error;
        };
        const QStringList two{"c2.png", "c1.png"};
        row("a folder's two columns", 2, "A00", "[1,2]", "BG", {"BG"}, two);
        row("middle layers", 4, "A00", "[2,3]", "P", {"c4.png", "P", "c1.png"},
            {"c3.png", "c2.png"});
        row("a folder that added nothing", 2, "A00", "[]", "BG", two, {}, "out of range");
        row("no composition of that name", 2, "Nope", "[1,2]", "BG", two, {});
        row("a quote in the folder name", 2, "A00", "[1,2]", "it's", {"it's"}, two);
    }
    void precompositionTemplate()
    {
        QFETCH(int, columns);
        QFETCH(QString, current);
        QFETCH(QString, indices);
        QFETCH(QString, folder);
        QFETCH(QStringList, inner);
        QFETCH(QString, error);
        QTemporaryDir dir;
        TestHost host;
        HostSuites s(host);
        // An older composition of the same name, earlier in the walk: scripts take the last
        // one in item order.
        AEGP_ItemH archive = nullptr, scenes = nullptr;
        s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("Archive")), nullptr, &archive);
        s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("Scenes")), nullptr, &scenes);
        AEGP_CompH older = s.newComp(QStringLiteral("A00"), archive);
        AEGP_CompH comp = s.newComp(QStringLiteral("A00"), scenes, 1280, 720);
        for (int n = 1; n <= columns; ++n) {
            const QString file = QStringLiteral("c%1.png").arg(n);
            touchFiles(dir.path(), {file});
            AEGP_ItemH col = s.importFile(dir.filePath(file), false);
            QCOMPARE(s.layer->AEGP_AddLayer(col, comp, nullptr), A_Err_NONE);
            s.layer->AEGP_AddLayer(col, older, nullptr);
        }
        const auto [result, errorText] = execute(s, current, precomposeScript(indices, folder));
        const ProjectModel &model = host.project().model();
        ProjectItem *a00 = reinterpret_cast<ProjectItem *>(s.itemOf(comp));
        QTEST(layerNames(a00), "after");
        // The older composition of that name is left alone.
        QCOMPARE(int(reinterpret_cast<ProjectItem *>(s.itemOf(older))->layers.size()), columns);
        if (error.isEmpty()) {
            QCOMPARE(errorText, QString());
        } else {
            QVERIFY2(errorText.startsWith("Error: ") && errorText.contains(error),
                     qPrintable(errorText));
            QCOMPARE(result, QString());
        }
        ProjectItem *made = inner.isEmpty() ? nullptr : compNamed(model, folder);
        QCOMPARE(layerNames(made), inner);
        if (!made)
            return;
        QCOMPARE(result, QStringLiteral("[object CompItem]"));
        // In the scene's folder, with its size, duration and rate.
        const auto shape = [](const ProjectItem *c) {
            return QStringLiteral("%1 %2x%3 %4s %5fps")
                .arg(c->parent->name)
                .arg(c->width)
                .arg(c->height)
                .arg(double(c->duration.value) / c->duration.scale)
                .arg(double(c->frameRate.num) / c->frameRate.den);
        };
        QCOMPARE(shape(made), shape(a00));
        QVERIFY(std::any_of(a00->layers.begin(), a00->layers.end(),
                            [made](const auto &l) { return l->source == made; }));
    }

    void projectColumn()
    {
        QTemporaryDir dir;
        touchFiles(dir.path(), {"A0001.png", "A0002.png"});
        const QString aep = dir.filePath("template.aep");
        TestHost host;
        HostSuites s(host);
        {
            AEGP_ItemH f = nullptr;
            s.item->AEGP_CreateNewFolder(HostSuites::u16(QStringLiteral("Chars")), nullptr, &f);
            AEGP_CompH t = s.newComp(QStringLiteral("T"), f);
            AEGP_CompH inner = s.newComp(QStringLiteral("Inner"));
            s.layer->AEGP_AddLayer(s.importFile(dir.filePath("A0001.png"), true, f), inner,
                                   nullptr);
            s.layer->AEGP_AddLayer(s.itemOf(inner), t, nullptr);
            QString why;
            QVERIFY2(host.project().saveProject(aep, &why), qPrintable(why));
        }
        host.project().newProject();
        AEGP_CompH comp = s.newComp(QStringLiteral("A00"));
        auto [result, error] = execute(s, QStringLiteral("A00"), aepColumnScript(aep));
        QCOMPARE(error, QString());
        QCOMPARE(result, QStringLiteral("3815")); // the last statement with a value: importAs
        const ProjectModel &model = host.project().model();
        QStringList walk;
        for (const ProjectItem *i : model.items())
            walk << QString::number(i->parent->id) + ":" + i->name;
        QCOMPARE(walk, (QStringList{"1:A00", "1:template.aep", "3:Chars", "4:T",
                                    "4:A[0001-0002].png", "3:Inner"}));
        QCOMPARE(reinterpret_cast<ProjectItem *>(s.itemOf(comp))->layers.size(), size_t(0));
        ProjectItem *inner = compNamed(model, QStringLiteral("Inner"));
        QCOMPARE(compNamed(model, QStringLiteral("T"))->layers.front()->source, inner);
        QCOMPARE(inner->layers.front()->source->files.size(), 2);

        std::tie(result, error) =
            execute(s, QStringLiteral("A00"), aepColumnScript(dir.filePath("none.aep")));
        QVERIFY2(error.contains("does not exist"), qPrintable(error));
        QCOMPARE(model.items().size(), size_t(6));
    }

    void resultsAndErrors_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const QString &script, const QString &result,
                            const QString &error) {
            QTest::newRow(name) << script << result << error;
        };
        row("value of the last statement", "var a = 2;\na * 21", "42", "");
        row("thrown error", "var a;\n\nthrow new Error('boom');", "", "Error: boom (line 3)");
        row("object model error on line 2", "var n = 1;\napp.project.item(99);", "",
            "Error: Item index 99 out of range (line 2)");
        row("syntax error", "var x = ;", "", "Error: Expected token `numeric literal' (line 1)");
        row("compiled script", "@JSXBIN@ES@2.0@MyBbyBn0ABJAnA", "",
            "Error: compiled binary scripts (JSXBIN) cannot run on this host (line 1)");
        const QString comp = "var c = app.project.items.addComp('C', 100, 100, 1, 10, 25);\n";
        row("layer of a folder", comp + "c.layers.add(app.project.items.addFolder('F'));", "",
            "Error: Unable to call \"add\" because this item cannot be a layer of this "
            "composition (line 2)");
        row("keep-attributes with two layers", comp + "c.layers.precompose([1, 2], 'P', false);",
            "", "Error: Unable to call \"precompose\" because of parameter 3. (line 2)");
    }
    void resultsAndErrors()
    {
        QFETCH(QString, script);
        TestHost host;
        QString result, error;
        host.project().runScript(script, &result, &error);
        QTEST(result, "result");
        QTEST(error, "error");
        QCOMPARE(host.project().scriptRuns().back().text, script);
    }

    // One scripting environment for the whole session, as on the real host: what a script
    // defines stays for the next one, while the object model follows the project open now.
    void oneEnvironmentPerSession()
    {
        TestHost host;
        QString result, error;
        host.project().runScript(QStringLiteral("var _CurCompName = 'SC01';\n"
                                                "function twice(x) { return 2 * x; }\n"
                                                "var kept = app.project.items.addFolder('F');"),
                                 &result, &error);
        QCOMPARE(error, QString());
        host.project().newProject();
        host.project().runScript(
            QStringLiteral("[_CurCompName, twice(21), app.project.numItems].join(' ')"), &result,
            &error);
        QCOMPARE(error, QString());
        QCOMPARE(result, QStringLiteral("SC01 42 0"));
        // An item of the closed project is not taken for an item of the open one.
        host.project().model().addFolder(QStringLiteral("G"), host.project().model().root());
        host.project().runScript(QStringLiteral("kept.name"), &result, &error);
        QCOMPARE(error, QStringLiteral("Error: Object is invalid (line 1)"));
    }

    void endlessScriptIsStopped()
    {
        TestHost host;
        host.project().setScriptTimeLimit(200);
        QString result, error;
        host.project().runScript(QStringLiteral("var kept = 1; while (true) {}"), &result, &error);
        QVERIFY2(error.contains("stopped"), qPrintable(error));
        // The session goes on: the next script runs, in the same environment.
        host.project().runScript(QStringLiteral("6 * 7 + kept"), &result, &error);
        QCOMPARE(error, QString());
        QCOMPARE(result, QStringLiteral("43"));
    }

    // A script file run through $.evalFile (as the plug-in runs its launcher and batch
    // scripts) knows its own file while it runs, nested files included, whatever characters
    // the path holds; its errors give the line in that file.
    void scriptFileKnowsItsName_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << QStringLiteral("scripts");
        QTest::newRow("quote, backslash, non-Latin") << QStringLiteral("it's \\ é日本");
    }
    void scriptFileKnowsItsName()
    {
        QFETCH(QString, folder);
        QTemporaryDir dir;
        const QString a = dir.filePath(folder + "/a.jsx");
        const QString b = dir.filePath(folder + "/b.jsx");
        QVERIFY(writeFile(a, "var before = $.fileName;\n"
                             "var inner = $.evalFile(before.replace(/a\\.jsx$/, 'b.jsx'));\n"
                             "[before, inner, before == $.fileName].join('|')"));
        QVERIFY(writeFile(b, "var fromB = 1;\n$.fileName"));
        TestHost host;
        HostSuites s(host);
        auto [result, error] = execute(s, QString(), evalFileScript(a));
        QCOMPARE(error, QString());
        QCOMPARE(result, a + "|" + b + "|true");
        std::tie(result, error) = execute(s, QString(), QStringLiteral("$.fileName + fromB"));
        QCOMPARE(result, QStringLiteral("1"));

        QVERIFY(writeFile(b, "var x;\nthrow new Error('boom');"));
        std::tie(result, error) = execute(s, QString(), evalFileScript(b));
        QCOMPARE(error, QStringLiteral("Error: boom (line 2)"));
    }
};

QTEST_MAIN(TestTesthostScripts)
#include "tst_testhost_scripts.moc"
