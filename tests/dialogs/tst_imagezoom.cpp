#include "imagezoom.h"
#include "testhome.h"

using namespace ImageZoom;

// The zoom, drag and bar rules of the frame viewer, with the numbers users meet.
class TestImageZoom : public QObject
{
    Q_OBJECT

private slots:
    void fit_data();
    void fit();
    void maximum_data();
    void maximum();
    void zoomOutStopsAtFloor();
    void zoomInStopsAtMaximumWidth();
    void barCorrection_data();
    void barCorrection();
    void containerForView_data();
    void containerForView();
    void dragDeadZone();
    void bottomBandAndRow();
};

void TestImageZoom::fit_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("photo") << QSize(4032, 3024) << QSize(908, 612) << QSize(816, 612);
    QTest::newRow("wide") << QSize(1600, 400) << QSize(908, 612) << QSize(908, 227);
    QTest::newRow("empty side") << QSize(0, 10) << QSize(908, 612) << QSize(0, 0);
    QTest::newRow("unlaid widget") << QSize(640, 480) << QSize(0, 0) << QSize(640, 480);
    QTest::newRow("beyond 32 bits") << QSize(4000000, 3000000) << QSize(908, 612) << QSize(816, 612);
}

void TestImageZoom::fit()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, widget);
    QFETCH(QSize, fitted);
    QCOMPARE(fitSize(picture, widget), fitted);
}

void TestImageZoom::maximum_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("maximum");
    QTest::newRow("small") << QSize(640, 480) << QSize(1200, 900);
    QTest::newRow("tall") << QSize(400, 1000) << QSize(1440, 3600);
    QTest::newRow("large") << QSize(4032, 3024) << QSize(4032, 3024);
    QTest::newRow("screen high") << QSize(1600, 900) << QSize(0, 0);
}

void TestImageZoom::maximum()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, maximum);
    QCOMPARE(maximumSize(picture, QSize(1440, 900)), maximum);
}

void TestImageZoom::zoomOutStopsAtFloor()
{
    double scale = 1.0;
    for (int step = 0; step < 7; ++step)
        scale = zoomOutScale(scale, 0.8);
    QVERIFY(qFuzzyCompare(scale, 0.2097152));
    QCOMPARE(zoomOutScale(scale, 0.8), scale);
}

void TestImageZoom::zoomInStopsAtMaximumWidth()
{
    const QSize maximum(1200, 900);
    QCOMPARE(zoomedLabelSize(QSize(816, 612), 1.25, maximum), QSize(1020, 765));
    QCOMPARE(zoomedLabelSize(QSize(816, 612), 1.5625, maximum), maximum);
    QCOMPARE(zoomedLabelSize(QSize(816, 612), 3.0, QSize(0, 0)), QSize(2448, 1836));
}

void TestImageZoom::barCorrection_data()
{
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("value");
    QTest::newRow("in") << 1.25 << 175;
    QTest::newRow("out") << 0.8 << 40;
}

void TestImageZoom::barCorrection()
{
    QFETCH(double, factor);
    QFETCH(int, value);
    QCOMPARE(correctedBarValue(100, 400, factor), value);
}

void TestImageZoom::containerForView_data()
{
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("container");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("vertical");
    const QSize label(800, 600);
    QTest::newRow("view larger") << QSize(900, 700) << QSize(900, 700) << false << false;
    QTest::newRow("only wider picture") << QSize(700, 650) << QSize(800, 650) << true << false;
    QTest::newRow("only taller picture") << QSize(900, 500) << QSize(900, 600) << false << true;
    QTest::newRow("picture larger") << QSize(700, 500) << label << true << true;
    QTest::newRow("same height, narrower view") << QSize(700, 600) << QSize(50, 50) << true << false;
}

void TestImageZoom::containerForView()
{
    QFETCH(QSize, view);
    QFETCH(QSize, container);
    QFETCH(bool, horizontal);
    QFETCH(bool, vertical);
    const QSize label(800, 600);
    QCOMPARE(viewContainerSize(QSize(50, 50), view, label), container);
    QCOMPARE(needsHorizontalBar(view, label), horizontal);
    QCOMPARE(needsVerticalBar(view, label), vertical);
    QCOMPARE(zoomedContainerSize(view, label), view.expandedTo(label));
}

void TestImageZoom::dragDeadZone()
{
    DragState state;
    QPoint scroll;
    QVERIFY(dragMove(state, QPoint(100, 100), &scroll));
    QVERIFY(!dragMove(state, QPoint(109, 100), &scroll));
    QCOMPARE(scroll, QPoint());
    QVERIFY(dragMove(state, QPoint(110, 100), &scroll));
    QCOMPARE(scroll, QPoint(10, 0));
    QVERIFY(dragMove(state, QPoint(111, 101), &scroll));
    QCOMPARE(scroll, QPoint(1, 1));
}

void TestImageZoom::bottomBandAndRow()
{
    QVERIFY(!inBottomBand(550, 600));
    QVERIFY(inBottomBand(551, 600));
    QVERIFY(!inBottomBand(600, 600));
    QCOMPARE(buttonRowStart(762, 400), 131);
}

GLINTORA_TEST_MAIN_CORE(TestImageZoom)
#include "tst_imagezoom.moc"
