#include "qzvbasebutton.h"
#include "qzvspinbox.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QElapsedTimer>

using namespace SkinFixtures;

namespace {

// Counts the timer events that reach the spin box.
class CountingSpinBox : public QZVSpinBox
{
public:
    int ticks = 0;

protected:
    void timerEvent(QTimerEvent *event) override
    {
        ++ticks;
        QZVSpinBox::timerEvent(event);
    }
};

QList<QZVBaseButton *> buttonsOf(QZVSpinBox &spin)
{
    return spin.findChildren<QZVBaseButton *>(QString(), Qt::FindDirectChildrenOnly);
}

// Holds a button down for the given time while the event loop runs.
void hold(QZVBaseButton &button, int ms)
{
    sendMouse(button, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    QTest::qWait(ms);
    sendMouse(button, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton, Qt::NoButton);
}

}

class TestSpinBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buttonsPlaced();
    void quickClickStepsOnce();
    void holdRepeats();
    void secondPressLeavesOneTimer();
    void foreignTimerNeverSteps();
    void missingUpImageMeansNoButtons();
    void skinDropsNativeFrame();

private:
    QTemporaryDir m_dir;
    QString m_up;
    QString m_down;
};

void TestSpinBox::initTestCase()
{
    initToolkitTestEnvironment();
    const QList<QColor> frames = {Qt::white, Qt::lightGray, Qt::gray, Qt::darkGray};
    m_up = save(m_dir, "up.png", solidStrip(frames, QSize(24, 20)));
    m_down = save(m_dir, "down.png", solidStrip(frames, QSize(24, 20)));
}

void TestSpinBox::buttonsPlaced()
{
    QZVSpinBox spin;
    spin.resize(80, 24);
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    spin.setBtnMargins(-1, 0, 2, 0);
    spin.show();
    QVERIFY(QTest::qWaitForWindowExposed(&spin));
    const QList<QZVBaseButton *> buttons = buttonsOf(spin);
    QCOMPARE(buttons.size(), 2);
    QCOMPARE(buttons.at(0)->geometry(), QRect(66, 0, 12, 10));
    QCOMPARE(buttons.at(1)->geometry(), QRect(66, 14, 12, 10));
    // Computed once: a wider box keeps the left edge.
    spin.resize(120, 24);
    QCOMPARE(buttons.at(0)->pos(), QPoint(66, 0));
}

void TestSpinBox::quickClickStepsOnce()
{
    QZVSpinBox spin;
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    spin.setRange(0, 100);
    QZVBaseButton *up = buttonsOf(spin).at(0);
    QElapsedTimer clock;
    clock.start();
    hold(*up, 50);
    if (clock.elapsed() >= 600)
        QSKIP("the machine was too slow to release within the repeat delay");
    QCOMPARE(spin.value(), 1);
    hold(*buttonsOf(spin).at(1), 0);
    QCOMPARE(spin.value(), 0);
}

void TestSpinBox::holdRepeats()
{
    QZVSpinBox spin;
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    spin.setRange(0, 100);
    QZVBaseButton *up = buttonsOf(spin).at(0);
    hold(*up, 1000);
    // Ticks 7 to 10 step while held, the click adds one; a busy machine may lose ticks.
    QVERIFY2(spin.value() >= 2 && spin.value() <= 6, qPrintable(QString::number(spin.value())));
    const int released = spin.value();
    QTest::qWait(300);
    QCOMPARE(spin.value(), released);
}

void TestSpinBox::secondPressLeavesOneTimer()
{
    CountingSpinBox spin;
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    spin.setRange(0, 1000);
    QZVBaseButton *up = buttonsOf(spin).at(0);
    // Two presses without a release in between, then one release: no timer may survive.
    emit up->pressed();
    emit up->pressed();
    emit up->released();
    spin.ticks = 0;
    QTest::qWait(400);
    QCOMPARE(spin.ticks, 0);
}

void TestSpinBox::foreignTimerNeverSteps()
{
    QZVSpinBox spin;
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    const int id = spin.startTimer(1);
    for (int i = 0; i < 20; ++i) {
        QTimerEvent event(id);
        QApplication::sendEvent(&spin, &event);
    }
    spin.killTimer(id);
    QCOMPARE(spin.value(), 0);
}

void TestSpinBox::missingUpImageMeansNoButtons()
{
    QZVSpinBox spin;
    spin.setUpAndDownBtnImage(m_up, m_down, true);
    spin.setUpAndDownBtnImage(m_dir.filePath("missing.png"), m_down, true);
    QVERIFY(buttonsOf(spin).isEmpty());
    spin.pressBtn();
    QTest::qWait(50);
    QCOMPARE(spin.value(), 0);
}

void TestSpinBox::skinDropsNativeFrame()
{
    QZVSpinBox spin;
    QVERIFY(!spin.setBackgroundImage(m_dir.filePath("missing.png")));
    QVERIFY(spin.styleSheet().isEmpty());
    QVERIFY(spin.setBackgroundImage(m_up));
    QVERIFY(spin.styleSheet().contains(QStringLiteral("QZVSpinBox")));
}

GLINTORA_TEST_MAIN(TestSpinBox)
#include "tst_spinbox.moc"
