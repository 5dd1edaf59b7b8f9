#include "qzvbasebutton.h"
#include "qzvbaseslider.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QPushButton>
#include <QSignalSpy>

using namespace SkinFixtures;

class TestSlider : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void thumbForcesOffsets();
    void clickSetsValue_data();
    void clickSetsValue();
    void sameClickEmitsOnce();
    void pullDisabledKeepsKeys();
    void keysStepAndClamp();
    void enterAndReturnIgnored();
    void tabReachesTheSliderAndItsKeysReachTheListeners();
    void thumbFollowsValue_data();
    void thumbFollowsValue();
    void dragOnThumb();
    void failedThumbImageGetsDefaultSize();
    void verticalGrowsUpwards();
    void emptyRangeEmitsNothing();

private:
    QString m_thumb;
    QTemporaryDir m_dir;
};

namespace {

void sendKey(QWidget &widget, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

}

void TestSlider::initTestCase()
{
    initToolkitTestEnvironment();
    // Four 16 x 16 logical frames.
    m_thumb = save(m_dir, "thumb.png", solidStrip({Qt::white, Qt::yellow, Qt::red, Qt::gray}, QSize(32, 32)));
}

void TestSlider::thumbForcesOffsets()
{
    QZVBaseSlider slider;
    slider.resize(200, 20);
    QVERIFY(slider.setBtnImage(m_thumb));
    QCOMPARE(slider.getButton()->size(), QSize(16, 16));
    QCOMPARE(slider.getTLOffset(), 8);
    QCOMPARE(slider.getRBOffset(), 8);
    QCOMPARE(slider.getValidLenght(), 184.0);
    slider.setOffset(20, 2);
    QCOMPARE(slider.getTLOffset(), 20);
    QCOMPARE(slider.getRBOffset(), 8);
}

void TestSlider::clickSetsValue_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("fraction");
    QTest::newRow("track start") << 0.0 << 8 << 0.0 << 0.0;
    QTest::newRow("track end") << 0.0 << 192 << 100.0 << 1.0;
    QTest::newRow("quarter") << 0.0 << 54 << 25.0 << 0.25;
    QTest::newRow("current value") << 0.0 << 100 << 50.0 << -1.0;
    QTest::newRow("offset area") << 0.0 << 4 << 50.0 << -1.0;
    // A range from 1: the value counts from the minimum, the fraction is unchanged.
    QTest::newRow("from minimum, end") << 1.0 << 192 << 100.0 << 1.0;
    QTest::newRow("from minimum, middle") << 1.0 << 100 << 50.5 << 0.5;
}

void TestSlider::clickSetsValue()
{
    QFETCH(double, minimum);
    QFETCH(int, x);
    QFETCH(double, value);
    QFETCH(double, fraction);
    QZVBaseSlider slider;
    slider.resize(200, 20);
    slider.setBtnImage(m_thumb);
    slider.setRange(minimum, 100);
    slider.setValue(50);
    QSignalSpy sent(&slider, &QZVBaseSlider::sendProgressValue);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(x, 10), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(slider.value(), value);
    if (fraction < 0) {
        QCOMPARE(sent.count(), 0);
        return;
    }
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).toDouble(), fraction);
}

void TestSlider::sameClickEmitsOnce()
{
    QZVBaseSlider slider;
    slider.resize(200, 20);
    slider.setBtnImage(m_thumb);
    QSignalSpy sent(&slider, &QZVBaseSlider::sendProgressValue);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(60, 10), Qt::LeftButton, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(60, 10), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(sent.count(), 1);
}

void TestSlider::pullDisabledKeepsKeys()
{
    QZVBaseSlider slider;
    slider.resize(200, 20);
    slider.setBtnImage(m_thumb);
    slider.setEnabledPull(false);
    QSignalSpy sent(&slider, &QZVBaseSlider::sendProgressValue);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(100, 10), Qt::LeftButton, Qt::LeftButton);
    sendMouse(slider, QEvent::MouseMove, QPoint(150, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(slider.value(), 0.0);
    QCOMPARE(sent.count(), 0);
    sendKey(slider, Qt::Key_Right);
    QCOMPARE(slider.value(), 1.0);
    slider.setValue(30);
    QCOMPARE(slider.value(), 30.0);
    QCOMPARE(sent.count(), 0);
}

void TestSlider::keysStepAndClamp()
{
    QZVBaseSlider slider;
    slider.setValue(99.5);
    QSignalSpy changed(&slider, &QZVBaseProgress::valueChanged);
    sendKey(slider, Qt::Key_Right);
    QCOMPARE(slider.value(), 100.0);
    QCOMPARE(changed.count(), 1);
    sendKey(slider, Qt::Key_Up);
    QCOMPARE(slider.value(), 100.0);
    sendKey(slider, Qt::Key_Down);
    sendKey(slider, Qt::Key_Left);
    QCOMPARE(slider.value(), 98.0);
}

void TestSlider::enterAndReturnIgnored()
{
    QZVBaseSlider slider;
    slider.setValue(40);
    sendKey(slider, Qt::Key_Return);
    sendKey(slider, Qt::Key_Enter);
    QCOMPARE(slider.value(), 40.0);
}

void TestSlider::tabReachesTheSliderAndItsKeysReachTheListeners()
{
    QWidget window;
    auto *before = new QPushButton(QStringLiteral("before"), &window);
    auto *slider = new QZVBaseSlider(&window);
    slider->setGeometry(0, 40, 200, 20);
    slider->setBtnImage(m_thumb);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    QTest::keyClick(&window, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), slider);
    QSignalSpy sent(slider, &QZVBaseSlider::sendProgressValue);
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).toDouble(), 0.01);
}

void TestSlider::thumbFollowsValue_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("thumbX");
    // Point = track distance + start offset - 1; the thumb centres on it.
    QTest::newRow("middle") << 0.0 << 50.0 << 91;
    QTest::newRow("start") << 0.0 << 0.0 << -1;
    QTest::newRow("end from minimum 1") << 1.0 << 100.0 << 183;
}

void TestSlider::thumbFollowsValue()
{
    QFETCH(double, minimum);
    QFETCH(double, value);
    QFETCH(int, thumbX);
    QZVBaseSlider slider;
    slider.resize(200, 20);
    slider.setBtnImage(m_thumb);
    slider.setRange(minimum, 100);
    slider.setValue(value);
    render(slider);
    QCOMPARE(slider.getButton()->pos(), QPoint(thumbX, 2));
}

void TestSlider::dragOnThumb()
{
    QWidget window;
    QZVBaseSlider *slider = new QZVBaseSlider(&window);
    slider->setGeometry(20, 20, 200, 20);
    slider->setBtnImage(m_thumb);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    render(*slider);
    QZVBaseButton *thumb = slider->getButton();
    QSignalSpy sent(slider, &QZVBaseSlider::sendProgressValue);
    sendMouse(*thumb, QEvent::MouseButtonPress, QPoint(8, 8), Qt::LeftButton, Qt::LeftButton);
    // Dragging beyond the end clamps to it.
    sendMouse(*thumb, QEvent::MouseMove, QPoint(400, 8), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(slider->value(), 100.0);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).toDouble(), 1.0);
}

void TestSlider::failedThumbImageGetsDefaultSize()
{
    QZVBaseSlider slider;
    slider.resize(200, 24);
    QVERIFY(slider.setBtnImage(m_dir.filePath("missing.png")));
    QCOMPARE(slider.getButton()->size(), QSize(10, 24));
    QCOMPARE(slider.getTLOffset(), 5);
}

void TestSlider::verticalGrowsUpwards()
{
    QZVBaseSlider slider;
    slider.setProgressPolicy(QZVBaseProgress::Vertical);
    slider.resize(20, 200);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(10, 198), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(slider.value() < 2);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(10, 2), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(slider.value() > 98);
}

void TestSlider::emptyRangeEmitsNothing()
{
    QZVBaseSlider slider;
    slider.resize(200, 20);
    slider.setBtnImage(m_thumb);
    slider.setRange(30, 30);
    QSignalSpy sent(&slider, &QZVBaseSlider::sendProgressValue);
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(100, 10), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(sent.count(), 0);
    QCOMPARE(slider.value(), 30.0);
    render(slider);
}

GLINTORA_TEST_MAIN(TestSlider)
#include "tst_slider.moc"
