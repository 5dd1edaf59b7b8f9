#include "testhome.h"

#include <QCryptographicHash>

#include "convert/passclock.h"
#include "convert/shownframes.h"
#include "framefilter.h"
#include "source/mediasource.h"
#include "testmedia.h"

extern "C" {
#include <libavutil/imgutils.h>
}

namespace {

constexpr char kRate[] = "fps=10";

struct Decoded
{
    QVector<QByteArray> shownDigests;
    int framesDecoded = 0;
};

QByteArray pixelDigest(const AVFrame *frame)
{
    const auto format = AVPixelFormat(frame->format);
    QByteArray pixels(av_image_get_buffer_size(format, frame->width, frame->height, 1), '\0');
    av_image_copy_to_buffer(reinterpret_cast<uint8_t *>(pixels.data()), pixels.size(), frame->data, frame->linesize,
                            format, frame->width, frame->height, 1);
    return QCryptographicHash::hash(pixels, QCryptographicHash::Md5);
}

// Decodes a range at 10 frames a second the way a conversion pass does, every decoded
// frame going through the rate filter; with onlyShown the decoder passes over what it may.
Decoded decodeAtTenPerSecond(const QString &path, uint64_t start, uint64_t length, bool onlyShown)
{
    Decoded decoded;
    MediaSource source;
    if (!source.open(path.toStdString(), nullptr) || !source.openDecoder())
        return decoded;
    if (onlyShown)
        source.decodeOnly(ShownFrames::choose(source.packetFrameTimes(), PassClock(start, length), kRate));
    FrameFilter filter(1);
    FramePtr frame(av_frame_alloc());
    FramePtr shown(av_frame_alloc());
    const auto collect = [&]() {
        while (filter.pull(shown.get()) > 0) {
            decoded.shownDigests.append(pixelDigest(shown.get()));
            av_frame_unref(shown.get());
        }
    };
    PassClock clock(start, length);
    bool built = false;
    while (source.nextFrame(frame.get()) > 0) {
        ++decoded.framesDecoded;
        const PassClock::Place place = clock.place(source.frameTimeUs(frame.get()), frame->pts);
        if (place == PassClock::Place::After)
            break;
        if (place == PassClock::Place::Inside) {
            if (!built)
                built = filter.build(FrameFilter::paramsOf(frame.get(), {1, 1000000}), kRate,
                                     AVPixelFormat(frame->format));
            if (!built || !filter.push(frame.get()))
                return {};
            collect();
        }
        av_frame_unref(frame.get());
    }
    if (built && filter.close(clock.endTime()))
        collect();
    return decoded;
}

} // namespace

class TestShownFrames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        TestMedia::LivePhoto avc;
        avc.seconds = 2;
        m_avc = TestMedia::livePhoto(m_dir.path(), "avc.mov", avc);
        TestMedia::LivePhoto hevc = avc;
        hevc.codec = TestMedia::Codec::Hevc;
        hevc.layout = TestMedia::Layout::Phone;
        m_hevcPhone = TestMedia::livePhoto(m_dir.path(), "hevc.mov", hevc);
        // Its unreferenced B-frames sit in a layer of their own, which another layer's
        // pictures may refer to: nothing can be passed over.
        m_hevcLayers = TestMedia::encodedClip(m_dir.path(), "layers.mov", "testsrc2=size=320x240:rate=30:duration=2",
                                              {"-c:v", "libx265", "-x265-params", "log-level=error:temporal-layers=1",
                                               "-tag:v", "hvc1", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
        QVERIFY2(!m_avc.isEmpty() && !m_hevcPhone.isEmpty() && !m_hevcLayers.isEmpty(),
                 qPrintable(TestMedia::lastError()));
    }

    // The frames shown, and every pixel of them, are those of a full decode.
    void decodesEveryFrameShown_data()
    {
        QTest::addColumn<QString>("movie");
        QTest::addColumn<quint64>("start");
        QTest::addColumn<quint64>("length");
        QTest::addColumn<bool>("passesOver");
        QTest::newRow("H.264") << m_avc << quint64(0) << quint64(0) << true;
        QTest::newRow("HEVC as phones lay it out") << m_hevcPhone << quint64(0) << quint64(0) << true;
        QTest::newRow("HEVC, a range") << m_hevcPhone << quint64(350000) << quint64(1200000) << true;
        QTest::newRow("HEVC in temporal layers") << m_hevcLayers << quint64(0) << quint64(0) << false;
    }

    void decodesEveryFrameShown()
    {
        QFETCH(QString, movie);
        QFETCH(quint64, start);
        QFETCH(quint64, length);
        QFETCH(bool, passesOver);
        const Decoded every = decodeAtTenPerSecond(movie, start, length, false);
        const Decoded shown = decodeAtTenPerSecond(movie, start, length, true);
        QVERIFY(every.shownDigests.size() >= 10);
        QCOMPARE(shown.shownDigests, every.shownDigests);
        if (passesOver)
            QVERIFY2(shown.framesDecoded < every.framesDecoded, qPrintable(QString::number(shown.framesDecoded)));
        else
            QCOMPARE(shown.framesDecoded, every.framesDecoded);
    }

private:
    QTemporaryDir m_dir;
    QString m_avc;
    QString m_hevcPhone;
    QString m_hevcLayers;
};

GLINTORA_TEST_MAIN_CORE(TestShownFrames)
#include "tst_shownframes.moc"
