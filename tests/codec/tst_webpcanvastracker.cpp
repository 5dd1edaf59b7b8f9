#include "testhome.h"

#include <QPainter>
#include <cstring>
#include <unistd.h>

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

#include "webp/webpanimationwriter.h"
#include "webp/webpcanvastracker.h"
#include "webp/webpframeencoder.h"
#include "workingfile.h"

namespace {

constexpr int kWidth = 100; // the last column of blocks is narrower
constexpr int kHeight = 72;
constexpr int kFrames = 48;
constexpr int kQuality = 80;
// Small enough that a line left behind shows in its mean.
constexpr int kSpot = 4;
// What is let through as no change at this quality, and a coding error beside.
constexpr double kAllowedExcess = 9;

// A gradient, textured or smooth, dimmed by `fade` levels and shifted `pan` pixels left,
// behind two red squares apart: what lies between them stays on the canvas. `noise`: up
// to so many levels of a camera's noise, different in every frame.
QImage picture(int fade, int pan, int subjectX, bool textured = true, int noise = 0, int frame = 0)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int texture = textured ? ((x + pan) * 7 + y * 13) % 5 * 6 : 0;
            const uint32_t seed = (uint32_t(x) * 2654435761u) ^ (uint32_t(y) * 40503u) ^ (uint32_t(frame) * 97u);
            const auto grain = [&](int shift) {
                return noise ? int((seed * 2246822519u) >> shift) % (2 * noise + 1) - noise : 0;
            };
            image.setPixel(x, y, qRgb(40 + (x + pan) * 3 % 160 - fade + grain(3), 60 + y + texture - fade + grain(11),
                                      200 - fade + grain(19)));
        }
    QPainter painter(&image);
    painter.fillRect(subjectX, 52, 16, 16, QColor(230, 20, 30));
    painter.fillRect(kWidth - 16 - subjectX, 4, 16, 16, QColor(230, 20, 30));
    return image;
}

// In libwebp's own conversion, as a whole still of it gets.
AVFrame *frameOf(const QImage &image)
{
    WebPPicture picture;
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = image.width();
    frame->height = image.height();
    if (!WebPPictureInit(&picture) || av_frame_get_buffer(frame, 0) < 0)
        av_frame_free(&frame);
    picture.width = image.width();
    picture.height = image.height();
    if (frame && WebPPictureImportBGRX(&picture, image.constBits(), image.bytesPerLine()))
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane ? (image.height() + 1) / 2 : image.height();
            const uint8_t *from = plane == 0 ? picture.y : plane == 1 ? picture.u : picture.v;
            const int stride = plane ? picture.uv_stride : picture.y_stride;
            for (int y = 0; y < rows; ++y)
                std::memcpy(frame->data[plane] + y * frame->linesize[plane], from + y * stride, size_t(stride));
        }
    WebPPictureFree(&picture);
    return frame;
}

QList<QImage> decode(const QString &path)
{
    QFile file(path);
    QList<QImage> frames;
    if (!file.open(QIODevice::ReadOnly))
        return frames;
    const QByteArray bytes = file.readAll();
    const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    uint8_t *pixels = nullptr;
    int endMs = 0;
    while (decoder && WebPAnimDecoderGetNext(decoder, &pixels, &endMs))
        frames << QImage(pixels, kWidth, kHeight, QImage::Format_ARGB32).copy();
    WebPAnimDecoderDelete(decoder);
    return frames;
}

// The source as a whole frame of its own shows it, at the same quality.
QImage asStill(const QImage &image)
{
    uint8_t *still = nullptr;
    const size_t size = WebPEncodeBGRA(image.constBits(), kWidth, kHeight, image.bytesPerLine(), kQuality, &still);
    QImage decoded(kWidth, kHeight, QImage::Format_ARGB32);
    const bool made = WebPDecodeBGRAInto(still, size, decoded.bits(), size_t(decoded.sizeInBytes()), decoded.bytesPerLine());
    WebPFree(still);
    return made ? decoded : QImage();
}

// A spot's mean difference from the source's, in the channel that differs most.
double spotError(const QImage &decoded, const QImage &expected, int left, int top)
{
    int sums[3] = {};
    for (int y = top; y < top + kSpot; ++y)
        for (int x = left; x < left + kSpot; ++x) {
            const QRgb a = decoded.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            sums[0] += qAbs(qRed(a) - qRed(b));
            sums[1] += qAbs(qGreen(a) - qGreen(b));
            sums[2] += qAbs(qBlue(a) - qBlue(b));
        }
    return std::max({sums[0], sums[1], sums[2]}) / double(kSpot * kSpot);
}

// How much further from the source the worst spot is than in a whole frame of its own.
double worstExcessError(const QImage &decoded, const QImage &expected)
{
    const QImage still = asStill(expected);
    double worst = still.isNull() ? INFINITY : 0;
    for (int top = 0; top < kHeight; top += kSpot)
        for (int left = 0; left < kWidth; left += kSpot)
            worst = std::max(worst, spotError(decoded, expected, left, top) - spotError(still, expected, left, top));
    return worst;
}

} // namespace

// An animation whose frames repaint only what changed still shows the source: nothing a
// frame left out may drift from it, nor anything left beside what moved.
class TestWebpCanvasTracker : public QObject
{
    Q_OBJECT

private slots:
    void decodedFramesFollowTheSource_data()
    {
        // Per frame; a fade or pan of a level a frame stays under what counts as a change.
        QTest::addColumn<int>("fade");
        QTest::addColumn<int>("pan");
        QTest::addColumn<int>("subjectStep");
        QTest::addColumn<bool>("textured");
        QTest::addColumn<int>("noise");
        // Whether the frames after the first repaint less than nine tenths of their pixels,
        // some blended: the subjects' rectangle spans most of the picture.
        QTest::addColumn<bool>("repaintsLittle");
        QTest::newRow("moving subjects") << 0 << 0 << 3 << true << 0 << true;
        QTest::newRow("moving subjects over a noisy background") << 0 << 0 << 3 << true << 2 << true;
        QTest::newRow("a slow fade") << 1 << 0 << 0 << true << 0 << false;
        QTest::newRow("a whole-frame pan") << 0 << 1 << 0 << true << 0 << false;
        QTest::newRow("a whole-frame pan of a smooth gradient") << 0 << 1 << 0 << false << 0 << false;
    }

    void decodedFramesFollowTheSource()
    {
        QFETCH(int, fade);
        QFETCH(int, pan);
        QFETCH(int, subjectStep);
        QFETCH(bool, textured);
        QFETCH(int, noise);
        QFETCH(bool, repaintsLittle);
        const auto source = [&](int i) {
            return picture(i * fade, i * pan, 2 + i * subjectStep / 2, textured, noise, i);
        };
        QTemporaryDir dir;
        int descriptor = -1;
        const std::string path = WorkingFile::create(dir.filePath("out.webp").toStdString(), descriptor);
        WebpAnimationWriter writer;
        QVERIFY(writer.open(descriptor));
        ::close(descriptor);
        WebpCanvasTracker canvas(kQuality, false);
        int repainted = 0;
        int blended = 0;
        for (int i = 0; i < kFrames; ++i) {
            AVFrame *frame = frameOf(source(i));
            WebpAnimationWriter::Placement placement{};
            std::vector<uint8_t> still;
            const bool placed = frame && canvas.place(frame, placement);
            repainted += placed && i > 0 ? frame->width * frame->height : 0;
            blended += placed && placement.blend ? 1 : 0;
            const bool added = placed && WebpFrameEncoder::encode(frame, kQuality, still)
                               && writer.add(std::move(still), i * 40, placement);
            av_frame_free(&frame);
            QVERIFY(added);
        }
        QVERIFY(writer.finish());
        if (repaintsLittle) {
            QVERIFY2(repainted < (kFrames - 1) * kWidth * kHeight / 10 * 9, qPrintable(QString("%1 pixels repainted").arg(repainted)));
            QVERIFY(blended > 0);
        }

        const QList<QImage> decoded = decode(QString::fromStdString(path));
        QCOMPARE(decoded.size(), kFrames);
        for (int i : {0, kFrames / 2, kFrames - 1}) {
            const double excess = worstExcessError(decoded[i], source(i));
            QVERIFY2(excess < kAllowedExcess, qPrintable(QString("frame %1: a spot is %2 further off").arg(i).arg(excess)));
        }
    }
};

GLINTORA_TEST_MAIN_CORE(TestWebpCanvasTracker)
#include "tst_webpcanvastracker.moc"
