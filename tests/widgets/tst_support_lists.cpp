#include "support/AnsweringPrompts.h"
#include "support/gui/ListHelpers.h"
#include "support/gui/QtPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestSupportLists : public QObject
{
    Q_OBJECT

private slots:
    void textRoundTrip_data();
    void textRoundTrip();
    void itemsAreEditable();
    void moveListRow_data();
    void moveListRow();
    void chooseDirectoryInto();
    void qtPromptsBox_data();
    void qtPromptsBox();
};

static QStringList texts(const QListWidget &list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.item(row)->text());
    return result;
}

void TestSupportLists::textRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("two") << "*.tga,*.png" << QStringList({"*.tga", "*.png"});
    QTest::newRow("empty parts kept") << "a,,b," << QStringList({"a", "", "b", ""});
    QTest::newRow("empty text gives one empty item") << "" << QStringList({""});
    QTest::newRow("spaces kept") << " a , b" << QStringList({" a ", " b"});
}

void TestSupportLists::textRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QListWidget list;
    list.addItem("old entry");
    textToList(&list, text);
    QCOMPARE(texts(list), items);
    QCOMPARE(listToText(&list), text);
}

void TestSupportLists::itemsAreEditable()
{
    QListWidget list;
    textToList(&list, "a,b");
    for (int row = 0; row < list.count(); ++row)
        QVERIFY(list.item(row)->flags() & Qt::ItemIsEditable);
    QListWidget empty;
    QCOMPARE(listToText(&empty), QString());
}

void TestSupportLists::moveListRow_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("newCurrent");
    QTest::newRow("up") << 1 << "up" << "b,a,c,d" << 0;
    QTest::newRow("up mixed case") << 2 << "Up" << "a,c,b,d" << 1;
    QTest::newRow("down") << 1 << "DOWN" << "a,c,b,d" << 2;
    QTest::newRow("first row up") << 0 << "up" << "a,b,c,d" << 0;
    QTest::newRow("last row down") << 3 << "down" << "a,b,c,d" << 3;
    QTest::newRow("no current row") << -1 << "down" << "a,b,c,d" << -1;
    QTest::newRow("unknown direction") << 1 << "left" << "a,b,c,d" << 1;
}

void TestSupportLists::moveListRow()
{
    QFETCH(int, current);
    QFETCH(QString, direction);
    QFETCH(QString, result);
    QFETCH(int, newCurrent);
    QListWidget list;
    textToList(&list, "a,b,c,d");
    list.setCurrentRow(current);
    ::moveListRow(&list, direction);
    QCOMPARE(listToText(&list), result);
    QCOMPARE(list.currentRow(), newCurrent);
}

void TestSupportLists::chooseDirectoryInto()
{
    AnsweringPrompts answers;
    Prompts *previous = Prompts::install(&answers);
    answers.answerPath(QString()); // the user cancels first
    answers.answerPath("/prod/library");

    QPushButton button("/start/here");
    QVERIFY(!::chooseDirectoryInto(&button, "Library"));
    QCOMPARE(button.text(), QString("/start/here"));
    QVERIFY(button.toolTip().isEmpty());

    QVERIFY(::chooseDirectoryInto(&button, "Library"));
    QCOMPARE(button.text(), QString("/prod/library"));
    QCOMPARE(button.toolTip(), QString("Path: /prod/library"));

    QCOMPARE(answers.asked().size(), 2);
    QCOMPARE(answers.asked().at(0).kind, Prompts::Directory);
    QCOMPARE(answers.asked().at(0).title, QString("Library"));
    QCOMPARE(answers.asked().at(0).startDir, QString("/start/here"));
    Prompts::install(previous);
}

// The real box shows the right icon and buttons; we press the default button.
void TestSupportLists::qtPromptsBox_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("expected");
    QTest::newRow("critical") << int(Prompts::Critical) << int(QMessageBox::Critical)
                              << int(Prompts::No);
    QTest::newRow("warning") << int(Prompts::Warning) << int(QMessageBox::Warning)
                             << int(Prompts::No);
    QTest::newRow("question") << int(Prompts::Question) << int(QMessageBox::Question)
                              << int(Prompts::No);
    QTest::newRow("information") << int(Prompts::Information) << int(QMessageBox::Information)
                                 << int(Prompts::No);
}

void TestSupportLists::qtPromptsBox()
{
    QFETCH(int, kind);
    QFETCH(int, icon);
    QFETCH(int, expected);
    QtPrompts prompts;
    int seenIcon = -1;
    QString seenTitle;
    QString seenText;
    int buttonCount = 0;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenIcon = box->icon();
        seenTitle = box->windowTitle();
        seenText = box->text();
        buttonCount = box->buttons().size();
        box->defaultButton()->click();
    });
    const Prompts::Button answer =
        prompts.message(nullptr, Prompts::Kind(kind), "Title", "Body", Prompts::Yes | Prompts::No,
                        Prompts::No);
    QCOMPARE(int(answer), expected);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenTitle, QString("Title"));
    QCOMPARE(seenText, QString("Body"));
    QCOMPARE(buttonCount, 2);
}

QTEST_MAIN(TestSupportLists)
#include "tst_support_lists.moc"
