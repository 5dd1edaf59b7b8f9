#include "testhome.h"

#include <cstring>

#include <webp/decode.h>
#include <webp/demux.h>

#include "webpanimationwriter.h"
#include "webpcanvastracker.h"
#include "webpframeencoder.h"
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

enum class Motion { Subject, Fade, Pan };

// A gradient, dimmed by `fade` levels, shifted `pan` pixels left, with a red square at `subject`.
QImage picture(int fade, int pan, QPoint subject)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, qRgb(40 + (x + pan) % 160 - fade, 60 + y - fade, 200 - fade));
    for (int y = subject.y(); y < subject.y() + 16; ++y)
        for (int x = subject.x(); x < subject.x() + 16; ++x)
            image.setPixel(x, y, qRgb(230, 20, 30));
    return image;
}

QImage source(Motion motion, int index)
{
    switch (motion) {
    case Motion::Subject:
        return picture(0, 0, QPoint(2 + index * 3 / 2, 30));
    case Motion::Fade: // a level a frame: each step stays under what counts as a change
        return picture(index, 0, QPoint(80, 50));
    case Motion::Pan:
        return picture(0, index, QPoint(80, 50));
    }
    return QImage();
}

// Little-endian ARGB words are BGRA bytes, as the tracker takes them.
AVFrame *frameOf(const QImage &image)
{
    AVFrame *frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_BGRA;
    frame->width = image.width();
    frame->height = image.height();
    if (av_frame_get_buffer(frame, 0) < 0)
        av_frame_free(&frame);
    for (int y = 0; frame && y < image.height(); ++y)
        std::memcpy(frame->data[0] + y * frame->linesize[0], image.constScanLine(y), size_t(image.width()) * 4);
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
    AVFrame *frame = frameOf(image);
    std::vector<uint8_t> still;
    QImage decoded(kWidth, kHeight, QImage::Format_ARGB32);
    const bool made = frame && WebpFrameEncoder::encode(frame, kQuality, still)
                      && WebPDecodeBGRAInto(still.data(), still.size(), decoded.bits(), size_t(decoded.sizeInBytes()),
                                            decoded.bytesPerLine());
    av_frame_free(&frame);
    return made ? decoded : QImage();
}

// A spot's mean difference from the source's, in the channel that differs most.
double blockError(const QImage &decoded, const QImage &expected, int left, int top)
{
    double sums[3] = {};
    for (int y = top; y < std::min(kHeight, top + kSpot); ++y)
        for (int x = left; x < std::min(kWidth, left + kSpot); ++x) {
            const QRgb a = decoded.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            sums[0] += qAbs(qRed(a) - qRed(b));
            sums[1] += qAbs(qGreen(a) - qGreen(b));
            sums[2] += qAbs(qBlue(a) - qBlue(b));
        }
    const int count = (std::min(kHeight, top + kSpot) - top) * (std::min(kWidth, left + kSpot) - left);
    return std::max({sums[0], sums[1], sums[2]}) / count;
}

// How much further from the source the worst spot is than in a whole frame of its own.
double worstExcessError(const QImage &decoded, const QImage &expected)
{
    const QImage still = asStill(expected);
    if (still.isNull())
        return INFINITY;
    double worst = 0;
    for (int top = 0; top < kHeight; top += kSpot)
        for (int left = 0; left < kWidth; left += kSpot)
            worst = std::max(worst, blockError(decoded, expected, left, top) - blockError(still, expected, left, top));
    return worst;
}

} // namespace

Q_DECLARE_METATYPE(Motion)

// An animation whose frames repaint only what changed still shows the source: nothing a
// frame left out may drift from it, nor anything left beside what moved.
class TestWebpCanvasTracker : public QObject
{
    Q_OBJECT

private slots:
    void decodedFramesFollowTheSource_data()
    {
        QTest::addColumn<Motion>("motion");
        QTest::newRow("a moving subject") << Motion::Subject;
        QTest::newRow("a slow fade") << Motion::Fade;
        QTest::newRow("a whole-frame pan") << Motion::Pan;
    }

    void decodedFramesFollowTheSource()
    {
        QFETCH(Motion, motion);
        QTemporaryDir dir;
        const std::string path = WorkingFile::create(dir.filePath("out.webp").toStdString());
        WebpAnimationWriter writer;
        QVERIFY(writer.open(path));
        WebpCanvasTracker canvas(kQuality, false);
        for (int i = 0; i < kFrames; ++i) {
            AVFrame *frame = frameOf(source(motion, i));
            WebpAnimationWriter::Placement placement{};
            std::vector<uint8_t> still;
            const bool added = frame && canvas.place(frame, placement)
                               && WebpFrameEncoder::encode(frame, kQuality, still)
                               && writer.add(std::move(still), i * 40, placement);
            av_frame_free(&frame);
            QVERIFY(added);
        }
        QVERIFY(writer.finish());

        const QList<QImage> decoded = decode(QString::fromStdString(path));
        QCOMPARE(decoded.size(), kFrames);
        for (int i : {0, kFrames / 2, kFrames - 1}) {
            const double excess = worstExcessError(decoded[i], source(motion, i));
            QVERIFY2(excess < kAllowedExcess, qPrintable(QString("frame %1: a spot is %2 further off").arg(i).arg(excess)));
        }
    }
};

GLINTORA_TEST_MAIN_CORE(TestWebpCanvasTracker)
#include "tst_webpcanvastracker.moc"
