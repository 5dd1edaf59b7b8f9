#include "qzvscrollbar.h"
#include "qzvscrollbarstyle.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionSlider>

using namespace SkinFixtures;

namespace {

const QColor kGroove(240, 240, 240);
const QColor kHandle(96, 96, 96);
const QColor kTrack(149, 149, 153);

struct Painted
{
    QImage image;
    QRect handle;
    QRect groove;
};

// Paints a vertical bar of the given width through the style, with the handle in the
// middle of a 200-high bar.
Painted paintBar(QZVScrollBarStyle &style, int width, QStyle::State extra = QStyle::State_None,
                 int minimum = 0, int maximum = 100, bool enabled = true)
{
    QStyleOptionSlider option;
    option.rect = QRect(0, 0, width, 200);
    option.orientation = Qt::Vertical;
    option.minimum = minimum;
    option.maximum = maximum;
    option.sliderPosition = 50;
    option.sliderValue = 50;
    option.pageStep = 20;
    option.state = extra;
    if (enabled)
        option.state |= QStyle::State_Enabled;
    option.subControls = QStyle::SC_All;
    option.activeSubControls = (extra & (QStyle::State_Sunken | QStyle::State_MouseOver)) ? QStyle::SC_ScrollBarSlider
                                                                                            : QStyle::SC_None;
    Painted painted;
    painted.image = QImage(option.rect.size(), QImage::Format_ARGB32);
    painted.image.fill(Qt::transparent);
    QPainter painter(&painted.image);
    style.drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, nullptr);
    painter.end();
    painted.handle = style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, nullptr);
    painted.groove = style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, nullptr);
    return painted;
}

int handleWidthAt(const QImage &image, int y)
{
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        count += near(image.pixelColor(x, y), kHandle, 30) ? 1 : 0;
    return count;
}

}

class TestScrollBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initToolkitTestEnvironment(); }
    void defaultsOfTheRecord();
    void emptyRangePaintsNothing();
    void restingHandle();
    void insetNarrowsRestingHandle_data();
    void insetNarrowsRestingHandle();
    void trackAlwaysShowsTrackAndStates_data();
    void trackAlwaysShowsTrackAndStates();
    void disabledHandleKeepsHandleColour();
    void metricsPassThrough();
    void barFixesThickness();
    void arrowImages();
};

void TestScrollBar::defaultsOfTheRecord()
{
    const QZVScrollBarStyleAttribute record;
    QCOMPARE(record.grooveColor, QColor(240, 240, 240, 255));
    QCOMPARE(record.trackColor, QColor(149, 149, 153, 255));
    QVERIFY(record.image.isNull());
    QCOMPARE(record.scrollBarExtent, 11);
    QVERIFY(!record.trackAlways);
    QCOMPARE(record.lineButtonColor, QColor(240, 240, 240, 255));
    QCOMPARE(record.auxColor1, QColor(111, 115, 123, 255));
    QCOMPARE(record.auxColor2, QColor(89, 90, 93, 255));
    QCOMPARE(record.auxColor3, QColor(124, 125, 128, 255));
    QCOMPARE(record.auxColor4, record.lineButtonColor);
    QCOMPARE(record.handleColor, QColor(96, 96, 96, 255));
    QCOMPARE(record.handlePressedColor, QColor(96, 96, 96, 255));
    QCOMPARE(record.handleHoverColor, QColor(96, 96, 96, 255));
    QCOMPARE(record.handleInset, 0);
    QCOMPARE(record.cornerRadius, -1);
}

void TestScrollBar::emptyRangePaintsNothing()
{
    QZVScrollBarStyle style;
    const Painted painted = paintBar(style, 11, QStyle::State_None, 30, 30);
    QVERIFY(inkBounds(painted.image).isEmpty());
}

void TestScrollBar::restingHandle()
{
    QZVScrollBarStyle style;
    const Painted painted = paintBar(style, 11);
    const QPoint middle = painted.handle.center();
    QVERIFY(near(painted.image.pixelColor(middle), kHandle));
    QVERIFY(near(painted.image.pixelColor(5, painted.groove.top() + 2), kGroove));
    // Fully rounded ends (radius 5): the handle's corner pixel is not handle-coloured.
    QVERIFY(!near(painted.image.pixelColor(painted.handle.left(), painted.handle.top()), kHandle, 30));
    QCOMPARE(handleWidthAt(painted.image, middle.y()), 11);
}

void TestScrollBar::insetNarrowsRestingHandle_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("inset");
    QTest::addColumn<bool>("expanded");
    QTest::addColumn<int>("handleWidth");
    QTest::newRow("inset 3 at rest") << 11 << 3 << false << 5;
    QTest::newRow("too thin at rest") << 5 << 3 << false << 5;
    QTest::newRow("thin but expanded") << 5 << 2 << true << 1;
}

void TestScrollBar::insetNarrowsRestingHandle()
{
    QFETCH(int, width);
    QFETCH(int, inset);
    QFETCH(bool, expanded);
    QFETCH(int, handleWidth);
    QZVScrollBarStyle style;
    style.attribute()->handleInset = inset;
    style.attribute()->cornerRadius = 0;
    style.attribute()->trackAlways = expanded;
    const Painted painted = paintBar(style, width);
    QCOMPARE(handleWidthAt(painted.image, painted.handle.center().y()), handleWidth);
}

void TestScrollBar::trackAlwaysShowsTrackAndStates_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QColor>("handle");
    QTest::newRow("resting") << int(QStyle::State_None) << QColor(10, 10, 10);
    QTest::newRow("hovered") << int(QStyle::State_MouseOver) << QColor(20, 20, 200);
    QTest::newRow("pressed") << int(QStyle::State_Sunken) << QColor(200, 20, 20);
}

void TestScrollBar::trackAlwaysShowsTrackAndStates()
{
    QFETCH(int, state);
    QFETCH(QColor, handle);
    QZVScrollBarStyle style;
    style.attribute()->trackAlways = true;
    style.attribute()->handleColor = QColor(10, 10, 10);
    style.attribute()->handleHoverColor = QColor(20, 20, 200);
    style.attribute()->handlePressedColor = QColor(200, 20, 20);
    const Painted painted = paintBar(style, 11, QStyle::State(state));
    QVERIFY(near(painted.image.pixelColor(painted.handle.center()), handle));
    const int trackY = painted.handle.top() > painted.groove.top() + 10 ? painted.groove.top() + 8
                                                                          : painted.groove.bottom() - 8;
    QVERIFY(near(painted.image.pixelColor(5, trackY), kTrack));
}

void TestScrollBar::disabledHandleKeepsHandleColour()
{
    QZVScrollBarStyle style;
    style.attribute()->trackAlways = true;
    style.attribute()->handleColor = QColor(10, 10, 10);
    style.attribute()->handlePressedColor = QColor(200, 20, 20);
    const Painted painted = paintBar(style, 11, QStyle::State_Sunken, 0, 100, false);
    QVERIFY(near(painted.image.pixelColor(painted.handle.center()), QColor(10, 10, 10)));
}

void TestScrollBar::metricsPassThrough()
{
    QZVScrollBarStyle style;
    QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarExtent), 11);
    style.attribute()->scrollBarExtent = 8;
    QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarExtent), 8);
    QCOMPARE(style.pixelMetric(QStyle::PM_ButtonMargin), style.baseStyle()->pixelMetric(QStyle::PM_ButtonMargin));
}

void TestScrollBar::barFixesThickness()
{
    QZVScrollBar horizontal(Qt::Horizontal);
    QCOMPARE(horizontal.minimumHeight(), 10);
    QCOMPARE(horizontal.maximumHeight(), 10);
    QZVScrollBar bar;
    bar.setOrientation(Qt::Vertical);
    QCOMPARE(bar.maximumWidth(), 10);
    QZVScrollBarStyleAttribute record = bar.styleAttribute();
    record.scrollBarExtent = 8;
    record.trackAlways = true;
    bar.setStyleAttribute(record);
    QCOMPARE(bar.styleAttribute().scrollBarExtent, 8);
    QCOMPARE(bar.style()->pixelMetric(QStyle::PM_ScrollBarExtent), 8);
}

void TestScrollBar::arrowImages()
{
    QZVScrollBarStyle style;
    const QImage down = style.createImage(QSize(12, 12), QZVScrollBarStyle::ArrowDown, Qt::black, false);
    // Pointing down: wide at the top, a point at the bottom centre.
    QVERIFY(down.pixelColor(6, 4).alpha() > 200);
    QCOMPARE(down.pixelColor(1, 8).alpha(), 0);
    const QImage framed = style.createImage(QSize(12, 12), QZVScrollBarStyle::ArrowLeft, Qt::black, true);
    QVERIFY(framed.pixelColor(0, 6).alpha() > 0);
}

GLINTORA_TEST_MAIN(TestScrollBar)
#include "tst_scrollbar.moc"
