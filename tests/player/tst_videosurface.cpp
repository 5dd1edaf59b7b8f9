#include "playertestsupport.h"

#include <QCursor>
#include <QOpenGLWidget>
#include <QSignalSpy>

#include <atomic>
#include <thread>

#include "nsopenglvideoview.h"
#include "qvideoshowwidget.h"
#include "videoview.h"

using namespace VideoFrameCore;

namespace {

const int kWidth = 64, kHeight = 48;

// A frame of flat 8 x 8 blocks whose values follow the block's place and a seed.
struct TestFrame
{
    QByteArray planes[3];
    int strides[3] = {kWidth + 16, kWidth / 2 + 8, kWidth / 2 + 8};
    unsigned char *data[3] = {};

    explicit TestFrame(int seed, bool packed = false)
    {
        if (packed)
            strides[0] = kWidth * 4 + 16;
        for (int i = 0; i < (packed ? 1 : 3); ++i) {
            const int scale = (packed || i == 0) ? 1 : 2;
            planes[i].resize(strides[i] * kHeight / scale);
            for (int y = 0; y < kHeight / scale; ++y)
                for (int x = 0; x < strides[i]; ++x)
                    planes[i][y * strides[i] + x] = char(value(seed, x * scale / (packed ? 4 : 1), y * scale, packed ? x % 4 : i));
            data[i] = reinterpret_cast<unsigned char *>(planes[i].data());
        }
    }
    static int value(int seed, int x, int y, int channel)
    {
        const int block = (x / 8) * 3 + (y / 8) * 7 + channel * 5 + seed;
        return channel == 0 ? 40 + (block * 37) % 180 : 70 + (block * 53) % 120;
    }
    QRgb expected(int x, int y, bool packed) const
    {
        if (packed)
            return qRgb(value(0, x, y, 2), value(0, x, y, 1), value(0, x, y, 0));
        return YuvToRgb(uchar(planes[0][y * strides[0] + x]), uchar(planes[1][(y / 2) * strides[1] + x / 2]),
                        uchar(planes[2][(y / 2) * strides[2] + x / 2]));
    }
};

bool sameColour(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
           && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class VideoSurfaceTest : public QObject
{
    Q_OBJECT

    VideoImageWindow *m_window = nullptr;

    VideoView *view() const { return m_window->videoShowWidget()->view(); }
    QImage readBack() const
    {
        if (auto *gl = qobject_cast<QOpenGLWidget *>(view()->widget()))
            return gl->grabFramebuffer();
        return view()->widget()->grab().toImage();
    }
    void send(const TestFrame &frame, bool packed)
    {
        const int before = view()->counters().uploaded;
        std::thread([&] {
            if (packed)
                m_window->showImage(frame.data[0], kWidth, kHeight, unsigned(frame.strides[0]));
            else
                m_window->showYUVImage(const_cast<unsigned char **>(frame.data), kWidth, kHeight,
                                       const_cast<int *>(frame.strides));
        }).join();
        QTRY_COMPARE(view()->counters().uploaded, before + 1);
    }
    // Block interiors within tolerance of the reference; the largest difference when not.
    void verifyPicture(const TestFrame &frame, bool packed)
    {
        const QImage image = readBack().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(kWidth, kHeight));
        for (int y = 2; y < kHeight; y += (y % 8 == 5) ? 5 : 1)
            for (int x = 2; x < kWidth; x += (x % 8 == 5) ? 5 : 1)
                QVERIFY2(sameColour(image.pixel(x, y), frame.expected(x, y, packed), packed ? 1 : 2),
                         qPrintable(QString("at %1,%2: %3").arg(x).arg(y).arg(QColor(image.pixel(x, y)).name())));
    }

private slots:
    void initTestCase()
    {
#ifdef PLAYER_TEST_GL
        if (!QVideoShowWidget::isOpenGlAvailable())
            QSKIP("no OpenGL context here");
#else
        QVideoShowWidget::setForceRaster(true);
#endif
    }

    void init()
    {
        m_window = new VideoImageWindow;
        m_window->resize(kWidth, kHeight);
        m_window->SetOpenGl(true);
        m_window->setVideoSize(kWidth, kHeight);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void cleanup()
    {
        NSOpenGLVideoView::setForceShaderFailure(false);
        delete m_window;
    }

    void viewKind()
    {
#ifdef PLAYER_TEST_GL
        QVERIFY(qobject_cast<NSOpenGLVideoView *>(view()->widget()));
#else
        QVERIFY(!qobject_cast<NSOpenGLVideoView *>(view()->widget()));
#endif
        // Built as the form says, yet the view paints.
        QVERIFY(m_window->videoShowWidget()->updatesEnabled());
        QTRY_VERIFY(view()->counters().painted > 0);
    }

    void framesAreDrawnAtTheirOwnSize()
    {
        const TestFrame planar(0);
        send(planar, false);
        verifyPicture(planar, false);
        const TestFrame packed(0, true);
        send(packed, true);
        verifyPicture(packed, true);
        send(TestFrame(0), false);
        std::thread([&] { m_window->showYUVImage(nullptr, 0, 0, nullptr); }).join();
        QTRY_COMPARE(view()->counters().uploaded, 4);
        const QImage black = readBack().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(black.pixel(10, 10), qRgb(0, 0, 0));
        QCOMPARE(black.pixel(60, 40), qRgb(0, 0, 0));
    }

    void shaderFailureDrawsBlackAndRetries()
    {
#ifndef PLAYER_TEST_GL
        QSKIP("the GL view only");
#endif
        NSOpenGLVideoView::setForceShaderFailure(true);
        send(TestFrame(1), false);
        QCOMPARE(readBack().convertToFormat(QImage::Format_RGB32).pixel(20, 20), qRgb(0, 0, 0));
        NSOpenGLVideoView::setForceShaderFailure(false);
        const TestFrame next(2);
        send(next, false);
        verifyPicture(next, false);
    }

    void floodKeepsNinePendingAndShowsTheNewest()
    {
        std::atomic<int> maxPending{0};
        std::atomic<bool> done{false};
        const TestFrame frames[2] = {TestFrame(3), TestFrame(4)};
        std::thread sender([&] {
            for (int i = 0; i < 240; ++i) {
                m_window->showYUVImage(const_cast<unsigned char **>(frames[0].data), kWidth, kHeight,
                                       const_cast<int *>(frames[0].strides));
                maxPending = std::max(maxPending.load(), view()->pendingFrames());
                std::this_thread::sleep_for(std::chrono::microseconds(8333));
            }
            // The newest frame, sent until admitted.
            while (!m_window->showYUVImage(const_cast<unsigned char **>(frames[1].data), kWidth, kHeight,
                                           const_cast<int *>(frames[1].strides)))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 30000);
        sender.join();
        QTRY_COMPARE(view()->pendingFrames(), 0);
        QVERIFY(maxPending <= kMaxPendingFrames);
        verifyPicture(frames[1], false);
    }

    void lifetime()
    {
        // Deleted with nine frames queued: the copies go with it.
        const TestFrame frame(5);
        std::thread([&] {
            for (int i = 0; i < 10; ++i)
                QCOMPARE(m_window->showYUVImage(const_cast<unsigned char **>(frame.data), kWidth, kHeight,
                                                const_cast<int *>(frame.strides)),
                         i < 9);
        }).join();
        delete m_window;
        m_window = new VideoImageWindow;
        QVERIFY(!m_window->showYUVImage(const_cast<unsigned char **>(frame.data), kWidth, kHeight,
                                        const_cast<int *>(frame.strides)));
        // Views replaced while frames come.
        m_window->SetOpenGl(true);
        std::atomic<bool> stop{false};
        std::thread sender([&] {
            while (!stop) {
                m_window->showYUVImage(const_cast<unsigned char **>(frame.data), kWidth, kHeight,
                                       const_cast<int *>(frame.strides));
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        for (int i = 0; i < 30; ++i) {
            m_window->SetOpenGl(i % 2);
            QTest::qWait(5);
        }
        stop = true;
        sender.join();
    }

    void placement_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("aspect");
        QTest::addColumn<bool>("scale");
        QTest::addColumn<QRect>("child");
        QTest::newRow("16:9 in 800x600") << QSize(800, 600) << QSize(16, 9) << true << QRect(0, 75, 800, 450);
        QTest::newRow("4:3 in 1920x1080") << QSize(1920, 1080) << QSize(4, 3) << true << QRect(240, 0, 1440, 1080);
        QTest::newRow("0:9 changes nothing") << QSize(800, 600) << QSize(0, 9) << true << QRect(1, 2, 3, 4);
        QTest::newRow("0x0 window") << QSize(0, 0) << QSize(16, 9) << true << QRect(-8, -4, 16, 9);
        QTest::newRow("native clipped") << QSize(800, 600) << QSize(1920, 1080) << false << QRect(0, 0, 800, 600);
    }

    void placement()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, aspect);
        QFETCH(bool, scale);
        QFETCH(QRect, child);
        m_window->hide();
        m_window->resize(window);
        m_window->videoShowWidget()->setGeometry(1, 2, 3, 4);
        if (scale)
            m_window->setVideoScale(aspect.width(), aspect.height());
        else
            m_window->setVideoSize(aspect.width(), aspect.height());
        QCOMPARE(m_window->getVideoRect(), child);
    }

    void mouse()
    {
        QSignalSpy click(m_window, &VideoImageWindow::emitPlayOrPause);
        QSignalSpy band(m_window, &VideoImageWindow::emitShowBtn);
        QSignalSpy fullScreen(m_window, &VideoImageWindow::emitFullScreen);
        QCursor::setPos(m_window->mapToGlobal(QPoint(10, 10)));
        QTest::mousePress(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(click.count(), 1);
        QTest::mousePress(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QCursor::setPos(m_window->mapToGlobal(QPoint(30, 30)));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(click.count(), 1);
        for (int y : {kHeight - 50, kHeight - 49}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_window, &move);
        }
        QCOMPARE(band.count(), 2);
        QCOMPARE(band.at(0).at(0).toBool(), false);
        QCOMPARE(band.at(1).at(0).toBool(), true);
        QTest::mouseDClick(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(fullScreen.count(), 1);
    }
};

PLAYER_TEST_MAIN(VideoSurfaceTest)
#include "tst_videosurface.moc"
