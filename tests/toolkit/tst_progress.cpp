#include "qzvbaseprogress.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>

#include <limits>

using namespace SkinFixtures;

namespace {

const QColor kTrack(230, 230, 230);
const QColor kFill(6, 176, 37);

class ProbeProgress : public QZVBaseProgress
{
public:
    using QZVBaseProgress::valueToText;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        QZVBaseProgress::paintEvent(event);
    }
};

bool isFill(const QColor &c)
{
    return near(c, kFill, 6);
}

}

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initToolkitTestEnvironment(); }
    void rangeSwapsAndClampsSilently();
    void outOfRangeRequestEmitsOnce();
    void nonFiniteValuesIgnored();
    void text_data();
    void text();
    void negativeDecimalsIgnored();
    void offsetsResetWhenTooLarge();
    void throttleRepaintsOnceThenByTimer();
    void noThrottleRepaintsEveryValue();
    void plainBarPixels_data();
    void plainBarPixels();
    void emptyRangePaintsNoFill();
    void circleLengthClampPersists();
    void imageBarUsesThreePieces();
    void dialAtMinimumShowsBaseOnly();
    void dialGradientRunsClockwise();
    void fillPathFollowsValue();
};

void TestProgress::rangeSwapsAndClampsSilently()
{
    QZVBaseProgress bar;
    QSignalSpy changed(&bar, &QZVBaseProgress::valueChanged);
    bar.setRange(50, 10);
    QCOMPARE(bar.minimum(), 10.0);
    QCOMPARE(bar.maximum(), 50.0);
    QCOMPARE(bar.value(), 10.0);
    QCOMPARE(changed.count(), 0);
    bar.setMaximum(5);
    QCOMPARE(bar.minimum(), 5.0);
    QCOMPARE(bar.maximum(), 10.0);
}

void TestProgress::outOfRangeRequestEmitsOnce()
{
    QZVBaseProgress bar;
    QSignalSpy changed(&bar, &QZVBaseProgress::valueChanged);
    bar.setValue(100);
    bar.setValue(150.0);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toDouble(), 100.0);
    bar.setValue(100.0);
    QCOMPARE(changed.count(), 2);
    bar.setValue(-5);
    QCOMPARE(bar.value(), 0.0);
}

void TestProgress::nonFiniteValuesIgnored()
{
    QZVBaseProgress bar;
    bar.resize(100, 20);
    bar.setValue(40);
    QSignalSpy changed(&bar, &QZVBaseProgress::valueChanged);
    bar.setValue(std::numeric_limits<double>::quiet_NaN());
    bar.setValue(std::numeric_limits<double>::infinity());
    bar.setRange(0, std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(bar.value(), 40.0);
    QCOMPARE(bar.maximum(), 100.0);
    render(bar);
}

void TestProgress::text_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("value and maximum") << "%v of %m" << 0.0 << 100.0 << 42.0 << "42.0 of 101.0";
    QTest::newRow("percent") << "%p%" << 0.0 << 200.0 << 25.0 << "12.5%";
    QTest::newRow("percent from minimum") << "%p%" << 1.0 << 100.0 << 100.0 << "100.0%";
    QTest::newRow("empty range") << "%p%" << 5.0 << 5.0 << 5.0 << "0.0%";
    QTest::newRow("no placeholders") << "busy" << 0.0 << 100.0 << 3.0 << "busy";
}

void TestProgress::text()
{
    QFETCH(QString, format);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(QString, expected);
    ProbeProgress bar;
    bar.setFormat(format);
    bar.setRange(minimum, maximum);
    bar.setValue(value);
    QCOMPARE(bar.valueToText(bar.value()), expected);
}

void TestProgress::negativeDecimalsIgnored()
{
    ProbeProgress bar;
    bar.setFormat(QStringLiteral("%v"));
    bar.setValue(42);
    bar.setDecimals(-1);
    QCOMPARE(bar.valueToText(bar.value()), QStringLiteral("42.0"));
    bar.setDecimals(0);
    QCOMPARE(bar.valueToText(bar.value()), QStringLiteral("42"));
}

void TestProgress::offsetsResetWhenTooLarge()
{
    QZVBaseProgress bar;
    bar.resize(100, 20);
    bar.setOffset(60, 50);
    QCOMPARE(bar.getTLOffset(), 0);
    QCOMPARE(bar.getRBOffset(), 0);
    bar.setOffset(10, 20);
    QCOMPARE(bar.getTLOffset(), 10);
    QCOMPARE(bar.getRBOffset(), 20);
}

void TestProgress::throttleRepaintsOnceThenByTimer()
{
    ProbeProgress bar;
    bar.resize(100, 20);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.setUpdateInterval(100);
    QTest::qWait(150);
    QCoreApplication::processEvents();
    const int before = bar.paints;
    bar.setValue(10);
    bar.setValue(20);
    QCoreApplication::processEvents();
    QCOMPARE(bar.paints, before + 1);
    // The pending value is painted by the timer, later.
    QTRY_COMPARE(bar.paints, before + 2);
}

void TestProgress::noThrottleRepaintsEveryValue()
{
    ProbeProgress bar;
    bar.resize(100, 20);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.setUpdateInterval(100);
    bar.setUpdateInterval(0);
    QCoreApplication::processEvents();
    const int before = bar.paints;
    bar.setValue(10);
    QCoreApplication::processEvents();
    bar.setValue(20);
    QCoreApplication::processEvents();
    QCOMPARE(bar.paints, before + 2);
}

void TestProgress::plainBarPixels_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("fillEnd");
    QTest::newRow("half") << 0.0 << 50.0 << 100;
    QTest::newRow("quarter") << 0.0 << 25.0 << 50;
    // The fill counts from the minimum: a 1..100 range at 100 ends at the track end.
    QTest::newRow("full from minimum 1") << 1.0 << 100.0 << 200;
    QTest::newRow("minimum 1 at 50.5") << 1.0 << 50.5 << 100;
}

void TestProgress::plainBarPixels()
{
    QFETCH(double, minimum);
    QFETCH(double, value);
    QFETCH(int, fillEnd);
    QZVBaseProgress bar;
    bar.resize(200, 20);
    bar.setFormat(QString());
    bar.setRange(minimum, 100);
    bar.setValue(value);
    const QImage image = render(bar);
    QVERIFY(isFill(image.pixelColor(fillEnd - 4, 10)));
    if (fillEnd < 196)
        QVERIFY(near(image.pixelColor(fillEnd + 4, 10), kTrack));
    // Round ends: the corner of the widget stays clear.
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void TestProgress::emptyRangePaintsNoFill()
{
    QZVBaseProgress bar;
    bar.resize(200, 20);
    bar.setFormat(QString());
    bar.setRange(5, 5);
    bar.setValue(5);
    const QImage image = render(bar);
    QVERIFY(near(image.pixelColor(100, 3), kTrack));
    QVERIFY(bar.getProPath().isEmpty());
    bar.setProgressPolicy(QZVBaseProgress::Round);
    bar.resize(60, 60);
    const QImage dial = render(bar);
    for (int x = 0; x < 60; x += 3)
        QVERIFY(!isFill(dial.pixelColor(x, 30)));
}

void TestProgress::circleLengthClampPersists()
{
    QZVBaseProgress bar;
    bar.resize(100, 20);
    bar.setCircleLenght(30);
    QCOMPARE(bar.getDefaultCircle(), 10);
    bar.resize(100, 60);
    QCOMPARE(bar.getDefaultCircle(), 10);
    bar.setCircle(false);
    QCOMPARE(bar.getDefaultCircle(), 0);
}

void TestProgress::imageBarUsesThreePieces()
{
    QTemporaryDir dir;
    // 40 x 4 logical track: red caps of 1 logical pixel, grey middle.
    QImage track = solid(QSize(80, 8), QColor(128, 128, 128));
    track.setPixelColor(0, 0, Qt::red);
    QImage top = solid(QSize(80, 8), QColor(0, 0, 255));
    QZVBaseProgress bar;
    bar.resize(200, 10);
    bar.setFormat(QString());
    QVERIFY(bar.setBottomImage(save(dir, "track.png", track)));
    QVERIFY(bar.setTopImage(save(dir, "top.png", top)));
    QVERIFY(!bar.setTopImage(dir.filePath("missing.png")));
    QVERIFY(bar.setTopImage(save(dir, "top.png", top)));
    QCOMPARE(bar.getBgRect(), QRect(0, 3, 200, 4));
    bar.setValue(50);
    const QImage image = render(bar);
    QVERIFY(near(image.pixelColor(50, 5), QColor(0, 0, 255), 6));
    QVERIFY(near(image.pixelColor(150, 5), QColor(128, 128, 128), 6));
    QCOMPARE(image.pixelColor(100, 1).alpha(), 0);
}

void TestProgress::dialAtMinimumShowsBaseOnly()
{
    QZVBaseProgress bar;
    bar.setProgressPolicy(QZVBaseProgress::Round);
    bar.setFormat(QString());
    bar.resize(100, 100);
    QImage image = render(bar);
    QVERIFY(!isFill(image.pixelColor(93, 50)));
    bar.setValue(50);
    image = render(bar);
    // The value runs clockwise from the top: the right half of the ring is filled.
    QVERIFY(isFill(image.pixelColor(93, 50)));
    QVERIFY(!isFill(image.pixelColor(7, 50)));
    // The ring's hole stays clear.
    QVERIFY(!isFill(image.pixelColor(70, 50)));
}

void TestProgress::dialGradientRunsClockwise()
{
    QZVBaseProgress bar;
    bar.setProgressPolicy(QZVBaseProgress::Round);
    bar.setBarStyle(QZVBaseProgress::StylePie);
    bar.setFormat(QString());
    bar.resize(100, 100);
    bar.setDataColors({{0.0, QColor(255, 0, 0)}, {1.0, QColor(0, 0, 255)}});
    bar.setValue(99);
    const QImage image = render(bar);
    const QColor start = image.pixelColor(55, 15);
    const QColor end = image.pixelColor(45, 15);
    QVERIFY2(start.red() > start.blue(), "red where the arc starts");
    QVERIFY2(end.blue() > end.red(), "blue where it ends");
}

void TestProgress::fillPathFollowsValue()
{
    QZVBaseProgress bar;
    bar.resize(200, 20);
    bar.setValue(50);
    QCOMPARE(qRound(bar.getProPath().boundingRect().width()), 100);
    bar.setRange(1, 100);
    bar.setValue(100);
    QCOMPARE(qRound(bar.getProPath().boundingRect().width()), 200);
    bar.setValue(1);
    QVERIFY(bar.getProPath().boundingRect().width() < 1);
}

GLINTORA_TEST_MAIN(TestProgress)
#include "tst_progress.moc"
