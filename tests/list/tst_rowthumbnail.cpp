#include "mouseimagewidget.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>
#include <QTimerEvent>

using namespace SkinFixtures;

// The row thumbnail: background, aspect-filled video image, play button, rotation.
class TestRowThumbnail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void aspectFillCrop_data();
    void aspectFillCrop();
    void matchingAspectIsDrawnWhole();
    void noThumbnailWithoutImage();
    void emptyBackgroundPathKeepsBackground();
    void borrowedImageIsNeverFreed();
    void playButtonFollowsMouse_data();
    void playButtonFollowsMouse();
    void rotationComesFullCircle();

private:
    QTemporaryDir m_dir;
};

namespace {

const QColor kOutside(255, 0, 0);
const QColor kKept(0, 255, 0);
const QColor kBackground(0, 0, 255);

// Bands across one axis: kOutside before first and after last, kKept between.
QImage banded(QSize size, Qt::Orientation axis, int first, int last)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int at = axis == Qt::Vertical ? y : x;
            image.setPixelColor(x, y, at >= first && at <= last ? kKept : kOutside);
        }
    }
    return image;
}

bool allNear(const QImage &image, const QColor &color, int tolerance)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!near(image.pixelColor(x, y), color, tolerance))
                return false;
        }
    }
    return true;
}

void sendEvent(QWidget &widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(&widget, &event);
}

}

void TestRowThumbnail::initTestCase()
{
    initToolkitTestEnvironment();
    QVERIFY(m_dir.isValid());
}

void TestRowThumbnail::aspectFillCrop_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<int>("axis");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    // 1920 x 72 / 104 = 1329 rows kept, from row 55.
    QTest::newRow("4:3 movie in a row") << QSize(1920, 1440) << QSize(104, 72) << int(Qt::Vertical) << 55 << 1383;
    QTest::newRow("portrait movie") << QSize(1440, 1920) << QSize(104, 72) << int(Qt::Vertical) << 462 << 1457;
    // 100 x 104 / 72 = 144 columns kept, from column 128.
    QTest::newRow("wide image") << QSize(400, 100) << QSize(104, 72) << int(Qt::Horizontal) << 128 << 271;
}

void TestRowThumbnail::aspectFillCrop()
{
    QFETCH(QSize, image);
    QFETCH(QSize, widget);
    QFETCH(int, axis);
    QFETCH(int, first);
    QFETCH(int, last);
    const auto orientation = Qt::Orientation(axis);
    QImage source = banded(image, orientation, first, last);
    MouseImageWidget thumbnail;
    thumbnail.resize(widget);
    thumbnail.setAllImage(QString(), &source, QString());
    const QImage shown = render(thumbnail);
    // Every pixel, edges included, comes from the kept band.
    QVERIFY(allNear(shown, kKept, 8));
    // A kept band narrower by one shown pixel on each side shows the cut-off colour.
    const int shownSpan = orientation == Qt::Vertical ? widget.height() : widget.width();
    const int margin = (last - first + 1) / shownSpan + 2;
    QImage narrower = banded(image, orientation, first + margin, last - margin);
    thumbnail.setAllImage(QString(), &narrower, QString());
    QVERIFY(!allNear(render(thumbnail), kKept, 8));
    thumbnail.ResetVideoImage();
}

void TestRowThumbnail::matchingAspectIsDrawnWhole()
{
    QImage source(208, 144, QImage::Format_RGB32);
    source.fill(kKept);
    source.setPixelColor(0, 0, kOutside);
    source.setPixelColor(1, 0, kOutside);
    source.setPixelColor(0, 1, kOutside);
    source.setPixelColor(1, 1, kOutside);
    source.setPixelColor(207, 143, kBackground);
    source.setPixelColor(206, 143, kBackground);
    source.setPixelColor(207, 142, kBackground);
    source.setPixelColor(206, 142, kBackground);
    MouseImageWidget thumbnail;
    thumbnail.resize(104, 72);
    thumbnail.setAllImage(QString(), &source, QString());
    const QImage shown = render(thumbnail);
    QVERIFY(near(shown.pixelColor(0, 0), kOutside, 40));
    QVERIFY(near(shown.pixelColor(103, 71), kBackground, 40));
    QVERIFY(near(shown.pixelColor(52, 36), kKept, 8));
    thumbnail.ResetVideoImage();
}

void TestRowThumbnail::noThumbnailWithoutImage()
{
    QImage empty;
    MouseImageWidget thumbnail;
    thumbnail.resize(104, 72);
    thumbnail.setBgColor(kBackground);
    thumbnail.setAllImage(QString(), &empty, QString());
    QVERIFY(allNear(render(thumbnail), kBackground, 2));
    thumbnail.setAllImage(QString(), nullptr, QString());
    QVERIFY(allNear(render(thumbnail), kBackground, 2));
}

void TestRowThumbnail::emptyBackgroundPathKeepsBackground()
{
    const QString background = save(m_dir, "frame.png", solid(QSize(142, 142), kBackground));
    MouseImageWidget thumbnail;
    thumbnail.setAllImage(background, nullptr, QString());
    QCOMPARE(thumbnail.size(), QSize(71, 71));
    QImage video = solid(QSize(64, 64), kKept);
    thumbnail.setAllImage(QString(), &video, QString());
    QCOMPARE(thumbnail.size(), QSize(71, 71));
    QVERIFY(allNear(render(thumbnail), kKept, 2));
    thumbnail.ResetVideoImage();
    QVERIFY(allNear(render(thumbnail), kBackground, 2));
}

void TestRowThumbnail::borrowedImageIsNeverFreed()
{
    auto *video = new QImage(solid(QSize(64, 64), kKept));
    {
        MouseImageWidget thumbnail;
        thumbnail.resize(32, 32);
        thumbnail.setAllImage(QString(), video, QString());
        render(thumbnail);
        // Replacing the borrowed image must not free it either.
        thumbnail.setVideoImage(save(m_dir, "own.png", solid(QSize(8, 8), kOutside)));
        thumbnail.setAllImage(QString(), video, QString());
    }
    // Still the owner's: the sanitizer build reports a use after free here otherwise.
    QCOMPARE(video->pixelColor(0, 0), kKept);
    delete video;
}

void TestRowThumbnail::playButtonFollowsMouse_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("frame");
    QTest::newRow("hover") << "enter" << 1;
    QTest::newRow("pressed") << "enter,press" << 2;
    QTest::newRow("released") << "enter,press,release" << 1;
    QTest::newRow("left") << "enter,leave" << 0;
    QTest::newRow("right press") << "enter,rightpress" << 1;
}

void TestRowThumbnail::playButtonFollowsMouse()
{
    QFETCH(QString, steps);
    QFETCH(int, frame);
    const QList<QColor> frames = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200), QColor(90, 90, 90)};
    const QString strip = save(m_dir, "play.png", solidStrip(frames, QSize(40, 40)));
    MouseImageWidget thumbnail;
    thumbnail.resize(104, 72);
    thumbnail.setAllImage(QString(), nullptr, strip);
    thumbnail.showPlayBtn(true);
    QSignalSpy released(&thumbnail, &MouseImageWidget::emitMouseRelease);
    for (const QString &step : steps.split(QLatin1Char(','))) {
        if (step == QLatin1String("enter"))
            sendEvent(thumbnail, QEvent::Enter);
        else if (step == QLatin1String("leave"))
            sendEvent(thumbnail, QEvent::Leave);
        else if (step == QLatin1String("press"))
            sendMouse(thumbnail, QEvent::MouseButtonPress, QPoint(50, 36), Qt::LeftButton, Qt::LeftButton);
        else if (step == QLatin1String("rightpress"))
            sendMouse(thumbnail, QEvent::MouseButtonPress, QPoint(50, 36), Qt::RightButton, Qt::RightButton);
        else
            sendMouse(thumbnail, QEvent::MouseButtonRelease, QPoint(50, 36), Qt::LeftButton, Qt::NoButton);
    }
    const QImage shown = render(thumbnail);
    // A 20 x 20 frame in the middle.
    QVERIFY(near(shown.pixelColor(52, 36), frames.at(frame), 4));
    QVERIFY(!near(shown.pixelColor(40, 24), frames.at(frame), 4));
    QCOMPARE(released.count(), steps.endsWith(QLatin1String("release")) ? 1 : 0);
    thumbnail.showPlayBtn(false);
    QVERIFY(!near(render(thumbnail).pixelColor(52, 36), frames.at(frame), 4));
}

void TestRowThumbnail::rotationComesFullCircle()
{
    MouseImageWidget thumbnail;
    // Ticks are delivered by hand: a long interval keeps the real timer out of the count.
    thumbnail.setAnimationDelay(1000000);
    QTimerEvent tick(0);
    QApplication::sendEvent(&thumbnail, &tick);
    QCOMPARE(thumbnail.angle(), 0);
    thumbnail.startRotate();
    QApplication::sendEvent(&thumbnail, &tick);
    QCOMPARE(thumbnail.angle(), 10);
    for (int i = 1; i < 36; ++i)
        QApplication::sendEvent(&thumbnail, &tick);
    QCOMPARE(thumbnail.angle(), 0);
    QApplication::sendEvent(&thumbnail, &tick);
    thumbnail.startRotate();
    QCOMPARE(thumbnail.angle(), 0);
    thumbnail.stopRotate();
    QApplication::sendEvent(&thumbnail, &tick);
    QCOMPARE(thumbnail.angle(), 0);
}

GLINTORA_TEST_MAIN(TestRowThumbnail)
#include "tst_rowthumbnail.moc"
