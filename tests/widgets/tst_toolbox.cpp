// The tool box pages: a click on the title or an arrow opens and closes the page (the help link
// showing with it), a page whose check box is off stays closed, and the pages stack above one
// stretch.
#include "widgets/QLabelPerso.h"
#include "widgets/TitleItem.h"
#include "widgets/ToolItem.h"
#include "widgets/WToolBox.h"

#include <QCheckBox>
#include <QLayout>
#include <QTest>

class TestToolBox : public QObject
{
    Q_OBJECT

    // The closed arrow first, then the open arrow.
    static QList<QLabelPerso *> arrows(ToolItem &item)
    {
        QList<QLabelPerso *> result;
        for (auto *label : item.titleItem()->findChildren<QLabelPerso *>())
            if (label->objectName() != QLatin1String("TitleItemLabel"))
                result << label;
        return result;
    }
    static QLabelPerso *title(ToolItem &item)
    {
        return item.titleItem()->findChild<QLabelPerso *>(QStringLiteral("TitleItemLabel"));
    }

private Q_SLOTS:
    void titleOpensAndClosesWithHelpLink()
    {
        QWidget window;
        auto *content = new QWidget;
        auto *item = new ToolItem(QStringLiteral("Log"), content, nullptr, &window);
        item->titleItem()->setHelpLink(QStringLiteral("https://example.org/help"));
        window.show();
        const auto a = arrows(*item);
        QCOMPARE(a.size(), 2);
        QVERIFY(!a[0]->pixmap(Qt::ReturnByValue).isNull());
        QVERIFY(!content->isVisible() && a[0]->isVisible() && !a[1]->isVisible());

        QTest::mouseClick(title(*item), Qt::LeftButton);
        QVERIFY(content->isVisible() && !a[0]->isVisible() && a[1]->isVisible());
        auto *link = item->titleItem()->findChildren<QLabel *>().last();
        QVERIFY(link->text().contains(QLatin1String("https://example.org/help")));
        QVERIFY(link->isVisible());

        QTest::mouseClick(a[1], Qt::LeftButton);
        QVERIFY(!content->isVisible() && !link->isVisible());
        QTest::mouseClick(title(*item), Qt::RightButton);
        QVERIFY(!content->isVisible());
    }

    void uncheckedPageStaysClosed()
    {
        QWidget window;
        auto *box = new QCheckBox(&window);
        box->setChecked(false);
        auto *content = new QWidget;
        auto *item = new ToolItem(QStringLiteral("Options 2"), content, box, &window);
        window.show();
        QTest::mouseClick(title(*item), Qt::LeftButton);
        QVERIFY(!content->isVisible());
        const auto a = arrows(*item);
        QVERIFY(!a[0]->isVisible() && !a[1]->isVisible());
        box->setChecked(true);
        QTest::mouseClick(a[0], Qt::LeftButton); // hidden arrow still receives the synthetic click
        QVERIFY(content->isVisible());
    }
};

QTEST_MAIN(TestToolBox)
#include "tst_toolbox.moc"
