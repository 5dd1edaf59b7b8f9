#include "gif/gifframeencoder.h"
#include "testhome.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;
constexpr int kColours = 200; // the rest of the palette is transparent, as the mapper's is

enum class Motion { Square, Noise, Still };

// Opaque colours, the last repeating an earlier one, then transparent black. As with
// the mapper's pictures, neither the repeat nor the transparent entries are used.
AVFrame *picture(Motion motion, int index, QRandomGenerator &random)
{
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_PAL8;
    frame->width = kWidth;
    frame->height = kHeight;
    frame->sample_aspect_ratio = {1, 1};
    frame->pts = index;
    av_frame_get_buffer(frame, 0);
    auto *palette = reinterpret_cast<uint32_t *>(frame->data[1]);
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = i < kColours ? 0xFF000000u | (i == kColours - 1 ? 3 : i) * 0x010203u : 0;
    const int at = std::min(index, 12) * 3;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t value = uint8_t((x / 8 + y / 6) % 16);
            if (motion == Motion::Square && x >= at && x < at + 10 && y >= 20 && y < 30)
                value = 150;
            if (motion == Motion::Noise && (index == 0 || (x > 10 && y > 5 && y < 50)))
                value = uint8_t(random.bounded(kColours - 1));
            frame->data[0][y * frame->linesize[0] + x] = value;
        }
    return frame;
}

} // namespace

class TestGifFrameEncoder : public QObject
{
    Q_OBJECT

private slots:
    // Each frame is encoded from itself and the frame before alone, so that frames can be
    // encoded side by side; the file must still be the one FFmpeg's encoder writes when
    // fed every frame: header, palettes, changed rectangle, transparency, compressed codes.
    void packetsEqualFfmpegsEncoder_data()
    {
        QTest::addColumn<int>("motion");
        QTest::newRow("moving square") << int(Motion::Square);
        QTest::newRow("noise, table cleared") << int(Motion::Noise);
        QTest::newRow("nothing changes") << int(Motion::Still);
    }
    void packetsEqualFfmpegsEncoder()
    {
        QFETCH(int, motion);
        const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
        AVCodecContext *encoder = avcodec_alloc_context3(codec);
        encoder->width = kWidth;
        encoder->height = kHeight;
        encoder->pix_fmt = AV_PIX_FMT_PAL8;
        encoder->sample_aspect_ratio = {1, 1};
        encoder->time_base = {1, 100};
        QVERIFY(avcodec_open2(encoder, codec, nullptr) >= 0);
        AVPacket *packet = av_packet_alloc();
        QRandomGenerator random(7);
        AVFrame *previous = nullptr;
        for (int i = 0; i < 16; ++i) {
            AVFrame *frame = picture(Motion(motion), i, random);
            QVERIFY(avcodec_send_frame(encoder, frame) >= 0);
            QVERIFY(avcodec_receive_packet(encoder, packet) >= 0);
            std::vector<uint8_t> ours;
            QVERIFY(GifFrameEncoder::encode(frame, previous, ours));
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(ours.data()), int(ours.size())),
                     QByteArray(reinterpret_cast<const char *>(packet->data), packet->size));
            av_packet_unref(packet);
            av_frame_free(&previous);
            previous = frame;
        }
        av_frame_free(&previous);
        av_packet_free(&packet);
        avcodec_free_context(&encoder);
    }
};

GLINTORA_TEST_MAIN_CORE(TestGifFrameEncoder)
#include "tst_gifframeencoder.moc"
