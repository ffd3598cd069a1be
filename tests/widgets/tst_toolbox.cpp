#include "widgets/QLabelPerso.h"
#include "widgets/TitleItem.h"
#include "widgets/ToolItem.h"
#include "widgets/WToolBox.h"

#include <QCheckBox>
#include <QLayout>
#include <QPixmap>
#include <QSpacerItem>
#include <QTest>

class TestToolBox : public QObject
{
    Q_OBJECT

    static QList<QLabelPerso *> arrows(ToolItem &item)
    {
        QList<QLabelPerso *> result;
        for (auto *label : item.titleItem()->findChildren<QLabelPerso *>()) {
            if (label->objectName() != QLatin1String("TitleItemLabel"))
                result << label;
        }
        return result; // closed arrow first, then open arrow
    }
    static QLabelPerso *title(ToolItem &item)
    {
        return item.titleItem()->findChild<QLabelPerso *>(QStringLiteral("TitleItemLabel"));
    }

private Q_SLOTS:
    void arrowsComeFromResources()
    {
        ToolItem item(QStringLiteral("Log"), new QWidget);
        const auto a = arrows(item);
        QCOMPARE(a.size(), 2);
        QVERIFY(!a[0]->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(!a[1]->pixmap(Qt::ReturnByValue).isNull());
    }

    void titleOpensAndClosesWithHelpLink()
    {
        QWidget window;
        auto *content = new QWidget;
        auto *item = new ToolItem(QStringLiteral("Log"), content, nullptr, &window);
        item->titleItem()->setHelpLink(QStringLiteral("https://example.org/help"));
        window.show();
        const auto a = arrows(*item);
        QVERIFY(!content->isVisible());
        QVERIFY(a[0]->isVisible());
        QVERIFY(!a[1]->isVisible());

        QTest::mouseClick(title(*item), Qt::LeftButton);
        QVERIFY(content->isVisible());
        QVERIFY(!a[0]->isVisible());
        QVERIFY(a[1]->isVisible());
        auto *link = item->titleItem()->findChildren<QLabel *>().last();
        QVERIFY(link->text().contains(QLatin1String("https://example.org/help")));
        QVERIFY(link->isVisible());

        QTest::mouseClick(a[1], Qt::LeftButton);
        QVERIFY(!content->isVisible());
        QVERIFY(!link->isVisible());
        QTest::mouseClick(title(*item), Qt::RightButton);
        QVERIFY(!content->isVisible());
    }

    void uncheckedPageStaysClosed()
    {
        QWidget window;
        auto *box = new QCheckBox(&window);
        box->setChecked(true);
        auto *content = new QWidget;
        auto *item = new ToolItem(QStringLiteral("Options 2"), content, box, &window);
        window.show();
        QTest::mouseClick(title(*item), Qt::LeftButton);
        QVERIFY(content->isVisible());

        box->setChecked(false);
        QTest::mouseClick(title(*item), Qt::LeftButton);
        QVERIFY(!content->isVisible());
        QTest::mouseClick(title(*item), Qt::LeftButton);
        QVERIFY(!content->isVisible());
        const auto a = arrows(*item);
        QVERIFY(!a[0]->isVisible());
        QVERIFY(!a[1]->isVisible());

        box->setChecked(true);
        QVERIFY(!a[0]->isVisible());
        QTest::mouseClick(a[0], Qt::LeftButton); // hidden arrow still receives the synthetic click
        QVERIFY(content->isVisible());
    }

    void emptyTitleShowsNoLabel()
    {
        QWidget window;
        auto *item = new ToolItem(QString(), new QWidget, nullptr, &window);
        window.show();
        QVERIFY(!title(*item)->isVisible());
    }

    void oneStretchAfterThreePages()
    {
        WToolBox box;
        QList<ToolItem *> pages;
        for (const char *name : {"A", "B", "C"}) {
            pages << new ToolItem(QString::fromLatin1(name), new QWidget);
            box.addItem(pages.last());
        }
        QLayout *layout = box.layout();
        QCOMPARE(layout->count(), 4);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(layout->itemAt(i)->widget(), pages[i]);
        QVERIFY(layout->itemAt(3)->spacerItem() != nullptr);
    }
};

QTEST_MAIN(TestToolBox)
#include "tst_toolbox.moc"
