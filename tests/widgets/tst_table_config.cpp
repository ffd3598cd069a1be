// The table editor on a small table shaped like the matching table: a check box, a list that
// says whether the row is in use, a text cell and the hidden order key.
#include "widgets/QComboBoxPerso.h"
#include "widgets/TableConfig.h"

#include "RecordedUser.h"

#include <QCheckBox>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

namespace {

enum { Check, Use, Text, Key, Columns };

QComboBoxPerso *use(TableConfig &t, int row)
{
    return static_cast<QComboBoxPerso *>(t.tableWidget()->cellWidget(row, Use));
}
QCheckBox *check(TableConfig &t, int row)
{
    return static_cast<QCheckBox *>(t.tableWidget()->cellWidget(row, Check));
}
QString text(TableConfig &t, int row, int column = Text)
{
    return t.tableWidget()->item(row, column)->text();
}

// Row i reads "r<i>"; `inUse` gives each row's list entry (0 = not in use).
void fill(TableConfig &t, const QList<int> &inUse)
{
    QTableWidget *table = t.tableWidget();
    table->setRowCount(inUse.size());
    table->setColumnCount(Columns);
    t.setFirstDataCol(Use);
    t.setCheckCol(Check);
    for (int row = 0; row < inUse.size(); ++row) {
        auto *box = new QCheckBox;
        box->setChecked(true);
        table->setCellWidget(row, Check, box);
        auto *combo = new QComboBoxPerso;
        combo->addItems({QString(), "A", "B"});
        combo->setCurrentIndex(inUse.at(row));
        table->setCellWidget(row, Use, combo);
        table->setItem(row, Text, new QTableWidgetItem(QStringLiteral("r%1").arg(row)));
        table->setItem(row, Key, new QTableWidgetItem(TableConfig::orderKey(row)));
    }
    t.setSortCol(Key);
}

QStringList texts(TableConfig &t)
{
    QStringList out;
    for (int row = 0; row < t.tableWidget()->rowCount(); ++row)
        out << text(t, row) + QLatin1Char('/') + QString::number(use(t, row)->currentIndex());
    return out;
}

} // namespace

class TestTableConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The list cells travel with their rows; keys are rewritten from the row index.
    void moves_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("up") << true << 2 << QStringList{"r0/1", "r2/1", "r1/2"};
        QTest::newRow("down") << false << 0 << QStringList{"r1/2", "r0/1", "r2/1"};
        QTest::newRow("down last") << false << 2 << QStringList{"r0/1", "r1/2", "r2/1"};
    }
    void moves()
    {
        QFETCH(bool, up);
        QFETCH(int, current);
        QFETCH(QStringList, expected);
        TableConfig t;
        fill(t, {1, 2, 1});
        t.tableWidget()->item(0, Key)->setText("999"); // an old cleared key disappears
        t.tableWidget()->setCurrentCell(current, Text);
        up ? t.OnPbMoveUpTable() : t.OnPbMoveDownTable();
        QCOMPARE(texts(t), expected);
        if (texts(t) == QStringList{"r0/1", "r1/2", "r2/1"})
            return; // nothing moved, nothing rewritten
        QCOMPARE(text(t, 0, Key) + text(t, 1, Key) + text(t, 2, Key), QString("000001002"));
        QVERIFY(use(t, 1)->styleSheet().contains("rgb(233,231,227)"));
        QVERIFY(!use(t, 2)->styleSheet().contains("rgb(233,231,227)"));
    }

    void cleanSendsUnusedRowsDown()
    {
        TableConfig t;
        fill(t, {1, 0, 2});
        check(t, 2)->setChecked(false); // in use but switched off: kept
        t.OnPbCleanTable();
        QCOMPARE(texts(t), (QStringList{"r0/1", "r2/2", "/0"}));
        QCOMPARE(text(t, 2, Key), QString("999"));
        QVERIFY(!check(t, 2)->isChecked() && !check(t, 1)->isChecked());
        // Active: ticked and in use; without a check box the list alone decides.
        QVERIFY(t.isRowActive(0) && !t.isRowActive(1) && !t.isRowActive(2));
        t.tableWidget()->removeCellWidget(1, Check);
        QVERIFY(t.isRowActive(1));
    }

    void textRoundTrip_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("restored");
        const auto row = [](const char *name, const QString &cell, const QString &saved,
                            const QString &restored) {
            QTest::newRow(name) << cell << saved << restored;
        };
        row("separators", "a,b;c", "a[VIRGULE]b[POINT_VIRGULE]c", "a,b;c");
        row("escape word", "x[VIRGULE]y", "x[VIRGULE]y", "x,y");
    }
    void textRoundTrip()
    {
        QFETCH(QString, cell);
        QFETCH(QString, saved);
        QFETCH(QString, restored);
        TableConfig t;
        fill(t, {2, 0});
        t.tableWidget()->item(0, Text)->setText(cell);
        const QString line = t.saveToText();
        QCOMPARE(line, "2," + saved + ",000;0,r1,001");
        TableConfig back;
        fill(back, {0, 1});
        back.loadFromText(line);
        QCOMPARE(texts(back), (QStringList{restored + "/2", "r1/0"}));
    }

    // Extra stored rows and values are dropped; a list entry the list lacks becomes the empty one.
    void loadKeepsToTheTable()
    {
        RecordedUser user;
        TableConfig t;
        fill(t, {1, 1});
        t.loadFromText("7,a,000,extra;2,b,001;1,c,002");
        QCOMPARE(texts(t), (QStringList{"a/0", "b/2"}));
        QCOMPARE(user.log.size(), 1);
        QVERIFY(user.log.first().startsWith("-WAR- TableConfig: no entry 7"));
        t.loadFromText(QString());
        QCOMPARE(texts(t), (QStringList{"a/0", "b/2"}));
    }

    void wheelLeavesListAlone()
    {
        QComboBoxPerso combo;
        combo.addItems({"a", "b", "c"});
        combo.setCurrentIndex(1);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&combo, &wheel);
        QCOMPARE(combo.currentIndex(), 1);
        QVERIFY(!wheel.isAccepted());
    }
};

QTEST_MAIN(TestTableConfig)
#include "tst_table_config.moc"
