// The Create Scene tab on its own: its settings in a configuration (fresh, round trip, written
// before the settings had a group of their own, switched-off table rows), what it answers
// to the scene runs, and what its buttons hand to the scene list core.
#include "scenelist/gui/CreateSceneWidget.h"
#include "widgets/TableConfig.h"
#include "widgets/WPathSelector.h"

#include "RecordedUser.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

namespace {

QCheckBox *rowCheck(CreateSceneWidget &w, int row)
{
    return qobject_cast<QCheckBox *>(w.matchingTable()->tableWidget()->cellWidget(row, 0));
}

QString offRows(CreateSceneWidget &w)
{
    QStringList rows;
    for (int row = 0; row < 24; ++row)
        if (!rowCheck(w, row)->isChecked())
            rows << QString::number(row);
    return rows.join(',');
}

// Values of one widget of each kind, in the form the settings store them.
QStringList sample(CreateSceneWidget &w)
{
    return {w.lwScript->item(0) ? w.lwScript->item(0)->text() : QString(),
            w.pbSelectDestinationDir->rawText(),
            QString::number(w.cbTarget->currentIndex()),
            QString::number(w.ckCsvSkipComments->isChecked()),
            QString::number(w.useTemplateCheckBox()->isChecked()),
            QString::number(w.sbCsvStartLine->value()),
            QString::number(w.sbCreateTbaBgScale->value()),
            w.efEpisodeName->text(),
            w.efCreateTbaWriteC1->text(),
            w.matchingTable()->saveToText().section(';', 0, 0)};
}

// The sample as a fresh tab shows it, and after change().
const QStringList kDefaults =
    QString("|Select Destination Directory|0|1|0|2|1|No Name|Write_DERUSH|0,0,0,,,,,,0,000,0,,")
        .split('|');
const QStringList kChanged = QString("/s/BATCH_fx, v2.jsx|/out/EP%02e|3|0|1|5|0.25|Pilot, part 1|W|"
                                     "2,3,6,6:,EP%02e_%a,png psd,CH[VIRGULE]A,,1,000,2,,")
                                 .split('|');

void change(CreateSceneWidget &w)
{
    w.lwScript->addItem("/s/BATCH_fx, v2.jsx"); // a comma in a list item survives
    w.pbSelectDestinationDir->setPath("/out/EP%02e");
    w.cbTarget->setCurrentIndex(3);
    w.ckCsvSkipComments->setChecked(false);
    w.useTemplateCheckBox()->setChecked(true);
    w.sbCsvStartLine->setValue(5);
    w.sbCreateTbaBgScale->setValue(0.25);
    w.efEpisodeName->setText("Pilot, part 1");
    w.efCreateTbaWriteC1->setText("W");
    w.matchingTable()->loadFromText("2,3,6,6:,EP%02e_%a,png psd,CH[VIRGULE]A,,1,000,2,,");
}

} // namespace

class TestCreateSceneTab : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordedUser m_user;
    AnsweringPrompts &m_prompts = m_user.prompts;

    QString ini(const QString &name) const { return m_dir.filePath(name + ".ini"); }

private Q_SLOTS:
    void init() { m_user.forget(); }

    void roundTrip()
    {
        CreateSceneWidget a;
        change(a);
        rowCheck(a, 3)->setChecked(false);
        rowCheck(a, 7)->setChecked(false);
        {
            QSettings out(ini("round"), QSettings::IniFormat);
            a.saveSettings(out);
        }
        QSettings in(ini("round"), QSettings::IniFormat);
        // The table's own text stays as other tools read it; switched-off rows go beside it.
        QCOMPARE(in.value("CreateScene/TableOptions").toString(), a.matchingTable()->saveToText());
        QCOMPARE(in.value("CreateScene/TableOptionsInactive").toString(), QString("3,7"));
        CreateSceneWidget b;
        QVERIFY(sample(b) != kChanged);
        b.loadSettings(in);
        QCOMPARE(sample(b), kChanged);
        QCOMPARE(offRows(b), QString("3,7"));
        // A configuration without the switched-off rows has every row ticked.
        in.remove("CreateScene/TableOptionsInactive");
        b.loadSettings(in);
        QCOMPARE(offRows(b), QString());
        // An empty configuration resets everything but the table, whose empty text changes
        // nothing; an untouched table row is stored in its own form.
        QSettings empty(ini("empty"), QSettings::IniFormat);
        b.loadSettings(empty);
        QCOMPARE(sample(b).mid(0, 9), kDefaults.mid(0, 9));
        QCOMPARE(sample(b).last(), kChanged.last());
        CreateSceneWidget fresh;
        QCOMPARE(sample(fresh).last(), kDefaults.last());
    }

    // Keys written at the top level before the tab had a group still load; the group wins.
    void legacyTopLevelKeys()
    {
        QVERIFY(
            writeFile(ini("legacy"),
                      "[General]\nlistScript=BATCH_fx.jsx, tools.jsx,\nckUseTemplateFile=true\n"
                      "FlashTemplateFile=/t/EP%02e/t.aep\nsbEpisodeNumber=7\nefEpisodeName=Old\n"
                      "[CreateScene]\nefEpisodeName=New\n"));
        CreateSceneWidget w;
        QSettings in(ini("legacy"), QSettings::IniFormat);
        w.loadSettings(in);
        QCOMPARE(w.scripts(), (QStringList{"BATCH_fx.jsx", "tools.jsx"}));
        QVERIFY(w.useTemplate());
        QCOMPARE(w.templatePath(), QString("/t/EP07/t.aep"));
        QCOMPARE(w.efEpisodeName->text(), QString("New"));
    }

    // "Test" needs a table row; "Show Scan" indexes at the chosen depth through the table's
    // extensions and writes the listing to the log.
    void testAssetAndShowScan()
    {
        CreateSceneWidget w;
        w.matchingTable()->loadFromText(";1,1,6,6:,,png psd,,,0,001,0,,");
        w.efTestAsset->setText("sc010_BG");
        w.OnTestAsset();
        QCOMPARE(w.stTestAsset->text(), QString("Test Result"));
        w.matchingTable()->tableWidget()->setCurrentCell(1, 4);
        w.OnTestAsset();
        QCOMPARE(w.stTestAsset->text(), QString("BG.png"));

        QTemporaryDir lib;
        QVERIFY(writeFile(lib.filePath("a.png"), "") && writeFile(lib.filePath("notes.txt"), "") &&
                writeFile(lib.filePath("sub/b.png"), ""));
        w.lwLibDir->addItem(lib.path());
        m_user.forget();
        w.OnShowDirectoryListInLog();
        QCOMPARE(m_user.log.join('|'), "==== Scan Lib Folder List ====\n" + lib.path() +
                                           "\n==== Scan Lib File List ====\nFile:a.png =>" +
                                           lib.path() + "\n==== END ====");
        QCOMPARE(m_prompts.asked().last().text, QString("Open Log to See Result"));
    }

    // A conversion file chosen as the posing table is not read for Code elements; elements are
    // enabled but not selectable, scenes selectable.
    void conversionFileAndTree()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("codes.csv"), ";CH01;;;;;PR;bob;;CHARS;\n") &&
                writeFile(dir.filePath("list.csv"), "h\nh\nSC01;CH01\n"));
        CreateSceneWidget w;
        w.matchingTable()->loadFromText("1,1,1,,,,,,0,000,0,,;1,2,7,,,,,,0,001,0,,");
        w.cbTarget->setCurrentIndex(2);
        w.cbSecondTableType->setCurrentIndex(1);
        w.pbCodeConversionFile->setPath(dir.filePath("codes.csv"));
        w.pb_selectSceneList->setPath(dir.filePath("list.csv"));
        w.OnLoadSceneList();
        QCOMPARE(w.treeWidget->topLevelItemCount(), 1);
        const QTreeWidgetItem *scene = w.treeWidget->topLevelItem(0);
        QCOMPARE(scene->childCount(), 1);
        QCOMPARE(scene->child(0)->text(3), QString("CONVERSION-FILE-NOT-FOUND"));
        QCOMPARE(scene->child(0)->foreground(3).color(), QColor(Qt::red)); // not in a library
        QCOMPARE(scene->child(0)->flags(), Qt::ItemIsEnabled);
        QVERIFY(scene->flags() & Qt::ItemIsSelectable);
        // A scene renamed in place (the edit key) is made under its new name.
        QAbstractItemModel *model = w.treeWidget->model();
        QVERIFY(model->setData(model->index(0, 0), QString("SC01b")));
        w.treeWidget->topLevelItem(0)->setSelected(true);
        QCOMPARE(w.selectedScenes().value(0).name, QString("SC01b"));
    }
};

QTEST_MAIN(TestCreateSceneTab)
#include "tst_createscene_tab.moc"
