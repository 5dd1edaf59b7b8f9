#include "testhome.h"

#include <cstring>
#include <functional>

#include <webp/decode.h>

#include "webp/webpalphamask.h"
#include "webp/webpframeencoder.h"

namespace {

using Alpha = std::function<uint8_t(int x, int y)>;

// A made-up hash, so patterns are the same on every run.
uint8_t scrambled(int x, int y)
{
    return uint8_t((uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 13);
}

// Twenty kinds of eight pixels, each as often as the two before it together, 17,710 in
// all, strided so that none follows its own kind nor lines up with the row above: a prefix
// code built from those counts alone would be 19 bits deep.
uint8_t steeplyUneven(int x, int y)
{
    static const std::vector<uint8_t> kinds = [] {
        std::vector<uint8_t> kinds;
        int counts[2] = {1, 1};
        for (int kind = 0; kind < 20; ++kind) {
            const int count = kind < 2 ? 1 : counts[0] + counts[1];
            kinds.insert(kinds.end(), size_t(count), uint8_t(kind * 13 + 1));
            counts[0] = counts[1];
            counts[1] = count;
        }
        return kinds;
    }();
    const size_t code = kinds[(size_t(y) * 110 + size_t(x / 8)) * 7919 % kinds.size()];
    return (code >> (x % 8)) & 1 ? 255 : 0;
}

// The payload of a still's ALPH chunk, empty without one.
std::vector<uint8_t> alphaChunk(const std::vector<uint8_t> &still)
{
    for (size_t at = 12; at + 8 <= still.size();) {
        const size_t size = still[at + 4] | still[at + 5] << 8 | still[at + 6] << 16 | size_t(still[at + 7]) << 24;
        if (std::memcmp(still.data() + at, "ALPH", 4) == 0 && at + 8 + size <= still.size())
            return {still.begin() + std::ptrdiff_t(at + 8), still.begin() + std::ptrdiff_t(at + 8 + size)};
        at += 8 + size + size % 2;
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Alpha)

// A frame's alpha comes back from libwebp's decoder exactly as given, whichever coder took
// it; one that only keeps or covers is our own coder's, for libwebp's takes many times the
// memory.
class TestWebpAlphaMask : public QObject
{
    Q_OBJECT

private slots:
    void alphaDecodesAsGiven_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<Alpha>("alpha");
        QTest::addColumn<bool>("ours"); // coded by our own coder
        QTest::newRow("blocks, the last column narrower") << 100 << 72 << Alpha([](int x, int y) {
            return scrambled(x / 8, y / 8) & 1 ? 255 : 0;
        }) << true;
        QTest::newRow("one transparent pixel") << 1 << 1 << Alpha([](int, int) { return 0; }) << true;
        QTest::newRow("pixel by pixel") << 61 << 47 << Alpha([](int x, int y) { return scrambled(x, y) & 4 ? 255 : 0; }) << true;
        QTest::newRow("runs longer than a copy") << 2000 << 40 << Alpha([](int x, int y) {
            return x == 1999 && y == 39 ? 255 : 0;
        }) << true;
        QTest::newRow("a tall column") << 3 << 5000 << Alpha([](int, int y) { return y / 7 % 3 ? 255 : 0; }) << true;
        QTest::newRow("steeply uneven counts") << 880 << 161 << Alpha(steeplyUneven) << true;
        QTest::newRow("translucent") << 64 << 16 << Alpha([](int x, int y) { return uint8_t(x * 4 + y); }) << false;
    }

    void alphaDecodesAsGiven()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(Alpha, alpha);
        QFETCH(bool, ours);
        AVFrame *frame = av_frame_alloc();
        frame->format = AV_PIX_FMT_YUVA420P;
        frame->width = width;
        frame->height = height;
        QVERIFY(av_frame_get_buffer(frame, 0) >= 0);
        for (int plane = 0; plane < 3; ++plane)
            std::memset(frame->data[plane], 90 + 20 * plane, size_t(frame->linesize[plane]) * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                frame->data[3][y * frame->linesize[3] + x] = alpha(x, y);
        std::vector<uint8_t> still;
        QVERIFY(WebpFrameEncoder::encode(frame, 80, still));
        std::vector<uint8_t> mask;
        WebpAlphaMask::encode(frame->data[3], frame->linesize[3], width, height, mask);
        QCOMPARE(!mask.empty() && alphaChunk(still) == mask, ours);

        int decodedWidth = 0;
        int decodedHeight = 0;
        uint8_t *rgba = WebPDecodeRGBA(still.data(), still.size(), &decodedWidth, &decodedHeight);
        QVERIFY(rgba);
        QCOMPARE(decodedWidth, width);
        QCOMPARE(decodedHeight, height);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += rgba[(y * width + x) * 4 + 3] != frame->data[3][y * frame->linesize[3] + x] ? 1 : 0;
        WebPFree(rgba);
        av_frame_free(&frame);
        QCOMPARE(wrong, 0);
    }
};

GLINTORA_TEST_MAIN_CORE(TestWebpAlphaMask)
#include "tst_webpalphamask.moc"
