#include "gif/colourstatistics.h"
#include "testhome.h"

#include <thread>
#include <vector>

namespace {

struct Frame
{
    AVFrame *frame = av_frame_alloc();
    Frame(int width, int height, const std::function<uint32_t(int, int)> &colourAt)
    {
        frame->format = AV_PIX_FMT_BGRA;
        frame->width = width;
        frame->height = height;
        av_frame_get_buffer(frame, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t *p = frame->data[0] + y * frame->linesize[0] + x * 4;
                const uint32_t c = colourAt(x, y);
                p[0] = uint8_t(c);
                p[1] = uint8_t(c >> 8);
                p[2] = uint8_t(c >> 16);
                p[3] = 0xFF;
            }
    }
    ~Frame() { av_frame_free(&frame); }
};

// The palette's opaque colours as 0xRRGGBB, and how many entries are transparent.
QList<uint32_t> opaqueColours(const AVFrame *palette, int *transparent)
{
    QList<uint32_t> colours;
    *transparent = 0;
    for (int i = 0; i < 256; ++i) {
        const uint8_t *p = palette->data[0] + (i / 16) * palette->linesize[0] + (i % 16) * 4;
        if (p[3] == 0xFF)
            colours << (uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        else
            ++*transparent;
    }
    return colours;
}

} // namespace

class TestColourStatistics : public QObject
{
    Q_OBJECT

private slots:
    void fewColoursAreKeptExactly()
    {
        const uint32_t colours[3] = {0xFF0000, 0x00FF80, 0x123456};
        Frame picture(30, 10, [&](int x, int) { return colours[x % 3]; });
        ColourStatistics statistics;
        QVERIFY(statistics.add(picture.frame));
        // A flat picture shown for about a minute: one colour of 2^32 pixels, counted in
        // halves, which must not wrap its count round to none.
        statistics.addPixels(0x0000FF, uint64_t(1) << 31);
        statistics.addPixels(0x0000FF, uint64_t(1) << 31);
        AVFrame *palette = av_frame_alloc();
        QVERIFY(statistics.makePalette(palette));
        int transparent = 0;
        QList<uint32_t> found = opaqueColours(palette, &transparent);
        std::sort(found.begin(), found.end());
        QCOMPARE(found, (QList<uint32_t>{0x0000FF, 0x00FF80, 0x123456, 0xFF0000}));
        QCOMPARE(transparent, 252);
        av_frame_free(&palette);
    }

    // A smooth gradient of 64k colours: 255 entries, the last slot transparent, and
    // every pixel close to some entry.
    void manyColoursShareTheEntriesEvenly()
    {
        Frame picture(256, 256, [](int x, int y) { return uint32_t(x) << 16 | uint32_t(y) << 8 | uint32_t((x + y) / 2); });
        ColourStatistics statistics;
        QVERIFY(statistics.add(picture.frame));
        AVFrame *palette = av_frame_alloc();
        QVERIFY(statistics.makePalette(palette));
        int transparent = 0;
        const QList<uint32_t> entries = opaqueColours(palette, &transparent);
        QCOMPARE(entries.size(), 255);
        QCOMPARE(transparent, 1);
        int worst = 0;
        for (int y = 0; y < 256; y += 5)
            for (int x = 0; x < 256; x += 5) {
                int nearest = INT_MAX;
                for (uint32_t e : entries) {
                    const int dr = int(e >> 16) - x;
                    const int dg = int(e >> 8 & 0xFF) - y;
                    const int db = int(e & 0xFF) - (x + y) / 2;
                    nearest = std::min(nearest, dr * dr + dg * dg + db * db);
                }
                worst = std::max(worst, nearest);
            }
        QVERIFY2(worst <= 16 * 16 * 3, qPrintable(QString::number(worst)));
        av_frame_free(&palette);
    }

    void countingFromSeveralThreadsGivesTheSamePalette()
    {
        std::vector<std::unique_ptr<Frame>> frames;
        for (int i = 0; i < 8; ++i)
            frames.push_back(std::make_unique<Frame>(64, 64, [i](int x, int y) {
                return uint32_t(x * 4 + i) << 16 | uint32_t(y * 4) << 8 | uint32_t((x * y + i) & 0xFF);
            }));
        ColourStatistics alone;
        ColourStatistics together;
        for (const auto &f : frames)
            QVERIFY(alone.add(f->frame));
        std::vector<std::thread> threads;
        for (const auto &f : frames)
            threads.emplace_back([&together, &f] { together.add(f->frame); });
        for (std::thread &t : threads)
            t.join();
        AVFrame *a = av_frame_alloc();
        AVFrame *b = av_frame_alloc();
        QVERIFY(alone.makePalette(a) && together.makePalette(b));
        int ta = 0;
        int tb = 0;
        QCOMPARE(opaqueColours(a, &ta), opaqueColours(b, &tb));
        av_frame_free(&a);
        av_frame_free(&b);
    }
};

GLINTORA_TEST_MAIN_CORE(TestColourStatistics)
#include "tst_colourstatistics.moc"
