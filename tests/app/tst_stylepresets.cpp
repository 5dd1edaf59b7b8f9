#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qzvbasebutton.h"
#include "qzvbaseslider.h"
#include "qzvcheckbox.h"
#include "qzvcombobox.h"
#include "qzvlineedit.h"
#include "qzvscrollbar.h"
#include "qzvspinbox.h"
#include "qzvtextedit.h"
#include "qzvdialog.h"
#include "qzvmenu.h"
#include "qzvradiobutton.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QTextEdit>

using namespace SkinFixtures;

// The presets give the toolkit controls the application's look.
class TestStylePresets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nullControlIsIgnored();
    void buttonSizes_data();
    void buttonSizes();
    void paletteKeepsDisabledGrey_data();
    void paletteKeepsDisabledGrey();
    void dialogFrameCornersStayFixed();
    void dialogBackgroundsAreNotResizable_data();
    void dialogBackgroundsAreNotResizable();
    void dialogFrameLook();
    void tabButtonIsCheckable();
    void boxTextColors_data();
    void boxTextColors();
    void menuColors();
    void sliderShowsNoText();
    void scrollBarLook();
    void editLook();
    void textEditMarginsStay();
    void comboBackground_data();
    void comboBackground();

private:
    QTemporaryDir m_dir;
};

namespace {

void showAt(QWidget &window, const QRect &geometry)
{
    window.setGeometry(geometry);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

}

void TestStylePresets::initTestCase()
{
    initToolkitTestEnvironment();
    QVERIFY(m_dir.isValid());
}

void TestStylePresets::nullControlIsIgnored()
{
    QInitCtrlStyle::InitFont(nullptr, 13);
    QInitCtrlStyle::InitPalette(nullptr, QPalette::Text, Qt::red);
    QInitCtrlStyle::InitBg1(nullptr);
    QInitCtrlStyle::InitBg2(nullptr);
    QInitCtrlStyle::InitBg3(nullptr);
    QInitCtrlStyle::InitBg4(nullptr);
    QInitCtrlStyle::InitZVButton(nullptr, 10, 10);
    QInitCtrlStyle::InitZVButton1(nullptr, 10, 10);
    QInitCtrlStyle::InitTabBtn(nullptr);
    QInitCtrlStyle::InitCheckBox(nullptr);
    QInitCtrlStyle::InitRadio(nullptr);
    QInitCtrlStyle::InitZvMenu(nullptr);
    QInitCtrlStyle::InitZVSlider(nullptr);
    QInitCtrlStyle::InitZvScrollBar(nullptr);
    QInitCtrlStyle::InitEdit(nullptr);
    QInitCtrlStyle::InitTextEdit(nullptr);
    QInitCtrlStyle::InitSpinbox(nullptr);
    QInitCtrlStyle::InitZVCombox1(nullptr, 60, 22, QString());
    QInitCtrlStyle::InitZVCombox(nullptr, 60, 22);
    InitDlg(nullptr);
}

void TestStylePresets::buttonSizes_data()
{
    QTest::addColumn<bool>("secondSkin");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");
    // The skins are 80 x 24 strips; the second skin keeps that size unless a width is given.
    QTest::newRow("common, given size") << false << QSize(100, 24) << QSize(100, 24);
    QTest::newRow("common, zero size") << false << QSize(0, 0) << QSize(0, 0);
    QTest::newRow("second, given size") << true << QSize(81, 30) << QSize(81, 30);
    QTest::newRow("second, zero width") << true << QSize(0, 40) << QSize(80, 24);
    QTest::newRow("second, negative width") << true << QSize(-5, 40) << QSize(80, 24);
}

void TestStylePresets::buttonSizes()
{
    QFETCH(bool, secondSkin);
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    QZVBaseButton button;
    if (secondSkin)
        QInitCtrlStyle::InitZVButton1(&button, requested.width(), requested.height());
    else
        QInitCtrlStyle::InitZVButton(&button, requested.width(), requested.height());
    QCOMPARE(button.size(), expected);
    QCOMPARE(button.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(button.font().pixelSize(), 13);
}

void TestStylePresets::paletteKeepsDisabledGrey_data()
{
    QTest::addColumn<int>("role");
    QTest::newRow("text") << int(QPalette::Text);
    QTest::newRow("window text") << int(QPalette::WindowText);
    QTest::newRow("highlight") << int(QPalette::Highlight);
}

void TestStylePresets::paletteKeepsDisabledGrey()
{
    QFETCH(int, role);
    const auto colorRole = QPalette::ColorRole(role);
    QWidget widget;
    QInitCtrlStyle::InitPalette(&widget, colorRole, QColor(10, 20, 30));
    const QPalette palette = widget.palette();
    QCOMPARE(palette.color(QPalette::Active, colorRole), QColor(10, 20, 30));
    QCOMPARE(palette.color(QPalette::Inactive, colorRole), QColor(10, 20, 30));
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), QColor(167, 167, 167));
    if (colorRole != QPalette::WindowText)
        QCOMPARE(palette.color(QPalette::Disabled, colorRole), QColor(10, 20, 30));
}

void TestStylePresets::dialogFrameCornersStayFixed()
{
    // A background of 180 x 180 logical pixels with one red column at x 70: with fixed
    // 80-pixel corners that column is drawn where it lies, while corners of a third of
    // the image (the background setter's) would stretch it to the right.
    QImage image = solid(QSize(360, 360), Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        image.setPixelColor(140, y, Qt::red);
        image.setPixelColor(141, y, Qt::red);
    }
    QZVDialog dialog;
    QVERIFY(dialog.setBackgroundImage(image, true));
    InitDlg(&dialog);
    dialog.resize(400, 400);
    const QImage shown = render(dialog);
    QVERIFY(near(shown.pixelColor(70, 200), Qt::red, 40));
    QVERIFY(near(shown.pixelColor(100, 200), Qt::white, 10));
}

void TestStylePresets::dialogBackgroundsAreNotResizable_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<bool>("resizable");
    QTest::newRow("background 1") << 1 << false;
    QTest::newRow("background 2") << 2 << false;
    QTest::newRow("background 4") << 4 << false;
    // The player's background stays resizable by its edges.
    QTest::newRow("player background") << 3 << true;
}

void TestStylePresets::dialogBackgroundsAreNotResizable()
{
    QFETCH(int, preset);
    QFETCH(bool, resizable);
    QZVDialog dialog;
    void (*const presets[])(void *) = {nullptr, QInitCtrlStyle::InitBg1, QInitCtrlStyle::InitBg2,
                                       QInitCtrlStyle::InitBg3, QInitCtrlStyle::InitBg4};
    presets[preset](&dialog);
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.testAttribute(Qt::WA_TranslucentBackground), preset != 3);
    showAt(dialog, QRect(100, 100, 300, 200));
    sendGlobalMouse(dialog, QEvent::MouseMove, QPoint(101, 200), Qt::NoButton, Qt::NoButton);
    // Hovering the left edge shows a resize cursor only where the edges resize.
    QCOMPARE(dialog.cursor().shape() != Qt::ArrowCursor, resizable);
}

void TestStylePresets::dialogFrameLook()
{
    QZVDialog dialog;
    QInitCtrlStyle::InitBg1(&dialog);
    // The background image sets the size, 200 x 200 logical pixels.
    QCOMPARE(dialog.size(), QSize(200, 200));
    QCOMPARE(dialog.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(dialog.font().pixelSize(), 13);
    QCOMPARE(dialog.palette().color(QPalette::Inactive, QPalette::WindowText), QColor(53, 53, 53));
    QCOMPARE(int(dialog.alignment()), int(Qt::AlignHCenter | Qt::AlignVCenter));
    // Dragging by the 30-pixel top band moves the dialog.
    showAt(dialog, QRect(100, 100, 200, 200));
    sendGlobalMouse(dialog, QEvent::MouseButtonPress, QPoint(150, 128), Qt::LeftButton, Qt::LeftButton);
    sendGlobalMouse(dialog, QEvent::MouseMove, QPoint(170, 148), Qt::NoButton, Qt::LeftButton);
    sendGlobalMouse(dialog, QEvent::MouseButtonRelease, QPoint(170, 148), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(dialog.pos(), QPoint(120, 120));
}

void TestStylePresets::tabButtonIsCheckable()
{
    QZVBaseButton button;
    QInitCtrlStyle::InitTabBtn(&button);
    QVERIFY(button.isCheckable());
    QCOMPARE(button.size(), QSize(80, 22));
}

void TestStylePresets::boxTextColors_data()
{
    QTest::addColumn<bool>("radio");
    QTest::newRow("check box") << false;
    QTest::newRow("radio button") << true;
}

void TestStylePresets::boxTextColors()
{
    QFETCH(bool, radio);
    QScopedPointer<QWidget> box(radio ? static_cast<QWidget *>(new QZVRadioButton)
                                      : static_cast<QWidget *>(new QZVCheckBox));
    if (radio)
        QInitCtrlStyle::InitRadio(box.data());
    else
        QInitCtrlStyle::InitCheckBox(box.data());
    const QPalette palette = box->palette();
    QCOMPARE(palette.color(QPalette::Active, QPalette::WindowText), QColor(53, 53, 53));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::WindowText), QColor(53, 53, 53));
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), QColor(167, 167, 167));
    QCOMPARE(box->font().pixelSize(), 13);
    // The 14 x 14 box image sets the height.
    QVERIFY(box->height() >= 14);
}

void TestStylePresets::menuColors()
{
    QZVMenu menu;
    QInitCtrlStyle::InitZvMenu(&menu);
    const QZVMenuStyleAttribute *style = menu.styleAttribute();
    QCOMPARE(style->frameWidth, 1);
    QCOMPARE(style->frameColor, QColor(213, 214, 215));
    QCOMPARE(style->areaColor, QColor(242, 242, 242));
    QCOMPARE(style->itemTextColor, QColor(68, 68, 68));
    QCOMPARE(style->itemSelectColor, QColor(255, 218, 43));
    QCOMPARE(style->itemTextSelectColor, QColor(68, 68, 68));
    QCOMPARE(style->itemTextDisabledColor, QColor(167, 167, 167));
    QCOMPARE(style->itemDisabledColor, QColor(242, 242, 242));
    QCOMPARE(style->separatorColor, QColor(231, 231, 231));
    QCOMPARE(menu.font().pixelSize(), 13);
}

void TestStylePresets::sliderShowsNoText()
{
    QZVBaseSlider slider;
    QInitCtrlStyle::InitZVSlider(&slider);
    QVERIFY(slider.format().isEmpty());
    QCOMPARE(slider.getTLOffset(), 7);
    QCOMPARE(slider.getRBOffset(), 7);
}

void TestStylePresets::scrollBarLook()
{
    QZVScrollBar bar;
    QInitCtrlStyle::InitZvScrollBar(&bar);
    const QZVScrollBarStyleAttribute style = bar.styleAttribute();
    const QZVScrollBarStyleAttribute defaults;
    QVERIFY(style.trackAlways);
    QCOMPARE(style.grooveColor, QColor(240, 240, 240));
    QCOMPARE(style.trackColor, QColor(240, 240, 240));
    QCOMPARE(style.lineButtonColor, QColor(214, 214, 214));
    QCOMPARE(style.handleColor, QColor(214, 214, 214));
    QCOMPARE(style.handlePressedColor, QColor(214, 214, 214));
    QCOMPARE(style.handleHoverColor, QColor(214, 214, 214));
    QCOMPARE(style.scrollBarExtent, defaults.scrollBarExtent);
    QCOMPARE(style.auxColor2, defaults.auxColor2);
}

void TestStylePresets::editLook()
{
    QZVLineEdit edit;
    QInitCtrlStyle::InitEdit(&edit);
    QCOMPARE(edit.size(), QSize(175, 20));
    QCOMPARE(edit.textMargins(), QMargins(3, 0, 0, 0));
    QCOMPARE(edit.font().pixelSize(), 12);
    QCOMPARE(edit.palette().color(QPalette::Active, QPalette::Text), QColor(53, 53, 53));

    QZVSpinBox spin;
    QInitCtrlStyle::InitSpinbox(&spin);
    QCOMPARE(spin.font().pixelSize(), 12);
    QCOMPARE(spin.palette().color(QPalette::Active, QPalette::Text), QColor(53, 53, 53));
}

void TestStylePresets::textEditMarginsStay()
{
    QZVTextEdit edit;
    edit.resize(200, 60);
    QInitCtrlStyle::InitTextEdit(&edit);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QCOMPARE(edit.textEdit()->geometry(), QRect(3, 0, 197, 60));
    QCOMPARE(edit.textEdit()->font().pixelSize(), 12);
}

void TestStylePresets::comboBackground_data()
{
    QTest::addColumn<bool>("ownBackground");
    QTest::newRow("own background, used as given") << true;
    QTest::newRow("common background") << false;
}

void TestStylePresets::comboBackground()
{
    QFETCH(bool, ownBackground);
    // A solid red strip of four 60 x 22 frames, given by its absolute path.
    const QString path = save(m_dir, "combo.png", solid(QSize(480, 44), QColor(220, 0, 0)));
    QZVComboBox box;
    QFont before = box.font();
    before.setFamily(QStringLiteral("Serif"));
    box.setFont(before);
    QInitCtrlStyle::InitZVCombox1(&box, 120, 22, ownBackground ? path : QString());
    box.addItem(QStringLiteral("JPG"));
    QCOMPARE(box.size(), QSize(120, 22));
    QCOMPARE(box.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(box.font().pixelSize(), 12);
    const QColor centre = render(box).pixelColor(30, 11);
    QCOMPARE(near(centre, QColor(220, 0, 0), 30), ownBackground);
}

GLINTORA_TEST_MAIN(TestStylePresets)
#include "tst_stylepresets.moc"
