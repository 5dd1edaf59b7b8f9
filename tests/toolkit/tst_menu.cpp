#include "qzvmenu.h"
#include "qzvmenustyle.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QPainter>
#include <QShortcut>
#include <QSignalSpy>
#include <QStyleOptionMenuItem>

using namespace SkinFixtures;

class TestMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initToolkitTestEnvironment(); }
    void itemSizeOnlyWhenAsked_data();
    void itemSizeOnlyWhenAsked();
    void fixedItemHeightReachesMenu();
    void frameFilledInFrameColour();
    void checkedRadioWithoutImageIsDot();
    void radioImageCentred();
    void separatorStartsAfterText_data();
    void separatorStartsAfterText();
    void mergedColorsHalves();
    void keyboardStillNavigates();
    void subMenusAreSkinned();
    void missingCheckImageFallsBack();
};

namespace {

QStyleOptionMenuItem menuItem(const QString &text, QStyleOptionMenuItem::MenuItemType type =
                                                       QStyleOptionMenuItem::Normal)
{
    QStyleOptionMenuItem item;
    item.text = text;
    item.menuItemType = type;
    item.rect = QRect(0, 0, 120, 24);
    item.state = QStyle::State_Enabled;
    item.direction = Qt::LeftToRight;
    item.font = QApplication::font();
    item.fontMetrics = QFontMetrics(item.font);
    item.palette = QApplication::palette();
    item.maxIconWidth = 0;
    item.menuHasCheckableItems = true;
    item.tabWidth = 0;
    return item;
}

QImage paintItem(QZVMenuStyle &style, const QStyleOptionMenuItem &item)
{
    QImage image(item.rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    style.drawControl(QStyle::CE_MenuItem, &item, &painter, nullptr);
    return image;
}

}

void TestMenu::itemSizeOnlyWhenAsked_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("expected");
    const int fontHeight = QFontMetrics(QApplication::font()).height();
    // Contents 40 wide: tab +32, check column +20, +2, +52.
    QTest::newRow("height fixed") << -1 << 25 << QSize(146, 25);
    QTest::newRow("width fixed") << 150 << -1 << QSize(150, fontHeight + 8);
    QTest::newRow("both") << 150 << 30 << QSize(150, 30);
}

void TestMenu::itemSizeOnlyWhenAsked()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QSize, expected);
    QZVMenuStyle style;
    const QStyleOptionMenuItem item = menuItem(QStringLiteral("Save\tCtrl+S"));
    const QSize base = style.sizeFromContents(QStyle::CT_MenuItem, &item, QSize(40, 10), nullptr);
    QCOMPARE(base, style.baseStyle()->sizeFromContents(QStyle::CT_MenuItem, &item, QSize(40, 10), nullptr));
    style.attribute()->itemWidth = width;
    style.attribute()->itemHeight = height;
    QCOMPARE(style.sizeFromContents(QStyle::CT_MenuItem, &item, QSize(40, 10), nullptr), expected);
}

void TestMenu::fixedItemHeightReachesMenu()
{
    QZVMenu menu;
    QAction *first = menu.addAction(QStringLiteral("Convert"));
    QAction *second = menu.addAction(QStringLiteral("Rename"));
    menu.setItemHeight(28);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QCOMPARE(menu.actionGeometry(first).height(), 28);
    QCOMPARE(menu.actionGeometry(second).top(), menu.actionGeometry(first).bottom() + 1);
    menu.close();
}

void TestMenu::frameFilledInFrameColour()
{
    QZVMenu menu;
    menu.addAction(QStringLiteral("Convert"));
    menu.setItemColor(Qt::white);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QImage image = render(menu);
    const int y = image.height() / 2;
    QVERIFY(near(image.pixelColor(1, y), QColor(225, 225, 225)));
    QVERIFY(near(image.pixelColor(2, y), QColor(225, 225, 225)));
    QVERIFY(near(image.pixelColor(4, y), Qt::white));
    menu.close();
}

void TestMenu::checkedRadioWithoutImageIsDot()
{
    QZVMenuStyle style;
    style.attribute()->itemColor = Qt::white;
    QStyleOptionMenuItem item = menuItem(QStringLiteral("Track 1"));
    item.checkType = QStyleOptionMenuItem::Exclusive;
    item.checked = true;
    item.text.clear();
    const QRect ink = inkBounds(paintItem(style, item), Qt::white);
    // The 14 x 14 check rectangle at (7, 5) shrunk by 4: a 6 x 6 dot at (11, 9).
    QVERIFY2(QRect(10, 9, 8, 8).contains(ink), qPrintable(QString("%1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
    QVERIFY(ink.width() >= 5 && ink.height() >= 5);
    item.checked = false;
    QVERIFY(inkBounds(paintItem(style, item), Qt::white).isEmpty());
}

void TestMenu::radioImageCentred()
{
    QTemporaryDir dir;
    QZVMenu menu;
    menu.setRadioImage(save(dir, "radio.png", solid(QSize(20, 20), Qt::red)));
    QZVMenuStyle style;
    *style.attribute() = *menu.styleAttribute();
    style.attribute()->itemColor = Qt::white;
    QStyleOptionMenuItem item = menuItem(QString());
    item.checkType = QStyleOptionMenuItem::Exclusive;
    item.checked = true;
    // A 10 x 10 logical image centred in the 14 x 14 rectangle at (7, 5).
    QCOMPARE(inkBounds(paintItem(style, item), Qt::white), QRect(9, 7, 10, 10));
}

void TestMenu::separatorStartsAfterText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("direction");
    QTest::newRow("plain") << QString() << int(Qt::LeftToRight);
    QTest::newRow("with text") << QStringLiteral("Tracks") << int(Qt::LeftToRight);
    QTest::newRow("right to left") << QStringLiteral("Tracks") << int(Qt::RightToLeft);
}

void TestMenu::separatorStartsAfterText()
{
    QFETCH(QString, text);
    QFETCH(int, direction);
    QZVMenuStyle style;
    style.attribute()->itemColor = Qt::white;
    style.attribute()->separatorColor = Qt::blue;
    QStyleOptionMenuItem item = menuItem(text, QStyleOptionMenuItem::Separator);
    item.direction = Qt::LayoutDirection(direction);
    const QImage image = paintItem(style, item);
    const int y = item.rect.center().y();
    const int textWidth = text.isEmpty() ? 0 : QFontMetrics(item.font).horizontalAdvance(text) + 5;
    int start = 5;
    int end = 114;
    if (direction == Qt::LeftToRight)
        start += textWidth;
    else
        end -= textWidth;
    QVERIFY(near(image.pixelColor(start + 1, y), Qt::blue, 40));
    QVERIFY(near(image.pixelColor(end - 1, y), Qt::blue, 40));
    QVERIFY(!near(image.pixelColor(end + 2, y), Qt::blue, 40));
    QVERIFY(!near(image.pixelColor(start - 2, y), Qt::blue, 40));
}

void TestMenu::mergedColorsHalves()
{
    const QColor merged = QZVMenuStyle::mergedColors(QColor(200, 101, 0, 128), QColor(100, 50, 21), 50);
    QCOMPARE(merged, QColor(150, 75, 10, 128));
}

void TestMenu::keyboardStillNavigates()
{
    // An application-wide shortcut must not steal the menu's keys.
    QWidget window;
    int stolen = 0;
    for (int key : {Qt::Key_Down, Qt::Key_Escape}) {
        auto *shortcut = new QShortcut(QKeySequence(key), &window);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, [&stolen] { ++stolen; });
    }
    window.show();
    QZVMenu menu;
    QAction *first = menu.addAction(QStringLiteral("Convert"));
    QAction *second = menu.addAction(QStringLiteral("Rename"));
    QSignalSpy triggered(second, &QAction::triggered);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QTest::keyClick(&menu, Qt::Key_Down);
    QCOMPARE(menu.activeAction(), first);
    QTest::keyClick(&menu, Qt::Key_Down);
    QCOMPARE(menu.activeAction(), second);
    QTest::keyClick(&menu, Qt::Key_Return);
    QTRY_COMPARE(triggered.count(), 1);
    menu.popup(QPoint(100, 100));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QTest::keyClick(&menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu.isVisible());
    QCOMPARE(stolen, 0);
}

void TestMenu::subMenusAreSkinned()
{
    QZVMenu menu;
    QZVMenu *tracks = menu.addMenu(QStringLiteral("Tracks"));
    QVERIFY(tracks->parent() == &menu);
    QCOMPARE(menu.actions().size(), 1);
    QCOMPARE(menu.actions().first()->menu(), tracks);
    QVERIFY(qobject_cast<QZVMenuStyle *>(tracks->style()));
    QVERIFY(tracks->windowFlags() & Qt::FramelessWindowHint);
}

void TestMenu::missingCheckImageFallsBack()
{
    QTemporaryDir dir;
    QZVMenu menu;
    menu.setCheckStateImage(save(dir, "on.png", solid(QSize(20, 20), Qt::red)), dir.filePath("missing.png"));
    QVERIFY(!menu.styleAttribute()->checkedImage.isNull());
    QVERIFY(menu.styleAttribute()->uncheckedImage.isNull());
    QZVMenuStyle style;
    *style.attribute() = *menu.styleAttribute();
    style.attribute()->itemColor = Qt::white;
    QStyleOptionMenuItem item = menuItem(QString());
    item.checkType = QStyleOptionMenuItem::NonExclusive;
    item.checked = false;
    // The base style's check box indicator.
    QVERIFY(!inkBounds(paintItem(style, item), Qt::white).isEmpty());
    item.checked = true;
    QCOMPARE(inkBounds(paintItem(style, item), Qt::white), QRect(9, 7, 10, 10));
}

GLINTORA_TEST_MAIN(TestMenu)
#include "tst_menu.moc"
