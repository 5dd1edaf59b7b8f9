#include "qzvbasebutton.h"
#include "qzvcombobox.h"
#include "qzvcomboboxitem.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>

using namespace SkinFixtures;

namespace {

// Counts the style changes a widget receives.
class StyleChangeCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::StyleChange)
            ++count;
        return false;
    }
};

QListWidget *listOf(QZVComboBox &combo)
{
    return qobject_cast<QListWidget *>(combo.view());
}

}

class TestComboBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstItemIsShown();
    void itemRuleAppearsOnce();
    void cutStyleString_data();
    void cutStyleString();
    void spacingSplitsBetweenRows();
    void autoWidthNeverNarrowerThanBox();
    void arrowButtonPlacedOnce();
    void typingAddsNoItem();
    void itemsSurviveSkinning();
    void paintsDoNotRestyle();
    void popupOffsetMovesBelowBox();
    void plainRegimeForwards();
    void rowHoverAndCurrent_data();
    void rowHoverAndCurrent();
    void rowSpacingStrips();
    void rowSeparatorAndWidget();

private:
    QTemporaryDir m_dir;
    QString m_skin;
    QString m_arrow;
};

void TestComboBox::initTestCase()
{
    initToolkitTestEnvironment();
    m_skin = save(m_dir, "combo.png", solid(QSize(60, 40), Qt::white));
    m_arrow = save(m_dir, "arrow.png", solidStrip({Qt::gray, Qt::darkGray, Qt::black, Qt::lightGray}, QSize(32, 32)));
}

void TestComboBox::firstItemIsShown()
{
    QZVComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(m_skin));
    combo.addItem(QStringLiteral("GIF"), 1);
    QCOMPARE(combo.drawText(), QStringLiteral("GIF"));
    QCOMPARE(combo.toolTip(), QStringLiteral("GIF"));
    combo.addItem(QStringLiteral("WEBP"), 2);
    QCOMPARE(combo.drawText(), QStringLiteral("GIF"));
    QCOMPARE(combo.count(), 2);
    QVERIFY(qobject_cast<QZVComboBoxItem *>(listOf(combo)->itemWidget(listOf(combo)->item(1))));
    combo.setCurrentIndex(1);
    QCOMPARE(combo.drawText(), QStringLiteral("WEBP"));
    QCOMPARE(combo.itemData(1).toInt(), 2);
    combo.removeItem(0);
    QCOMPARE(combo.count(), 1);
    QCOMPARE(combo.itemText(0), QStringLiteral("WEBP"));
}

void TestComboBox::itemRuleAppearsOnce()
{
    QZVComboBox combo;
    combo.setItemBgColor(QColor(250, 250, 250));
    combo.setItemBgColor(QColor(250, 250, 250));
    combo.setItemBgColor(QColor(240, 240, 240));
    QCOMPARE(combo.styleSheet().count(QStringLiteral("QListView::item {background: ")), 1);
    QVERIFY(combo.styleSheet().contains(QStringLiteral("QListView::item {background: #f0f0f0;}")));
    combo.setItemBorder(1, Qt::red);
    combo.setItemBorder(2, Qt::blue);
    QCOMPARE(combo.styleSheet().count(QStringLiteral("border: ")), 1);
    QVERIFY(combo.styleSheet().contains(QStringLiteral("border: 2px solid #0000ff}")));
}

void TestComboBox::cutStyleString_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("result");
    QTest::newRow("rule in the middle") << "A{x} QListView::item {background: #fff;} B{y}" << true << "A{x}  B{y}";
    QTest::newRow("absent") << "A{x}" << false << "A{x}";
    QTest::newRow("no end marker") << "A{x} QListView::item {background: #fff" << true << "A{x} #fff";
    QTest::newRow("case matters") << "qlistview::item {background: #fff;}" << false
                                  << "qlistview::item {background: #fff;}";
}

void TestComboBox::cutStyleString()
{
    QFETCH(QString, sheet);
    QFETCH(bool, found);
    QFETCH(QString, result);
    QCOMPARE(QZVComboBox::cutStyleString(sheet, QStringLiteral("QListView::item {background: "),
                                         QStringLiteral(";}")),
             found);
    QCOMPARE(sheet, result);
}

void TestComboBox::spacingSplitsBetweenRows()
{
    QZVComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(m_skin));
    combo.addItems({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    combo.setItemHeight(20);
    combo.setItemSpacing(5, Qt::gray);
    combo.showPopup();
    QListWidget *list = listOf(combo);
    QCOMPARE(list->item(0)->sizeHint().height(), 23);
    QCOMPARE(list->item(1)->sizeHint().height(), 25);
    QCOMPARE(list->item(2)->sizeHint().height(), 22);
    combo.hidePopup();
}

void TestComboBox::autoWidthNeverNarrowerThanBox()
{
    QZVComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(m_skin));
    combo.setItemBorder(1, Qt::black);
    combo.addItem(QStringLiteral("A"));
    combo.showPopup();
    QCOMPARE(combo.itemWidth(), 118);
    combo.hidePopup();
    combo.addItem(QStringLiteral("A very long entry that is much wider than the box itself"));
    combo.showPopup();
    QVERIFY(combo.itemWidth() > 118);
    combo.hidePopup();
    combo.setItemWidth(200);
    combo.showPopup();
    QCOMPARE(combo.itemWidth(), 200);
    combo.hidePopup();
}

void TestComboBox::arrowButtonPlacedOnce()
{
    QZVComboBox combo;
    combo.resize(120, 24);
    combo.setButtonImage(m_arrow, true);
    combo.setBtnMargins(-1, -1, 4, 0);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QZVBaseButton *arrow = combo.findChild<QZVBaseButton *>();
    QVERIFY(arrow);
    QCOMPARE(arrow->geometry(), QRect(100, 4, 16, 16));
    combo.resize(200, 40);
    QCOMPARE(arrow->pos(), QPoint(100, 4));
    combo.setButtonImage(m_dir.filePath("missing.png"), true);
    QVERIFY(!combo.findChild<QZVBaseButton *>());
}

void TestComboBox::typingAddsNoItem()
{
    QZVComboBox combo;
    combo.addItems({QStringLiteral("English"), QStringLiteral("Deutsch")});
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QVERIFY(combo.lineEdit()->isHidden());
    QTest::keyClicks(combo.lineEdit(), QStringLiteral("Klingon"));
    QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
    QTest::keyClicks(&combo, QStringLiteral("Klingon"));
    QTest::keyClick(&combo, Qt::Key_Return);
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.currentText(), QStringLiteral("English"));
}

void TestComboBox::itemsSurviveSkinning()
{
    QZVComboBox combo;
    combo.resize(120, 24);
    combo.addItem(QStringLiteral("H.264"), 27);
    combo.addItem(QStringLiteral("HEVC"), 173);
    combo.setCurrentIndex(1);
    QVERIFY(combo.setBackgroundImage(m_skin));
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemText(0), QStringLiteral("H.264"));
    QCOMPARE(combo.itemData(1).toInt(), 173);
    QCOMPARE(combo.currentIndex(), 1);
    QCOMPARE(combo.drawText(), QStringLiteral("HEVC"));
    QVERIFY(qobject_cast<QZVComboBoxItem *>(listOf(combo)->itemWidget(listOf(combo)->item(0))));
}

void TestComboBox::paintsDoNotRestyle()
{
    QZVComboBox combo;
    combo.resize(120, 24);
    QVERIFY(combo.setBackgroundImage(m_skin));
    combo.addItem(QStringLiteral("GIF"));
    render(combo);
    StyleChangeCounter counter;
    combo.lineEdit()->installEventFilter(&counter);
    render(combo);
    render(combo);
    QCOMPARE(counter.count, 0);
    // A new text colour is a real change.
    combo.setTextColor(Qt::red, Qt::red, Qt::red, Qt::red);
    render(combo);
    QVERIFY(counter.count > 0);
    QVERIFY(combo.lineEdit()->styleSheet().contains(QStringLiteral("#ff0000")));
}

void TestComboBox::popupOffsetMovesBelowBox()
{
    QWidget window;
    QZVComboBox *combo = new QZVComboBox(&window);
    combo->setGeometry(40, 40, 120, 24);
    QVERIFY(combo->setBackgroundImage(m_skin));
    combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
    window.resize(300, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    combo->showPopup();
    QFrame *container = combo->findChild<QFrame *>();
    QVERIFY(container);
    const QPoint natural = container->pos();
    combo->hidePopup();
    combo->setPopupOffestPoint(QPoint(10, 50));
    combo->showPopup();
    QCOMPARE(container->pos(), QPoint(natural.x() + 10, combo->mapToGlobal(QPoint(0, 0)).y() + 24));
    combo->hidePopup();
}

void TestComboBox::plainRegimeForwards()
{
    QZVComboBox combo;
    combo.addItems({QStringLiteral("a"), QStringLiteral("b")});
    combo.insertItem(0, QStringLiteral("z"), 5);
    combo.setItemText(1, QStringLiteral("A"));
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.itemText(1), QStringLiteral("A"));
    QCOMPARE(combo.itemData(0).toInt(), 5);
    QVERIFY(!qobject_cast<QListWidget *>(combo.view()));
    QVERIFY(!combo.getItemWidgt(0));
}

void TestComboBox::rowHoverAndCurrent_data()
{
    QTest::addColumn<bool>("hoverSet");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<bool>("current");
    QTest::addColumn<QColor>("expected");
    const QColor item(255, 255, 255);
    const QColor hover(10, 200, 10);
    const QColor selected(205, 232, 255);
    QTest::newRow("no hover colour, hovered") << false << true << false << selected;
    QTest::newRow("no hover colour, current") << false << false << true << item;
    QTest::newRow("hover colour, hovered") << true << true << false << hover;
    QTest::newRow("hover colour, current") << true << false << true << selected;
}

void TestComboBox::rowHoverAndCurrent()
{
    QFETCH(bool, hoverSet);
    QFETCH(bool, hovered);
    QFETCH(bool, current);
    QFETCH(QColor, expected);
    QListWidget list;
    auto *first = new QListWidgetItem(QString(), &list);
    auto *second = new QListWidgetItem(QString(), &list);
    list.setCurrentItem(current ? first : second);
    QZVComboBoxItem row(nullptr, first);
    row.resize(100, 20);
    QComboBoxItemAttribute attribute;
    attribute.hoverColor = QColor(10, 200, 10);
    attribute.hoverColorSet = hoverSet;
    row.setItemAttribute(attribute);
    if (hovered) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&row, &enter);
    }
    QVERIFY(near(render(row).pixelColor(50, 10), expected));
}

void TestComboBox::rowSpacingStrips()
{
    QListWidget list;
    QList<QListWidgetItem *> items;
    for (int i = 0; i < 3; ++i)
        items.append(new QListWidgetItem(QString(), &list));
    QComboBoxItemAttribute attribute;
    attribute.spacing = 1;
    attribute.spacingColor = Qt::blue;
    for (int i = 0; i < 3; ++i) {
        QZVComboBoxItem row(nullptr, items.at(i));
        row.resize(100, 20);
        row.setItemAttribute(attribute);
        const QImage image = render(row);
        QVERIFY2(!near(image.pixelColor(50, 0), Qt::blue), "no top strip with spacing 1");
        QCOMPARE(near(image.pixelColor(50, 19), Qt::blue), i < 2);
    }
}

void TestComboBox::rowSeparatorAndWidget()
{
    QListWidget list;
    auto *item = new QListWidgetItem(QString(), &list);
    QZVComboBoxItem row(nullptr, item);
    row.resize(100, 24);
    QComboBoxItemAttribute attribute;
    attribute.separatorColor = Qt::red;
    row.setItemAttribute(attribute);
    row.setSeparatorHeight(1);
    const QImage image = render(row);
    QVERIFY(near(image.pixelColor(1, 23), Qt::red));
    QVERIFY(near(image.pixelColor(98, 23), Qt::red));
    QVERIFY(!near(image.pixelColor(0, 23), Qt::red));
    QVERIFY(!near(image.pixelColor(50, 22), Qt::red));
    QWidget *embedded = new QWidget(&row);
    embedded->resize(16, 16);
    row.setWidgt(embedded);
    row.show();
    QCOMPARE(embedded->pos(), QPoint(2, 4));
    QCOMPARE(row.index(), 0);
}

GLINTORA_TEST_MAIN(TestComboBox)
#include "tst_combobox.moc"
