// Scene imports through the real module in the test host, as a user runs them: the input
// directory set, the scene folders selected, Import pressed, one idle call. Scenes are written
// to a temporary folder; the checks read the host's project, the files written and the log.
#include "ModulePanel.h"
#include "TestFiles.h"
#include "testhost/core/SuiteRegistry.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <utility>

namespace {

// key0001.png .. key<count>.png in dir.
bool writeSequence(const QString &dir, const QString &key, int count)
{
    for (int n = 1; n <= count; ++n)
        if (!writeImage(
                QStringLiteral("%1/%2%3.png").arg(dir, key).arg(n, 4, 10, QLatin1Char('0'))))
            return false;
    return true;
}

// A flat 4x2 Photoshop file: the header is what the host reads of it.
QByteArray psdBytes()
{
    QByteArray out("8BPS\x00\x01", 6);
    out += QByteArray(6, '\0');
    out += QByteArray("\x00\x03\x00\x00\x00\x02\x00\x00\x00\x04\x00\x08\x00\x03", 14);
    out += QByteArray(14, '\0');
    return out + QByteArray(24, '\0');
}

// A descriptor whose top folder "A00" holds the given column lines.
QByteArray descriptor(const QString &cols, int nbIma = 10, int frameRate = 25)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                          "<!DOCTYPE quillMarkExpo>\n"
                          "<expo name=\"RENDER\" nbIma=\"%1\" frameRate=\"%2\" >\n"
                          "<size dx=\"64\" dy=\"48\" />\n<cols name=\"A00\">\n%3</cols>\n</expo>\n")
        .arg(nbIma)
        .arg(frameRate)
        .arg(cols)
        .toLatin1();
}

// A column line; a sequence column names its first cell <name>0001.
QString col(const QString &name, const QString &ext = QStringLiteral("png"),
            const QString &type = QStringLiteral("fixe"), const QString &folder = QString(),
            const QString &subdir = QString())
{
    const QString firstCell = type == QLatin1String("anim") && ext == QLatin1String("png")
                                  ? name + QStringLiteral("0001")
                                  : name;
    return QStringLiteral("<col name=\"%1\"  type=\"%2\" subdir=\"%3\" ext=\"%4\" "
                          "firstCellName=\"%5\" folder=\"%6\" />\n")
        .arg(name, type, subdir, ext, firstCell, folder);
}

// <dir>/BG.png and the hand-written descriptor <dir>/<name>.xml importing it.
bool writeBackgroundScene(const QString &dir)
{
    return writeImage(dir + "/BG.png") &&
           writeFile(dir + "/" + QFileInfo(dir).fileName() + ".xml", descriptor(col("BG")));
}

QStringList layerNames(const ProjectItem *comp)
{
    QStringList names;
    for (const auto &layer : comp->layers)
        names << layer->name;
    return names;
}

int savedComps(const QString &path)
{
    const QJsonArray items = QJsonDocument::fromJson(readFile(path))["items"].toArray();
    return int(std::count_if(items.begin(), items.end(),
                             [](const QJsonValue &item) { return item["type"] == "comp"; }));
}

} // namespace

class TestImportScenes : public QObject
{
    Q_OBJECT

private:
    template <typename T> T *widget(const char *name) const { return m_module.widget<T>(name); }

    ProjectModel &model() const { return m_module.host->project().model(); }

    ProjectItem *item(const QString &name, A_short type) const
    {
        for (ProjectItem *i : model().items())
            if (i->name == name && i->type == type)
                return i;
        return nullptr;
    }
    ProjectItem *comp(const QString &name) const { return item(name, AEGP_ItemType_COMP); }
    int countOf(A_short type) const
    {
        const auto &items = model().items();
        return int(std::count_if(items.begin(), items.end(),
                                 [type](const ProjectItem *i) { return i->type == type; }));
    }

    QString log() const { return m_module.logText().mid(m_logMark); }

    // A question counts as asked whether the module shows a box (answered by the watcher) or
    // has no dialogs and logs it.
    bool asked(const QString &text) const
    {
        return !m_module.boxes.filter(text).isEmpty() ||
               (log().contains("-WAR- Prompts: no dialog available") && log().contains(text));
    }

    // The template switch and path, set on the Create Scene tab.
    void setTemplate(bool useTemplate, const QString &templatePath)
    {
        widget<QCheckBox>("ckUseTemplateFile")->setChecked(useTemplate);
        QMetaObject::invokeMethod(widget<QWidget>("pbSelectFlashTemplate"), "setPath",
                                  Q_ARG(QString, templatePath));
    }

    bool runImport(const QString &root, const QStringList &scenes)
    {
        widget<QPushButton>("pbImpInputDir")->setText(root);
        widget<QPushButton>("pbImpRefreshInputDir")->click();
        auto *list = widget<QListWidget>("lwImpInputDir");
        list->clearSelection();
        for (const QString &scene : scenes) {
            const QList<QListWidgetItem *> found = list->findItems(scene, Qt::MatchExactly);
            if (found.size() != 1)
                return false;
            found.first()->setSelected(true);
        }
        widget<QPushButton>("pb_importScene")->click();
        m_module.host->idle();
        return true;
    }

    ModulePanel m_module;
    QTemporaryDir *m_scenes = nullptr;
    bool m_stopAfterFirstScene = false;
    int m_logMark = 0;

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_module.load(this, &error, "imptest"), qPrintable(error));
        QVERIFY(m_module.panel());
        // Presses Stop once the first scene is under way, when a case asks to.
        m_module.onEachTick = [this] {
            auto *progress = widget<QProgressDialog>("importProgress");
            if (m_stopAfterFirstScene && progress && progress->isVisible() &&
                progress->labelText().startsWith("Scene 1 of"))
                progress->cancel();
        };
    }

    void init()
    {
        m_scenes = new QTemporaryDir;
        QVERIFY(m_scenes->isValid());
        m_module.host->project().newProject();
        m_module.host->faults().clear();
        m_module.boxes.clear();
        m_module.answers.clear();
        m_stopAfterFirstScene = false;
        setTemplate(false, QString());
        for (const char *box : {"ckImpNewProject", "ckImpCreateZeroIma", "ckImpUseShellComp"})
            widget<QCheckBox>(box)->setChecked(false);
        widget<QCheckBox>("ckImpUseXml")->setChecked(true);
        widget<QComboBox>("cbImpPrecomp")->setCurrentIndex(0);
        widget<QLineEdit>("efImpCompName")->clear();
        widget<QLineEdit>("efImpOutputFileName")->clear();
        m_logMark = m_module.logText().size();
    }

    void cleanup() { delete std::exchange(m_scenes, nullptr); }

    // One project per scene, saved beside it; a failed save is reported and the next goes on.
    void batchModeSavesOneProjectPerScene()
    {
        const QString root = m_scenes->path();
        QVERIFY(writeSequence(root + "/SC01", "A", 3));
        QVERIFY(writeSequence(root + "/SC02", "B", 2) && writeSequence(root + "/SC03", "C", 1));
        QVERIFY(writeImage(root + "/SC02/BG.png"));
        widget<QCheckBox>("ckImpNewProject")->setChecked(true);
        m_module.host->faults().failCall("AEGP_SaveProjectAs", A_Err_GENERIC, 1);

        QVERIFY(runImport(root, {"SC01", "SC02", "SC03"}));

        QVERIFY(!QFileInfo::exists(root + "/SC01/SC01.aep"));
        QVERIFY(log().contains("-ERR- SaveSceneProject") &&
                log().contains(root + "/SC01/SC01.aep"));
        for (const QString scene : {"SC02", "SC03"}) {
            QCOMPARE(savedComps(root + "/" + scene + "/" + scene + ".aep"), 1);
            QVERIFY(
                QFileInfo::exists(root + "/" + scene + "/" + scene + "-QUILLMARK-GENERATED.xml"));
        }
        // The last scene's project stays open.
        QCOMPARE(QFileInfo(model().path()).fileName(), QStringLiteral("SC03.aep"));
        QCOMPARE(countOf(AEGP_ItemType_COMP), 1);
        QVERIFY(!widget<QProgressDialog>("importProgress"));
        QVERIFY(log().contains("-END- ImportScene"));
    }

    void handWrittenDescriptorOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("useXml");
        QTest::newRow("asked") << true;
        QTest::newRow("not asked") << false;
    }
    void handWrittenDescriptorOnlyWhenAsked()
    {
        QFETCH(bool, useXml);
        const QString scene = m_scenes->path() + "/SC01";
        QVERIFY(writeSequence(scene, "A", 2));
        QVERIFY(writeImage(scene + "/Decor/K.png"));
        QVERIFY(writeFile(scene + "/SC01.xml", descriptor(col("K", "png", "fixe", "", "/Decor"))));
        widget<QCheckBox>("ckImpUseXml")->setChecked(useXml);

        QVERIFY(runImport(m_scenes->path(), {"SC01"}));

        const bool generated = QFileInfo::exists(scene + "/SC01-QUILLMARK-GENERATED.xml");
        QCOMPARE(generated, !useXml);
        if (useXml) {
            ProjectItem *c = comp("SC01");
            QVERIFY(c);
            QCOMPARE(layerNames(c), QStringList{"K.png"});
            QCOMPARE(c->duration.value, 10);
            QCOMPARE(c->duration.scale, A_u_long(25));
        } else {
            QVERIFY(comp("SC01-QUILLMARK-GENERATED"));
        }
    }

    // A scene that gives no image says why: the file extensions left all its files out, or
    // there is no file at all.
    void aSceneWithoutImagesSaysWhy_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("warning");
        QTest::newRow("filtered out")
            << QStringList{"A0001.tga", "A0002.tga", "sub/BG.TGA", "notes"}
            << "no file of the scene folder matched the file extensions [*.png,*.mov]; it holds "
               "(no extension) (1), *.tga (3)";
        QTest::newRow("empty") << QStringList{"sub/"}
                               << "the scene folder [%1] holds no file to import; its "
                                  "composition stays empty";
    }
    void aSceneWithoutImagesSaysWhy()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, warning);
        const QString scene = m_scenes->path() + "/SC01";
        for (const QString &file : files)
            QVERIFY(file.endsWith('/') ? QDir().mkpath(scene + "/" + file)
                                       : writeFile(scene + "/" + file));
        widget<QLineEdit>("efImpFileExtensions")->setText("*.png,*.mov");

        QVERIFY(runImport(m_scenes->path(), {"SC01"}));

        QVERIFY2(log().contains("-WAR- ImportSceneFromDir [SC01]: " + warning.arg(scene)),
                 qPrintable(log()));
    }

    void oneFootageItemForASequenceImportedTwice()
    {
        const QString scene = m_scenes->path() + "/SC01";
        QVERIFY(writeSequence(scene, "A", 3));
        QVERIFY(writeFile(scene + "/SC01.xml",
                          descriptor(col("A", "png", "anim") + col("A", "png", "anim"), 3, 12)));
        widget<QCheckBox>("ckImpCreateZeroIma")->setChecked(true);

        QVERIFY(runImport(m_scenes->path(), {"SC01"}));

        QVERIFY2(QFileInfo::exists(scene + "/A0000.png"), qPrintable(log()));
        QCOMPARE(countOf(AEGP_ItemType_FOOTAGE), 1);
        ProjectItem *c = comp("SC01");
        QVERIFY(c);
        QCOMPARE(int(c->layers.size()), 2);
        ProjectItem *footage = c->layers.front()->source;
        QCOMPARE(c->layers.back()->source, footage);
        QCOMPARE(footage->files.size(), 4); // the zero image is the first frame
        QCOMPARE(footage->conformFps, 12.0);
    }

    // A template that is not there stops the run before anything is built.
    void missingTemplateImportsNothing()
    {
        const QString templatePath = m_scenes->path() + "/template/layout.aep";
        QVERIFY(writeBackgroundScene(m_scenes->path() + "/SC01"));
        setTemplate(true, templatePath);

        QVERIFY(runImport(m_scenes->path(), {"SC01"}));

        QVERIFY(asked(QStringLiteral("Template File [%1] not found").arg(templatePath)));
        QVERIFY(!comp("SC01"));
    }

    void quotesInPathsStayInsideTheScripts()
    {
        const QString folder = QStringLiteral("B'G');app.project.items.addFolder('INJECTED');('");
        const QString root = m_scenes->path() + "/it's";
        const QString scene = root + "/SC'01";
        QVERIFY(writeImage(scene + "/c1.png"));
        QVERIFY(writeFile(scene + "/P.psd", psdBytes()));
        QVERIFY(
            writeFile(scene + "/SC'01.xml", descriptor("<cols name=\"" + folder + "\">\n" +
                                                       col("c1") + "</cols>\n" + col("P", "psd"))));
        widget<QComboBox>("cbImpPrecomp")->setCurrentIndex(1);

        QVERIFY(runImport(root, {"SC'01"}));

        ProjectItem *c = comp("SC'01");
        QVERIFY(c);
        QCOMPARE(layerNames(c), QStringList({"P", folder}));
        QVERIFY(comp(folder));
        QVERIFY(!item("INJECTED", AEGP_ItemType_FOLDER));
        QVERIFY2(!log().contains("Error:"), qPrintable(log()));
    }

    // Batch scripts run after the scene behind its composition name, know their own file
    // (the folder's name needs escaping in a script text), and a failing one is named.
    void batchScriptsKnowTheirFile()
    {
        const QString scripts = m_scenes->path() + QStringLiteral("/it's \\ é日本");
        QVERIFY(writeFile(scripts + "/BATCH_mark.jsx",
                          "app.project.items.addFolder(_CurCompName + ' ' + "
                          "File($.fileName).name);"));
        QVERIFY(writeFile(scripts + "/batch_fail.jsx", "var x;\nthrow new Error('nope');"));
        QVERIFY(writeBackgroundScene(m_scenes->path() + "/SC01"));
        auto *list = widget<QListWidget>("lwScript");
        list->addItems({scripts + "/BATCH_mark.jsx", scripts + "/batch_fail.jsx"});

        QVERIFY(runImport(m_scenes->path(), {"SC01"}));
        list->clear();

        QVERIFY(item("SC01 BATCH_mark.jsx", AEGP_ItemType_FOLDER));
        QVERIFY2(
            log().contains("-ERR- Script [" + scripts + "/batch_fail.jsx]: Error: nope (line 2)"),
            qPrintable(log()));
    }

    void cancelOnAModifiedProjectImportsNothing()
    {
        model().addFolder("Unsaved work", model().root());
        QVERIFY(model().dirty());
        const QString scene = m_scenes->path() + "/SC01";
        QVERIFY(writeImage(scene + "/BG.png"));
        widget<QCheckBox>("ckImpNewProject")->setChecked(true);
        m_module.answers << QMessageBox::Cancel;

        QVERIFY(runImport(m_scenes->path(), {"SC01"}));

        QVERIFY(asked("The Current Project has been Modified ..."));
        QVERIFY(item("Unsaved work", AEGP_ItemType_FOLDER));
        QCOMPARE(countOf(AEGP_ItemType_COMP), 0);
        QVERIFY(!QFileInfo::exists(scene + "/SC01.aep"));
        QVERIFY(!QFileInfo::exists(scene + "/SC01-QUILLMARK-GENERATED.xml"));
    }

    void stopBetweenScenes()
    {
        const QString root = m_scenes->path();
        for (const QString scene : {"SC01", "SC02", "SC03"})
            QVERIFY(writeImage(root + "/" + scene + "/BG.png"));
        widget<QCheckBox>("ckImpNewProject")->setChecked(true);
        m_stopAfterFirstScene = true;

        QVERIFY(runImport(root, {"SC01", "SC02", "SC03"}));

        for (const QString scene : {"SC01", "SC02", "SC03"})
            QCOMPARE(QFileInfo::exists(root + "/" + scene + "/" + scene + ".aep"), scene == "SC01");
        QVERIFY(log().contains("stopped by the user after 1 of 3 scenes"));
    }
};

QTEST_MAIN(TestImportScenes)
#include "tst_import_scenes.moc"
