#include "runencoders.h"
#include "testhome.h"

#include <QByteArray>
#include <QList>
#include <QPair>

namespace {

using Packets = QList<QPair<QByteArray, int64_t>>;

AVCodecContext *gifEncoder()
{
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_GIF);
    AVCodecContext *encoder = avcodec_alloc_context3(codec);
    encoder->width = 64;
    encoder->height = 48;
    encoder->pix_fmt = AV_PIX_FMT_PAL8;
    encoder->time_base = {1, 100};
    if (avcodec_open2(encoder, codec, nullptr) < 0)
        avcodec_free_context(&encoder);
    return encoder;
}

// A still background with a square that moves, then stops for a few frames: the GIF
// encoder leaves out what did not change since the frame before.
AVFrame *picture(int index)
{
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_PAL8;
    frame->width = 64;
    frame->height = 48;
    av_frame_get_buffer(frame, 0);
    auto *palette = reinterpret_cast<uint32_t *>(frame->data[1]);
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = 0xFF000000u | i * 0x010203u;
    const int at = std::min(index, 12) * 3;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool square = x >= at && x < at + 10 && y >= 20 && y < 30;
            frame->data[0][y * frame->linesize[0] + x] = uint8_t(square ? 200 : (x / 8 + y / 6) % 16);
        }
    frame->pts = index;
    return frame;
}

Packets encodeSerially(int frames)
{
    Packets packets;
    AVCodecContext *encoder = gifEncoder();
    AVPacket *packet = av_packet_alloc();
    for (int i = 0; i < frames; ++i) {
        AVFrame *frame = picture(i);
        avcodec_send_frame(encoder, frame);
        while (avcodec_receive_packet(encoder, packet) >= 0) {
            packets << qMakePair(QByteArray(reinterpret_cast<const char *>(packet->data), packet->size), int64_t(i));
            av_packet_unref(packet);
        }
        av_frame_free(&frame);
    }
    av_packet_free(&packet);
    avcodec_free_context(&encoder);
    return packets;
}

} // namespace

class TestRunEncoders : public QObject
{
    Q_OBJECT

private slots:
    void packetsEqualOneEncoderFedEveryFrame()
    {
        constexpr int kFrames = 22; // five runs of four and a short one
        const Packets serial = encodeSerially(kFrames);
        QCOMPARE(serial.size(), kFrames);
        Packets parallel;
        // Room for less than a picture: each submit waits until a lane takes the frame.
        RunEncoders encoders(3, 4, 1, gifEncoder, [&](AVPacket *packet, int64_t tag) {
            parallel << qMakePair(QByteArray(reinterpret_cast<const char *>(packet->data), packet->size), tag);
            av_packet_unref(packet);
            return true;
        });
        for (int i = 0; i < kFrames; ++i) {
            AVFrame *frame = picture(i);
            QVERIFY(encoders.submit(frame, i));
            av_frame_free(&frame);
        }
        QVERIFY(encoders.finish());
        QCOMPARE(parallel, serial);
    }
};

GLINTORA_TEST_MAIN_CORE(TestRunEncoders)
#include "tst_runencoders.moc"
