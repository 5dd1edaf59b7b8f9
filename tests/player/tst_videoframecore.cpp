#include "testhome.h"

#include <QTemporaryFile>

#include <unistd.h>

#include "videoframecore.h"

using namespace VideoFrameCore;

namespace {

// What fn prints on standard output.
template <class Fn> QByteArray capturedStdout(Fn fn)
{
    QTemporaryFile file;
    file.open();
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    fn();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    file.seek(0);
    return file.readAll();
}

} // namespace

class VideoFrameCoreTest : public QObject
{
    Q_OBJECT

private slots:
    void admissionStopsAtNinePending()
    {
        std::atomic<int> pending{9};
        bool admitted = true;
        QCOMPARE(capturedStdout([&] { admitted = AdmitFrame(pending, false, "showYUVImage too slow..."); }),
                 QByteArray("showYUVImage too slow...\n"));
        QVERIFY(!admitted);
        QCOMPARE(pending.load(), 9);
        QVERIFY(AdmitFrame(pending, true, "showImage too slow..."));
        QCOMPARE(pending.load(), 10);
        pending = 8;
        QVERIFY(AdmitFrame(pending, false, "showImage too slow..."));
    }

    void planarCopyPadsOddSizes()
    {
        const int strides[3] = {192, 96, 96};
        QByteArray planes[3] = {QByteArray(192 * 121, 0), QByteArray(96 * 61, 50), QByteArray(96 * 61, 60)};
        for (int y = 0; y < 121; ++y)
            planes[0][y * 192] = char(y);
        unsigned char *data[3];
        for (int i = 0; i < 3; ++i)
            data[i] = reinterpret_cast<unsigned char *>(planes[i].data());
        const PlanarFrame copy = CopyPlanarFrame(data, 161, 121, strides);
        QCOMPARE(copy.evenHeight, 122);
        QCOMPARE(copy.planes[0].size(), 192 * 122);
        QCOMPARE(copy.planes[0].mid(121 * 192), copy.planes[0].mid(120 * 192, 192));
        QCOMPARE(int(copy.planes[0][121 * 192]), 120);
        for (int i = 1; i < 3; ++i) {
            QCOMPARE(copy.planes[i].size(), 96 * 61);
            for (int y = 0; y < 61; ++y) {
                QCOMPARE(int(copy.planes[i][y * 96 + 80]), i == 1 ? 50 : 60);
                QCOMPARE(copy.planes[i].mid(y * 96 + 81, 15), QByteArray(15, char(128)));
            }
        }
    }

    void textureSizes()
    {
        const TextureLayout hd = PackedTextureLayout(1920, 1080, 7680);
        QCOMPARE(QSize(hd.width, hd.height), QSize(2048, 2048));
        QCOMPARE(hd.visibleWidth, 0.9375f);
        QCOMPARE(hd.visibleHeight, 0.52734375f);
        const TextureLayout small = PackedTextureLayout(100, 50, 400);
        QCOMPARE(QSize(small.width, small.height), QSize(128, 128));
        QVERIFY(!PackedNeedsRealloc(QSize(100, 50), small, 100, 50, 400));
        QVERIFY(PackedNeedsRealloc(QSize(100, 50), small, 100, 50, 600));
        const int strides[3] = {192, 96, 96};
        const TextureLayout planar = PlanarTextureLayout(161, 121, strides);
        QCOMPARE(QSize(planar.width, planar.height), QSize(256, 128));
        QVERIFY(!PlanarNeedsRealloc(QSize(161, 121), planar, 161, 121, strides));
        const int wider[3] = {192, 160, 96};
        QVERIFY(PlanarNeedsRealloc(QSize(161, 121), planar, 161, 121, wider));
    }

    void formulaAtBlackWhiteAndBars_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("u");
        QTest::addColumn<int>("v");
        QTest::addColumn<QColor>("rgb");
        QTest::newRow("black") << 16 << 128 << 128 << QColor(0, 0, 0);
        QTest::newRow("white") << 235 << 128 << 128 << QColor(255, 255, 255);
        // 75 % bars in limited-range BT.601.
        QTest::newRow("grey") << 180 << 128 << 128 << QColor(191, 191, 191);
        QTest::newRow("yellow") << 162 << 44 << 142 << QColor(191, 191, 0);
        QTest::newRow("cyan") << 131 << 156 << 44 << QColor(0, 191, 191);
        QTest::newRow("green") << 112 << 72 << 58 << QColor(0, 191, 0);
        QTest::newRow("magenta") << 84 << 184 << 198 << QColor(191, 0, 191);
        QTest::newRow("red") << 65 << 100 << 212 << QColor(191, 0, 0);
        QTest::newRow("blue") << 35 << 212 << 114 << QColor(0, 0, 191);
    }

    void formulaAtBlackWhiteAndBars()
    {
        QFETCH(int, y);
        QFETCH(int, u);
        QFETCH(int, v);
        QFETCH(QColor, rgb);
        const QColor got(YuvToRgb(y, u, v));
        QVERIFY2(qAbs(got.red() - rgb.red()) <= 2 && qAbs(got.green() - rgb.green()) <= 2
                     && qAbs(got.blue() - rgb.blue()) <= 2,
                 qPrintable(got.name()));
    }
};

GLINTORA_TEST_MAIN_CORE(VideoFrameCoreTest)
#include "tst_videoframecore.moc"
