#include "playertestsupport.h"

#include <QOpenGLWidget>
#include <QSignalSpy>
#include <QTemporaryFile>

#include <thread>

#include <unistd.h>

#include "nsopenglvideoview.h"
#include "qvideoshowwidget.h"

using namespace VideoFrameCore;

namespace {

const int kW = 64, kH = 48;

bool near(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
           && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A frame of flat 8 x 8 blocks (4 x 4 in chroma), in padded planes or packed.
struct TestFrame
{
    QByteArray planes[3];
    int strides[3] = {kW + 16, kW / 2 + 8, kW / 2 + 8};
    unsigned char *data[3] = {};

    TestFrame(int seed, bool packed = false)
    {
        if (packed)
            strides[0] = kW * 4 + 16;
        for (int i = 0; i < (packed ? 1 : 3); ++i) {
            const int shift = (i && !packed) ? 1 : 0;
            for (int y = 0; y < kH >> shift; ++y)
                for (int x = 0; x < strides[i]; ++x)
                    planes[i].append(char(value(seed, (x << shift) / (packed ? 4 : 1), y << shift, packed ? x % 4 : i)));
            data[i] = reinterpret_cast<unsigned char *>(planes[i].data());
        }
    }
    static int value(int seed, int x, int y, int channel)
    {
        const int block = (x / 8) * 3 + (y / 8) * 7 + channel * 5 + seed;
        return channel == 0 ? 40 + (block * 37) % 180 : 70 + (block * 53) % 120;
    }
    QRgb expected(int x, int y) const
    {
        if (planes[1].isEmpty())
            return qRgb(value(0, x, y, 2), value(0, x, y, 1), value(0, x, y, 0));
        const auto at = [&](int i, int px, int py) { return uchar(planes[i][py * strides[i] + px]); };
        return YuvToRgb(at(0, x, y), at(1, x / 2, y / 2), at(2, x / 2, y / 2));
    }
    bool sendTo(VideoImageWindow *window) const
    {
        if (planes[1].isEmpty())
            return window->showImage(const_cast<uchar *>(data[0]), kW, kH, unsigned(strides[0]));
        return window->showYUVImage(const_cast<uchar **>(data), kW, kH, const_cast<int *>(strides));
    }
};


} // namespace

class VideoSurfaceTest : public QObject
{
    Q_OBJECT

    VideoImageWindow *m_window = nullptr;

    VideoView *view() const { return m_window->videoShowWidget()->view(); }
    void send(const TestFrame &frame)
    {
        const int before = view()->counters().uploaded;
        std::thread([&] { QVERIFY(frame.sendTo(m_window)); }).join();
        QTRY_COMPARE(view()->counters().uploaded, before + 1);
    }
    // Block interiors against the CPU reference: within 1 for packed, 2 for planar frames.
    void verifyPicture(const TestFrame &frame)
    {
        auto *gl = qobject_cast<QOpenGLWidget *>(view()->widget());
        const QImage image = (gl ? gl->grabFramebuffer() : view()->widget()->grab().toImage()).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(kW, kH));
        const int tolerance = frame.planes[1].isEmpty() ? 1 : 2;
        for (int y = 2; y < kH; y += (y % 8 == 5) ? 5 : 1)
            for (int x = 2; x < kW; x += (x % 8 == 5) ? 5 : 1)
                QVERIFY2(near(image.pixel(x, y), frame.expected(x, y), tolerance),
                         qPrintable(QString("at %1,%2").arg(x).arg(y)));
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
        m_window->resize(kW, kH);
        QVERIFY(!TestFrame(0).sendTo(m_window));
        m_window->SetOpenGl(true);
        m_window->setVideoSize(kW, kH);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void cleanup() { delete m_window; }

    void admission()
    {
        QTemporaryFile out;
        QVERIFY(out.open());
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        dup2(out.handle(), STDOUT_FILENO);
        std::atomic<int> pending{9};
        const bool admitted = AdmitFrame(pending, false, "showImage too slow...");
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        QVERIFY(!admitted && out.seek(0));
        QCOMPARE(out.readAll(), QByteArray("showImage too slow...\n"));
        QVERIFY(AdmitFrame(pending, true, "") && pending == 10);
    }

    void planarCopyOfOddSizes()
    {
        const int strides[3] = {192, 96, 96};
        QByteArray planes[3] = {QByteArray(192 * 121, 7), QByteArray(96 * 61, 50), QByteArray(96 * 61, 60)};
        planes[0][120 * 192] = 9;
        unsigned char *data[3] = {reinterpret_cast<uchar *>(planes[0].data()), reinterpret_cast<uchar *>(planes[1].data()),
                                  reinterpret_cast<uchar *>(planes[2].data())};
        const PlanarFrame copy = CopyPlanarFrame(data, 161, 121, strides);
        QCOMPARE(copy.planes[0].size(), 192 * 122);
        QCOMPARE(copy.planes[0].mid(121 * 192), copy.planes[0].mid(120 * 192, 192));
        QCOMPARE(int(copy.planes[0][121 * 192]), 9);
        for (int y = 0; y < 61; ++y)
            QVERIFY(copy.planes[2][y * 96 + 80] == 60 && copy.planes[1].mid(y * 96 + 81, 15) == QByteArray(15, char(128)));
        QCOMPARE(copy.planes[1].size(), 96 * 61);
    }

    void textureSizesAndFormula()
    {
        const TextureLayout hd = PackedTextureLayout(1920, 1080, 7680);
        QVERIFY(hd.width == 2048 && hd.height == 2048 && hd.visibleWidth == 0.9375f && hd.visibleHeight == 0.52734375f);
        const TextureLayout small = PackedTextureLayout(100, 50, 400);
        QVERIFY(small.width == 128 && small.height == 128);
        QVERIFY(!PackedNeedsRealloc(QSize(100, 50), small, 100, 50, 400));
        QVERIFY(PackedNeedsRealloc(QSize(100, 50), small, 100, 50, 600));
        // Black, white and 75 % red, green and blue bars, within 2 per channel.
        const int yuv[][3] = {{16, 128, 128}, {235, 128, 128}, {65, 100, 212}, {112, 72, 58}, {35, 212, 114}};
        const QRgb rgb[] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(191, 0, 0), qRgb(0, 191, 0), qRgb(0, 0, 191)};
        for (int i = 0; i < 5; ++i)
            QVERIFY(near(YuvToRgb(yuv[i][0], yuv[i][1], yuv[i][2]), rgb[i], 2));
    }

    void framesAreDrawnAtTheirOwnSize()
    {
#ifdef PLAYER_TEST_GL
        QVERIFY(qobject_cast<NSOpenGLVideoView *>(view()->widget()));
        // A broken shader draws black, and the next frame tries again.
        NSOpenGLVideoView::setForceShaderFailure(true);
        send(TestFrame(1));
        QCOMPARE(qobject_cast<QOpenGLWidget *>(view()->widget())->grabFramebuffer().pixel(20, 20), qRgb(0, 0, 0));
        NSOpenGLVideoView::setForceShaderFailure(false);
#endif
        for (const TestFrame &frame : {TestFrame(0), TestFrame(0, true), TestFrame(2)}) {
            send(frame);
            verifyPicture(frame);
        }
        // Built as the form says (with updates on), the view painted; a null frame is black.
        QVERIFY(m_window->videoShowWidget()->updatesEnabled() && view()->counters().painted > 0);
        std::thread([&] { m_window->showYUVImage(nullptr, 0, 0, nullptr); }).join();
        QTRY_COMPARE(view()->pendingFrames(), 0);
        QCOMPARE(view()->widget()->grab().toImage().pixel(60, 40) & 0xffffff, 0u);
    }

    void floodAndLifetime()
    {
        std::atomic<int> maxPending{0};
        std::atomic<bool> done{false};
        const TestFrame frames[2] = {TestFrame(3), TestFrame(4)};
        std::thread sender([&] {
            for (int i = 0; i < 240; ++i) { // 120 frames per second for 2 s
                frames[0].sendTo(m_window);
                maxPending = std::max(maxPending.load(), view()->pendingFrames());
                std::this_thread::sleep_for(std::chrono::microseconds(8333));
            }
            while (!frames[1].sendTo(m_window))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 30000);
        sender.join();
        QTRY_COMPARE(view()->pendingFrames(), 0);
        QVERIFY(maxPending <= kMaxPendingFrames);
        verifyPicture(frames[1]);
        // Views replaced while frames come, then the window deleted with frames queued.
        std::atomic<bool> stop{false};
        std::thread flood([&] {
            while (!stop)
                frames[0].sendTo(m_window), std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        for (int i = 0; i < 30; ++i)
            m_window->SetOpenGl(i % 2), QTest::qWait(5);
        stop = true;
        flood.join();
        std::thread([&] {
            for (int i = 0; i < 10; ++i)
                frames[0].sendTo(m_window);
        }).join();
        QCOMPARE(view()->pendingFrames(), kMaxPendingFrames);
    }

    void placement()
    {
        m_window->hide();
        const auto place = [&](QSize window, int x, int y, bool scale) {
            m_window->resize(window);
            m_window->videoShowWidget()->setGeometry(1, 2, 3, 4);
            scale ? m_window->setVideoScale(x, y) : m_window->setVideoSize(x, y);
            return m_window->getVideoRect();
        };
        QCOMPARE(place({800, 600}, 16, 9, true), QRect(0, 75, 800, 450));
        QCOMPARE(place({1920, 1080}, 4, 3, true), QRect(240, 0, 1440, 1080));
        QCOMPARE(place({800, 600}, 0, 9, true), QRect(1, 2, 3, 4));
        QCOMPARE(place({0, 0}, 16, 9, true), QRect(-8, -4, 16, 9));
        QCOMPARE(place({800, 600}, 1920, 1080, false), QRect(0, 0, 800, 600));
    }

    void mouse()
    {
        QSignalSpy click(m_window, &VideoImageWindow::emitPlayOrPause);
        QSignalSpy band(m_window, &VideoImageWindow::emitShowBtn);
        QSignalSpy fullScreen(m_window, &VideoImageWindow::emitFullScreen);
        QCursor::setPos(m_window->mapToGlobal(QPoint(10, 10)));
        QTest::mouseClick(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mousePress(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QCursor::setPos(m_window->mapToGlobal(QPoint(30, 30)));
        QTest::mouseRelease(m_window, Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(click.count(), 1);
        for (int y : {kH - 50, kH - 49}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(m_window, &move);
        }
        QCOMPARE(band.count(), 2);
        QVERIFY(!band.at(0).at(0).toBool() && band.at(1).at(0).toBool());
        QTest::mouseDClick(m_window, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(fullScreen.count(), 1);
    }
};

PLAYER_TEST_MAIN(VideoSurfaceTest)
#include "tst_videosurface.moc"
