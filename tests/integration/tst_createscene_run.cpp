// Create Scene runs through the real module in the test host: the scene tree is filled by hand
// as a loaded scene list leaves it, scenes are selected, "Create AE" is pressed and the host
// gets one idle call. The checks read the saved projects, the open project and the files.
#include "testhost/core/TestHost.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtEndian>

namespace {

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

// A QuickTime file reduced to the movie header the host reads its length from.
bool writeMovie(const QString &path, int seconds)
{
    const QByteArray mvhd = be32(0) + be32(0) + be32(0) + be32(600) + be32(quint32(seconds * 600));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(be32(16 + mvhd.size()) + "moov" + be32(8 + mvhd.size()) + "mvhd" + mvhd) > 0;
}

bool writeImage(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image.save(path);
}

// An element row: Element, Type, Mode, File Name, Full Path Name, LayerName, LayerDir, Cid,
// Tid, Fok.
void addElement(QTreeWidgetItem *scene, int type, const QString &path, const QString &dir,
                bool found)
{
    const QString name = QFileInfo(path).fileName();
    new QTreeWidgetItem(scene, {name, QString(), "File", name, found ? path : QString(), QString(),
                                dir, "1", QString::number(type), found ? "1" : "0"});
}

} // namespace

class TestCreateSceneRun : public QObject
{
    Q_OBJECT

    template <typename T> T *widget(const char *name) const
    {
        return m_panel ? m_panel->findChild<T *>(QLatin1String(name)) : nullptr;
    }
    ProjectModel &model() const { return m_host->project().model(); }
    ProjectItem *item(const QString &name) const
    {
        for (ProjectItem *i : model().items())
            if (i->name == name)
                return i;
        return nullptr;
    }
    QTreeWidgetItem *addScene(const QString &name, bool selected)
    {
        auto *scene = new QTreeWidgetItem(widget<QTreeWidget>("treeWidget"), QStringList{name});
        scene->setSelected(selected);
        return scene;
    }
    void create()
    {
        widget<QPushButton>("pbCreateAE")->click();
        m_host->idle();
    }
    void answerBoxes()
    {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_boxes << box->text();
            box->defaultButton() ? box->defaultButton()->click() : box->reject();
        }
    }

    QTemporaryDir m_config;
    QTemporaryDir *m_work = nullptr;
    TestHost *m_host = nullptr;
    QWidget *m_panel = nullptr;
    QTimer m_watcher;
    QStringList m_boxes;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        m_host = new TestHost(this);
        QString error;
        QVERIFY2(m_host->loadPlugin(qEnvironmentVariable("CELLKIT_TEST_MODULE"), &error),
                 qPrintable(error));
        QVERIFY(m_host->chooseWindowMenuEntry(QStringLiteral("cellKit")));
        for (QWidget *w : m_host->panelContainer("cellKit")->findChildren<QWidget *>())
            if (w->inherits("WinTools"))
                m_panel = w;
        QVERIFY(m_panel);
        connect(&m_watcher, &QTimer::timeout, this, &TestCreateSceneRun::answerBoxes);
        m_watcher.start(0);
    }

    void init()
    {
        m_work = new QTemporaryDir;
        m_boxes.clear();
        m_host->project().newProject();
        widget<QTreeWidget>("treeWidget")->clear();
        widget<QCheckBox>("ckImpNewProject")->setChecked(false);
        widget<QComboBox>("cbSceneListType")->setCurrentIndex(0);
        QMetaObject::invokeMethod(widget<QWidget>("pbSelectDestinationDir"), "setPath",
                                  Q_ARG(QString, m_work->filePath("out")));
    }
    void cleanup() { delete std::exchange(m_work, nullptr); }

    // Found Movie and Ima files are copied into the scene's Footage folder, Asset files are
    // used where they are; a missing row and an unselected scene are left out.
    void createsTheSelectedScene()
    {
        const QString lib = m_work->filePath("lib");
        QVERIFY(writeMovie(lib + "/SC01.mov", 3));
        QVERIFY(writeImage(lib + "/bg/BG.png") && writeImage(lib + "/chars/bob.png"));
        QTreeWidgetItem *sc01 = addScene("SC01", true);
        addElement(sc01, 3, lib + "/SC01.mov", QString(), true);
        addElement(sc01, 5, lib + "/bg/BG.png", "BG", true);
        addElement(sc01, 6, lib + "/chars/bob.png", "CHARS", true);
        addElement(sc01, 6, lib + "/chars/ann.png", "CHARS", false);
        addElement(addScene("SC02", false), 6, lib + "/chars/bob.png", "CHARS", true);
        widget<QCheckBox>("ckImpMoveFilesToRelativePath")->setChecked(true);

        create();

        const QString sceneDir = m_work->filePath("out/SC01");
        QVERIFY(QFileInfo::exists(sceneDir + "/SC01.aep"));
        QVERIFY(!QFileInfo::exists(m_work->filePath("out/SC02")));
        QVERIFY(QFileInfo::exists(sceneDir + "/Footage/SC01.mov"));
        QVERIFY(QFileInfo::exists(sceneDir + "/Footage/BG.png"));
        QVERIFY(!QFileInfo::exists(sceneDir + "/Footage/bob.png"));
        const ProjectItem *comp = item("SC01");
        QVERIFY(comp && comp->type == AEGP_ItemType_COMP);
        QCOMPARE(double(comp->duration.value) / comp->duration.scale, 3.0);
        QStringList sources;
        for (const auto &layer : comp->layers)
            sources << layer->source->files.value(0) + "@" + layer->source->parent->name;
        QCOMPARE(sources,
                 (QStringList{lib + "/chars/bob.png@CHARS", sceneDir + "/Footage/BG.png@BG",
                              sceneDir + "/Footage/SC01.mov@ELEMENTS"}));
        QVERIFY(widget<QTextEdit>("efLog")->toPlainText().contains(" - File " + sceneDir +
                                                                   "/SC01.aep Created"));
        widget<QCheckBox>("ckImpMoveFilesToRelativePath")->setChecked(false);
    }

    // A list of movie files gives each scene its movie's length; other lists one second.
    void sceneMovieSetsTheLength_data()
    {
        QTest::addColumn<int>("listType");
        QTest::addColumn<double>("seconds");
        QTest::newRow("scene list") << 0 << 1.0;
        QTest::newRow("movie folder") << 1 << 4.0;
    }
    void sceneMovieSetsTheLength()
    {
        QFETCH(int, listType);
        QFETCH(double, seconds);
        QVERIFY(writeMovie(m_work->filePath("movies/SC07.mov"), 4));
        widget<QComboBox>("cbSceneListType")->setCurrentIndex(listType);
        QMetaObject::invokeMethod(widget<QWidget>("pb_selectSceneList"), "setPath",
                                  Q_ARG(QString, m_work->filePath("movies")));
        addScene("SC07", true);

        create();

        const ProjectItem *comp = item("SC07");
        QVERIFY(comp);
        QCOMPARE(double(comp->duration.value) / comp->duration.scale, seconds);
        QCOMPARE(item("ELEMENTS") != nullptr, listType == 1);
    }

    void nothingSelected()
    {
        addScene("SC01", false);
        create();
        QCOMPARE(m_boxes, QStringList{"Select Scenes to Create first"});
        QVERIFY(!QFileInfo::exists(m_work->filePath("out")));
    }
};

QTEST_MAIN(TestCreateSceneRun)
#include "tst_createscene_run.moc"
