#include "testhome.h"

#include <unistd.h>
#include <webp/demux.h>
#include <webp/encode.h>

#include "webp/webpanimationwriter.h"
#include "workingfile.h"

namespace {

// A still of one colour: lossy stills keep a translucent colour in a chunk of its own,
// lossless ones in their picture.
std::vector<uint8_t> still(int side, QRgb colour, bool lossless)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < side * side; ++i)
        pixels.insert(pixels.end(), {uint8_t(qRed(colour)), uint8_t(qGreen(colour)), uint8_t(qBlue(colour)),
                                     uint8_t(qAlpha(colour))});
    uint8_t *encoded = nullptr;
    const size_t size = lossless ? WebPEncodeLosslessRGBA(pixels.data(), side, side, side * 4, &encoded)
                                 : WebPEncodeRGBA(pixels.data(), side, side, side * 4, 90, &encoded);
    std::vector<uint8_t> bytes(encoded, encoded + size);
    WebPFree(encoded);
    return bytes;
}

} // namespace

// Frames go to the file as they come; a still the file cannot hold fails the animation.
class TestWebpAnimationWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesFramesAsTheyCome_data()
    {
        QTest::addColumn<int>("lastSide");
        QTest::addColumn<int>("lastCut"); // bytes missing at the end of the last still
        QTest::addColumn<bool>("written");
        QTest::newRow("frames of one size") << 16 << 0 << true;
        QTest::newRow("a frame larger than the canvas") << 24 << 0 << false;
        QTest::newRow("a still cut short") << 16 << 9 << false;
    }

    void writesFramesAsTheyCome()
    {
        QFETCH(int, lastSide);
        QFETCH(int, lastCut);
        QFETCH(bool, written);
        QTemporaryDir dir;
        int descriptor = -1;
        const std::string path = WorkingFile::create(dir.filePath("out.webp").toStdString(), descriptor);
        // An odd length, as the chunk needs padding.
        const std::vector<uint8_t> exif{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 0, 0};
        WebpAnimationWriter writer;
        QVERIFY(writer.open(descriptor));
        ::close(descriptor);
        writer.setExif(exif);
        QVERIFY(writer.add(still(16, qRgba(255, 0, 0, 255), false), 0));
        QVERIFY(writer.add(still(16, qRgba(0, 255, 0, 128), false), 40));
        std::vector<uint8_t> last = still(lastSide, qRgba(0, 0, 255, 255), true);
        last.resize(last.size() - size_t(lastCut));
        QCOMPARE(writer.add(std::move(last), 100) && writer.finish(), written);
        if (!written)
            return;

        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
        WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, nullptr);
        QVERIFY(decoder);
        QList<int> ends;
        QList<int> alphas;
        uint8_t *pixels = nullptr;
        int endMs = 0;
        while (WebPAnimDecoderGetNext(decoder, &pixels, &endMs)) {
            ends << endMs;
            alphas << pixels[3];
        }
        const WebPDemuxer *demuxer = WebPAnimDecoderGetDemuxer(decoder);
        // Viewers that trust the header's flags would otherwise paint the translucent frame opaque.
        const uint32_t flags = WebPDemuxGetI(demuxer, WEBP_FF_FORMAT_FLAGS);
        WebPChunkIterator chunk;
        QVERIFY(WebPDemuxGetChunk(demuxer, "EXIF", 1, &chunk));
        const std::vector<uint8_t> storedExif(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
        WebPAnimDecoderDelete(decoder);
        QCOMPARE(flags & (ALPHA_FLAG | EXIF_FLAG), uint32_t(ALPHA_FLAG | EXIF_FLAG));
        QCOMPARE(ends, (QList<int>{40, 100, 160}));
        QCOMPARE(alphas, (QList<int>{255, 128, 255}));
        QCOMPARE(storedExif, exif);
    }
};

GLINTORA_TEST_MAIN_CORE(TestWebpAnimationWriter)
#include "tst_webpanimationwriter.moc"
