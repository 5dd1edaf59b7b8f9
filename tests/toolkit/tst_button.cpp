#include "qzvbasebutton.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(QMouseEvent *)
Q_DECLARE_METATYPE(QEvent *)

using namespace SkinFixtures;

namespace {

const QList<QColor> kStateColors = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200),
                                    QColor(120, 120, 120)};

QColor centre(QZVBaseButton &button)
{
    return render(button).pixelColor(button.width() / 2, button.height() / 2);
}

}

class TestButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stripSizesButton();
    void statesPickFrames();
    void checkedAlwaysPressedFrame();
    void staticStateFreezes();
    void releaseReturnsToNormal();
    void disabledEnterIsNotRepainted();
    void mouseSignals();
    void enterResetsCursor();
    void badge_data();
    void badge();
    void iconPlacement();
    void widenedToItsText();
    void iconStripFollowsState();
    void flickerAlternatesFrames();
    void failedImagesKeepStrip();
    void borrowedStrip();
    void qtPaintsUntilSkinned();

private:
    QTemporaryDir m_dir;
    QString m_strip;
};

void TestButton::initTestCase()
{
    initToolkitTestEnvironment();
    qRegisterMetaType<QMouseEvent *>();
    qRegisterMetaType<QEvent *>();
    m_strip = save(m_dir, "strip.png", solidStrip(kStateColors, QSize(100, 60)));
}

void TestButton::stripSizesButton()
{
    QZVBaseButton button;
    button.setTextRect(QRect(1, 1, 5, 5));
    QVERIFY(button.setButtonImage(m_strip, true));
    QCOMPARE(button.size(), QSize(50, 30));
    QCOMPARE(button.textRect(), QRect(0, 0, 50, 30));
    QVERIFY(button.isCustomDraw());
}

void TestButton::statesPickFrames()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    QVERIFY(near(centre(button), kStateColors[0]));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.getBtnState(), 1);
    QVERIFY(near(centre(button), kStateColors[1]));
    sendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(near(centre(button), kStateColors[2]));
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::LeftButton, Qt::NoButton);
    button.setEnabled(false);
    QCOMPARE(button.getBtnState(), 3);
    QVERIFY(near(centre(button), kStateColors[3]));
    button.setEnabled(true);
    QCOMPARE(button.getBtnState(), 0);
}

void TestButton::checkedAlwaysPressedFrame()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, false));
    button.setTextColor(Qt::black, Qt::green, Qt::red, Qt::gray);
    button.setCheckable(true);
    button.setChecked(true);
    for (int state = 0; state < 4; ++state) {
        button.setBtnState(state);
        QVERIFY(near(centre(button), kStateColors[2]));
        QCOMPARE(button.currentDrawColor(), QColor(Qt::red));
    }
    // The mixin reads the checked state before Qt toggles it on release: a checked
    // button being unchecked falls back to hover.
    button.setBtnState(0);
    sendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!button.isChecked());
    QCOMPARE(button.getBtnState(), 1);
    QVERIFY(near(centre(button), kStateColors[1]));
}

void TestButton::staticStateFreezes()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    button.setCheckable(true);
    button.setChecked(true);
    button.setBtnState(3);
    button.setStaticState(true);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    button.setEnabled(false);
    button.setEnabled(true);
    QCOMPARE(button.getBtnState(), 3);
    // Static state ignores the checked state when drawing.
    QVERIFY(near(centre(button), kStateColors[3]));
}

void TestButton::releaseReturnsToNormal()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    sendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(button.getBtnState(), 2);
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(button.getBtnState(), 0);
}

void TestButton::disabledEnterIsNotRepainted()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    button.setEnabled(false);
    button.setBtnState(0);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.getBtnState(), 3);
    sendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(button.getBtnState(), 3);
}

void TestButton::mouseSignals()
{
    QZVBaseButton button;
    button.resize(80, 24);
    QSignalSpy down(&button, &QZVBaseButton::mouseDown);
    QSignalSpy move(&button, &QZVBaseButton::mouseMove);
    QSignalSpy release(&button, &QZVBaseButton::mouseRelease);
    QSignalSpy pressed(&button, &QAbstractButton::pressed);

    sendMouse(button, QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton, Qt::RightButton);
    QCOMPARE(down.count(), 0);
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton, Qt::NoButton);
    sendMouse(button, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, Qt::NoButton);
    QCOMPARE(move.count(), 0);

    sendMouse(button, QEvent::MouseButtonPress, QPoint(12, 5), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(1).toInt(), 12);
    QCOMPARE(pressed.count(), 1);
    sendMouse(button, QEvent::MouseMove, QPoint(40, 6), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(move.count(), 1);
    QCOMPARE(move.at(0).at(1).toInt(), 12);
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(40, 6), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(release.count(), 1);
    QCOMPARE(release.at(0).at(1).toInt(), 12);
}

void TestButton::enterResetsCursor()
{
    QWidget parent;
    parent.setCursor(Qt::SplitHCursor);
    QZVBaseButton *button = new QZVBaseButton(&parent);
    QSignalSpy entered(button, &QZVBaseButton::mouseEnter);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(button, &enter);
    QCOMPARE(entered.count(), 1);
    QVERIFY(button->testAttribute(Qt::WA_SetCursor));
    QCOMPARE(button->cursor().shape(), Qt::ArrowCursor);
}

void TestButton::badge_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("shown");
    QTest::newRow("none") << 0 << false;
    QTest::newRow("seven") << 7 << true;
    QTest::newRow("over 99") << 150 << true;
}

void TestButton::badge()
{
    QFETCH(int, count);
    QFETCH(bool, shown);
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(save(m_dir, "wide.png", solidStrip(kStateColors, QSize(240, 60))), true));
    QCOMPARE(button.width(), 120);
    for (int i = 0; i < count; ++i)
        button.addItemCount();
    QCOMPARE(button.itmeCount(), count);
    const QImage image = render(button);
    // The 20 x 20 circle at (100, 0): its rim is orange, its corners keep the strip.
    QCOMPARE(near(image.pixelColor(110, 2), QColor(255, 120, 0), 30), shown);
    QVERIFY(near(image.pixelColor(101, 1), kStateColors[0], 30));
    if (shown) {
        // The digits sit inside the circle.
        QImage badge = image.copy(100, 0, 20, 20);
        QVERIFY(!inkBounds(badge, QColor(255, 120, 0)).isEmpty());
    }
    button.resetCount();
    QVERIFY(near(render(button).pixelColor(110, 2), kStateColors[0]));
}

void TestButton::iconPlacement()
{
    QZVBaseButton button;
    button.resize(80, 40);
    QVERIFY(button.setButtonImage(save(m_dir, "clear.png", solidStrip({Qt::transparent, Qt::transparent,
                                                                        Qt::transparent, Qt::transparent},
                                                                       QSize(160, 80))),
                                  true));
    QVERIFY(button.setBtnIcon(solid(QSize(48, 48), Qt::blue)));
    button.setIconRect(QRect(10, -1, 0, 0));
    QCOMPARE(inkBounds(render(button)), QRect(10, 8, 24, 24));
}

void TestButton::widenedToItsText()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    QFont wideBold(QStringLiteral("DejaVu Sans"));
    wideBold.setPixelSize(15);
    wideBold.setBold(true);
    button.setFont(wideBold);
    button.setText("Converted");
    button.setTextRect(QRect(38, 0, 0, 0));
    button.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    button.widenToText();
    // Cut by the button's edge, the text's ink would reach its last column.
    QVERIFY(inkBounds(render(button), kStateColors[0]).right() < button.width() - 1);
}

void TestButton::iconStripFollowsState()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    QVERIFY(button.setBtnIcon(solidStrip({Qt::cyan, Qt::magenta, Qt::yellow, Qt::black}, QSize(20, 20))));
    button.setIconBtnMode(true);
    button.setIconRect(QRect(0, 0, 10, 10));
    QVERIFY(near(render(button).pixelColor(5, 5), Qt::cyan));
    button.setBtnState(2);
    QVERIFY(near(render(button).pixelColor(5, 5), Qt::yellow));
}

void TestButton::flickerAlternatesFrames()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    button.startFlicker(20);
    QVERIFY(near(centre(button), kStateColors[2]));
    QTRY_VERIFY(near(centre(button), kStateColors[1]));
    QTRY_VERIFY(near(centre(button), kStateColors[2]));
    button.stopFlicker();
    QVERIFY(near(centre(button), kStateColors[0]));
}

void TestButton::failedImagesKeepStrip()
{
    QZVBaseButton button;
    QVERIFY(button.setButtonImage(m_strip, true));
    QVERIFY(!button.setButtonImage(m_dir.filePath("missing.png"), true));
    QVERIFY(!button.setButtonImage(corruptFile(m_dir, "broken.png"), true));
    QVERIFY(button.isCustomDraw());
    QCOMPARE(button.size(), QSize(50, 30));
    QVERIFY(near(centre(button), kStateColors[0]));
}

void TestButton::borrowedStrip()
{
    QImage strip = solidStrip(kStateColors, QSize(40, 20));
    {
        QZVBaseButton button;
        QVERIFY(button.setButtonImage(&strip, true, false));
        QCOMPARE(button.size(), QSize(20, 10));
        // Replacing a borrowed strip must not delete it.
        QImage owned = solidStrip(kStateColors, QSize(20, 20));
        QVERIFY(button.setButtonImage(owned, true));
        QCOMPARE(button.size(), QSize(10, 10));
    }
    QCOMPARE(strip.width(), 160);
}

void TestButton::qtPaintsUntilSkinned()
{
    QZVBaseButton button;
    button.setText(QStringLiteral("OK"));
    button.resize(80, 24);
    QVERIFY(!button.isCustomDraw());
    QVERIFY(!inkBounds(render(button)).isEmpty());
}

GLINTORA_TEST_MAIN(TestButton)
#include "tst_button.moc"
