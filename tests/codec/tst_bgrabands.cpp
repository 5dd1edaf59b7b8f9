#include "gif/bgrabands.h"
#include "testhome.h"

#include <QByteArray>
#include <QRandomGenerator>

extern "C" {
#include <libavutil/pixdesc.h>
}

Q_DECLARE_METATYPE(AVPixelFormat)

namespace {

// The converter takes other paths for some sizes than for others, rounding and placing
// colour a little differently; a band cut from the wrong place is off by far more.
constexpr int kRounding = 4;

// Noise in the brightness and smooth slopes in the colour, within the video range: a band
// cut from the wrong rows or columns shows in either, while the converter may upsample
// colour by its own choice.
FramePtr noisePicture(AVPixelFormat format, int width, int height)
{
    FramePtr frame(av_frame_alloc());
    frame->format = format;
    frame->width = width;
    frame->height = height;
    frame->pts = 7;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    QRandomGenerator random(uint32_t(width * 1000 + height));
    const AVPixFmtDescriptor *descriptor = av_pix_fmt_desc_get(format);
    const int shift = descriptor->comp[0].depth - 8;
    for (int plane = 0; plane < 4 && frame->data[plane]; ++plane) {
        const bool chroma = plane == 1 || plane == 2;
        const int rows = chroma ? AV_CEIL_RSHIFT(height, descriptor->log2_chroma_h) : height;
        const int samples = frame->linesize[plane] / (shift ? 2 : 1);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < samples; ++x) {
                const int value = chroma ? 90 + (x + y) / 4 : 60 + random.bounded(120);
                uint8_t *at = frame->data[plane] + y * frame->linesize[plane];
                if (shift)
                    reinterpret_cast<uint16_t *>(at)[x] = uint16_t(value << shift);
                else
                    at[x] = uint8_t(value);
            }
    }
    return frame;
}

QByteArray rowsOf(const AVFrame *bgra)
{
    QByteArray rows;
    for (int y = 0; y < bgra->height; ++y)
        rows.append(reinterpret_cast<const char *>(bgra->data[0] + y * bgra->linesize[0]), bgra->width * 4);
    return rows;
}

} // namespace

class TestBgraBands : public QObject
{
    Q_OBJECT

private slots:
    void bandsMakeTheWholeTurnedPicture_data()
    {
        QTest::addColumn<AVPixelFormat>("format");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rotation");
        for (const int rotation : {0, 90, 180, 270}) {
            const QByteArray turn = QByteArray::number(rotation);
            QTest::newRow("odd size " + turn) << AV_PIX_FMT_YUV420P << 157 << 131 << rotation;
            QTest::newRow("10-bit " + turn) << AV_PIX_FMT_YUV420P10LE << 200 << 150 << rotation;
            QTest::newRow("nv12 " + turn) << AV_PIX_FMT_NV12 << 130 << 70 << rotation;
        }
        QTest::newRow("one band") << AV_PIX_FMT_YUV422P << 40 << 30 << 90;
    }

    // Converted in bands, a picture must come out as the same picture turned and
    // converted whole: same rows, same chroma, same dither.
    void bandsMakeTheWholeTurnedPicture()
    {
        QFETCH(AVPixelFormat, format);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, rotation);
        const FramePtr picture = noisePicture(format, width, height);
        QVERIFY(picture);
        const AVRational timeBase{1, 25};

        FrameFilter whole;
        QVERIFY(whole.build(FrameFilter::paramsOf(picture.get(), timeBase),
                            FrameFilter::convertingAfter(FrameFilter::rotationChain(rotation)), AV_PIX_FMT_BGRA));
        FramePtr expected(av_frame_clone(picture.get()));
        QVERIFY(whole.transform(expected.get()));

        BgraBands bands;
        QByteArray rows;
        int bandWidth = 0;
        // Twice, as a worker reuses its converters for every frame.
        for (int pass = 0; pass < 2; ++pass) {
            rows.clear();
            QVERIFY(bands.read(picture.get(), timeBase, rotation, [&](const AVFrame *band) {
                bandWidth = band->width;
                rows += rowsOf(band);
                return band->format == AV_PIX_FMT_BGRA;
            }));
            QCOMPARE(bandWidth, expected->width);
            QCOMPARE(rows.size(), expected->width * expected->height * 4);
            const QByteArray wanted = rowsOf(expected.get());
            int worst = 0;
            int worstAt = 0;
            for (int i = 0; i < rows.size(); ++i) {
                const int difference = std::abs(int(uint8_t(rows[i])) - int(uint8_t(wanted[i])));
                if (difference > worst) {
                    worst = difference;
                    worstAt = i;
                }
            }
            QVERIFY2(worst <= kRounding, qPrintable(QString("off by %1 in row %2 byte %3 (%4 vs %5)").arg(worst).arg(worstAt / (expected->width * 4)).arg(worstAt % (expected->width * 4)).arg(int(uint8_t(rows[worstAt]))).arg(int(uint8_t(wanted[worstAt])))));
        }
    }
};

GLINTORA_TEST_MAIN_CORE(TestBgraBands)
#include "tst_bgrabands.moc"
