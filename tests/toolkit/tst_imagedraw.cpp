#include "qbaseimagedraw.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QPainter>

using namespace SkinFixtures;

class TestImageDraw : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initToolkitTestEnvironment(); }
    void nineSliceKeepsCorners_data();
    void nineSliceKeepsCorners();
    void smallTargetGetsSmallCorners();
    void stretchIgnoresCorners();
    void sourceRectIsDoubled();
    void roundedPathRadius_data();
    void roundedPathRadius();
};

namespace {

QImage paintFrame(QSize target, QImage frame, bool grid)
{
    QImage canvas(target, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    frame.setDevicePixelRatio(2.0);
    QBaseImageDraw::drawBtnImageBg(painter, QRect(QPoint(0, 0), target), frame, grid);
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.end();
    return smooth ? canvas : QImage();
}

}

void TestImageDraw::nineSliceKeepsCorners_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("region");
    // Frame 60 x 30 pixels (logical 30 x 15) into 100 x 40: corners 10 x 5.
    QTest::newRow("top-left") << QPoint(5, 2) << 0;
    QTest::newRow("top edge") << QPoint(50, 2) << 1;
    QTest::newRow("top-right") << QPoint(95, 2) << 2;
    QTest::newRow("left edge") << QPoint(5, 20) << 3;
    QTest::newRow("centre") << QPoint(50, 20) << 4;
    QTest::newRow("right edge") << QPoint(95, 20) << 5;
    QTest::newRow("bottom-left") << QPoint(5, 37) << 6;
    QTest::newRow("bottom edge") << QPoint(50, 37) << 7;
    QTest::newRow("bottom-right") << QPoint(95, 37) << 8;
    QTest::newRow("corner inner edge") << QPoint(8, 3) << 0;
    QTest::newRow("edge starts after corner") << QPoint(12, 3) << 1;
}

void TestImageDraw::nineSliceKeepsCorners()
{
    QFETCH(QPoint, point);
    QFETCH(int, region);
    const QImage canvas = paintFrame(QSize(100, 40), nineRegions(nineColors(), QSize(20, 10)), true);
    QVERIFY2(!canvas.isNull(), "smooth pixmap transform must stay on");
    QVERIFY(near(canvas.pixelColor(point), nineColors().at(region)));
}

void TestImageDraw::smallTargetGetsSmallCorners()
{
    // 12 x 9 target: corners 4 x 3, cut from the frame's outer corners.
    const QImage canvas = paintFrame(QSize(12, 9), nineRegions(nineColors(), QSize(20, 10)), true);
    QVERIFY(near(canvas.pixelColor(1, 1), nineColors().at(0)));
    QVERIFY(near(canvas.pixelColor(10, 1), nineColors().at(2)));
    QVERIFY(near(canvas.pixelColor(1, 7), nineColors().at(6)));
    QVERIFY(near(canvas.pixelColor(10, 7), nineColors().at(8)));
}

void TestImageDraw::stretchIgnoresCorners()
{
    // The whole frame stretched: the top-left third of the target shows region 0.
    const QImage canvas = paintFrame(QSize(90, 60), nineRegions(nineColors(), QSize(20, 10)), false);
    QVERIFY(near(canvas.pixelColor(15, 10), nineColors().at(0)));
    QVERIFY(near(canvas.pixelColor(45, 30), nineColors().at(4)));
    QVERIFY(near(canvas.pixelColor(75, 50), nineColors().at(8)));
}

void TestImageDraw::sourceRectIsDoubled()
{
    QImage image = solid(QSize(100, 60), Qt::black);
    QPainter(&image).fillRect(QRect(20, 10, 40, 16), Qt::red);
    image.setDevicePixelRatio(2.0);
    QImage canvas(QSize(40, 40), QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    QBaseImageDraw::drawImage(painter, QRect(0, 0, 40, 40), QRect(10, 5, 20, 8), image);
    painter.end();
    for (const QPoint &p : {QPoint(1, 1), QPoint(38, 1), QPoint(1, 38), QPoint(38, 38), QPoint(20, 20)})
        QVERIFY2(near(canvas.pixelColor(p), Qt::red), qPrintable(QString("at %1,%2").arg(p.x()).arg(p.y())));
    // The pointer form takes the image before the source.
    canvas.fill(Qt::transparent);
    QPainter other(&canvas);
    QBaseImageDraw::drawImage(&other, QRect(0, 0, 40, 40), image, QRect(10, 5, 20, 8));
    other.end();
    QVERIFY(near(canvas.pixelColor(38, 38), Qt::red));
}

void TestImageDraw::roundedPathRadius_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("used");
    QTest::newRow("clamped to integer half") << QRectF(0, 0, 15.8, 30) << 10.0 << 7.0;
    QTest::newRow("fraction kept") << QRectF(0, 0, 15.8, 30) << 6.5 << 6.5;
    QTest::newRow("offset rect") << QRectF(10, 20, 100, 40) << 25.0 << 20.0;
}

void TestImageDraw::roundedPathRadius()
{
    QFETCH(QRectF, rect);
    QFETCH(double, radius);
    QFETCH(double, used);
    const QPainterPath path = QBaseImageDraw::GetRoundedRectanglePath(rect, radius);
    const QPointF start(path.elementAt(0).x, path.elementAt(0).y);
    QCOMPARE(start, QPointF(rect.right() - used, rect.top()));
    const QPainterPath::Element last = path.elementAt(path.elementCount() - 1);
    QCOMPARE(QPointF(last.x, last.y), start);
    // The corner itself lies outside, the middle and the edge midpoints inside.
    QVERIFY(!path.contains(rect.topLeft() + QPointF(0.3, 0.3)));
    QVERIFY(path.contains(rect.center()));
    QVERIFY(path.contains(QPointF(rect.left() + 0.5, rect.center().y())));
    QCOMPARE(QBaseImageDraw::GetRoundedRectanglePath(rect.x(), rect.y(), rect.width(), rect.height(),
                                                     radius),
             path);
}

GLINTORA_TEST_MAIN(TestImageDraw)
#include "tst_imagedraw.moc"
