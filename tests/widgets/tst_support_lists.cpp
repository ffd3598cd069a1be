// The list helpers (a list widget as the comma-separated text the settings store, row moves,
// a directory chosen into a button) and the real message box behind the Qt prompts.
#include "support/AnsweringPrompts.h"
#include "support/gui/ListHelpers.h"
#include "support/gui/QtPrompts.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestSupportLists : public QObject
{
    Q_OBJECT

private slots:
    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("items");
        QTest::newRow("two") << "*.tga,*.png" << 2;
        QTest::newRow("empty parts and spaces kept") << " a ,,b," << 4;
        QTest::newRow("empty text gives one empty item") << "" << 1;
    }
    void textRoundTrip()
    {
        QFETCH(QString, text);
        QListWidget list;
        list.addItem("old entry");
        textToList(&list, text);
        QTEST(list.count(), "items");
        QVERIFY(list.item(0)->flags() & Qt::ItemIsEditable);
        QCOMPARE(listToText(&list), text);
    }

    void moveListRow_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("newCurrent");
        QTest::newRow("up mixed case") << 2 << "Up"
                                       << "a,c,b,d" << 1;
        QTest::newRow("down") << 1 << "DOWN"
                              << "a,c,b,d" << 2;
        QTest::newRow("first row up") << 0 << "up"
                                      << "a,b,c,d" << 0;
        QTest::newRow("last row down") << 3 << "down"
                                       << "a,b,c,d" << 3;
        QTest::newRow("no current row") << -1 << "down"
                                        << "a,b,c,d" << -1;
    }
    void moveListRow()
    {
        QFETCH(int, current);
        QFETCH(QString, direction);
        QListWidget list;
        textToList(&list, "a,b,c,d");
        list.setCurrentRow(current);
        ::moveListRow(&list, direction);
        QTEST(listToText(&list), "result");
        QTEST(list.currentRow(), "newCurrent");
    }

    // The real box shows the icon of its kind, the texts and the buttons asked for; we press
    // its default button.
    void qtPromptsBox_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("critical") << int(Prompts::Critical) << int(QMessageBox::Critical);
        QTest::newRow("information") << int(Prompts::Information) << int(QMessageBox::Information);
    }
    void qtPromptsBox()
    {
        QFETCH(int, kind);
        QString seen;
        QTimer::singleShot(0, [&seen] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen = QStringLiteral("%1|%2|%3|%4")
                           .arg(box->icon())
                           .arg(box->windowTitle(), box->text())
                           .arg(box->buttons().size());
                box->defaultButton()->click();
            }
        });
        const Prompts::Button answer = QtPrompts().message(
            nullptr, Prompts::Kind(kind), "Title", "Body", Prompts::Yes | Prompts::No, Prompts::No);
        QCOMPARE(answer, Prompts::No);
        QFETCH(int, icon);
        QCOMPARE(seen, QStringLiteral("%1|Title|Body|2").arg(icon));
    }
};

QTEST_MAIN(TestSupportLists)
#include "tst_support_lists.moc"
