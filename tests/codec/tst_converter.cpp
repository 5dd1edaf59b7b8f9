#include "testhome.h"

#include <QThread>
#include <atomic>
#include <mutex>
#include <memory>
#include <thread>
#include <climits>
#include <utime.h>
#include <webp/demux.h>

#include "animationfiles.h"
#include "convert/conversionjob.h"
#include "mmc.h"
#include "testmedia.h"

namespace {

// Collects the stills a conversion hands over, and on which thread they came.
struct StillSink
{
    std::mutex mutex;
    QList<QByteArray> images;
    std::atomic<int> calls{0};
    std::atomic<bool> foreignThread{true};
    Qt::HANDLE caller = QThread::currentThreadId();
    int shortAt = -1; // call index that stores one byte too few

    static unsigned write(void *ctx, const unsigned char *data, unsigned size)
    {
        auto *sink = static_cast<StillSink *>(ctx);
        const int index = sink->calls++;
        if (QThread::currentThreadId() == sink->caller)
            sink->foreignThread = false;
        std::lock_guard<std::mutex> lock(sink->mutex);
        sink->images.append(QByteArray(reinterpret_cast<const char *>(data), int(size)));
        return index == sink->shortAt ? size - 1 : size;
    }
};

struct Settings
{
    uint32_t codec = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rateNum = 0;
    uint32_t rateDen = 0;
    bool keepAspect = true;
    uint32_t quality = 80;
    uint32_t pixelFormat = UINT32_MAX;
};

// Fills a configuration the way the converter driver does.
MMC_Handle makeConfig(const Settings &s)
{
    const MMC_Handle cfg = MMC_CreateEncodeConfig();
    MMC_ConfigSetVideoCodec(cfg, s.codec);
    MMC_ConfigSetAudioCodec(cfg, 0xFFFFFFFF);
    if (s.width && s.height)
        MMC_ConfigSetVideoSize(cfg, s.width, s.height);
    if (s.rateNum)
        MMC_ConfigSetFrameRate(cfg, s.rateNum, s.rateDen);
    MMC_ConfigSetAudioChannels(cfg, 2);
    MMC_ConfigSetSampleRate(cfg, 44100);
    MMC_ConfigSetVideoOption(cfg, s.quality);
    MMC_ConfigSetOptionFlag(cfg, 0);
    MMC_ConfigSetBlobOption(cfg, "iccp_data", nullptr, 0);
    if (s.keepAspect)
        MMC_ConfigSetIndexedOption(cfg, 1, 0x01800000 | 819);
    MMC_ConfigSetIntOption(cfg, 0);
    if (s.pixelFormat != UINT32_MAX)
        MMC_ConfigSetUIntOption(cfg, s.pixelFormat);
    return cfg;
}

struct Outcome
{
    bool finished = false;
    bool failed = false;
    bool progressSound = true; // total >= 1, done never falls, done == total at a normal end
    QString written;           // where the output went
};

// Polls a started job as the driver does until it ends.
Outcome waitFor(MMC_Handle conv)
{
    Outcome outcome;
    uint64_t lastDone = 0;
    for (int polls = 0; polls < 60000; ++polls) {
        const uint64_t done = MMC_ConverterGetDone(conv);
        const uint64_t total = MMC_ConverterGetTotal(conv);
        if (total < 1 || done < lastDone || done > total)
            outcome.progressSound = false;
        lastDone = done;
        if (MMC_ConverterIsFinished(conv))
            break;
        QThread::msleep(10);
    }
    outcome.finished = MMC_ConverterIsFinished(conv) == 1;
    outcome.failed = MMC_ConverterHasFailed(conv) == 1;
    if (outcome.finished && !outcome.failed && MMC_ConverterGetDone(conv) != MMC_ConverterGetTotal(conv))
        outcome.progressSound = false;
    char written[PATH_MAX];
    if (MMC_ConverterGetOutputPath(conv, written, sizeof written))
        outcome.written = QString::fromUtf8(written);
    return outcome;
}

Outcome convertFile(const QString &src, const QString &dst, const char *format, const Settings &settings,
                    uint64_t rangeStart = 0, uint64_t rangeLength = 0, const std::function<void()> &beforeStart = {})
{
    const MMC_Handle conv = MMC_CreateConverter(-1);
    const MMC_Handle cfg = makeConfig(settings);
    const int opened = MMC_ConverterOpenFile(conv, src.toUtf8().constData(), dst.toUtf8().constData(), format, cfg);
    MMC_ReleaseEncodeConfig(cfg);
    Outcome outcome;
    if (beforeStart)
        beforeStart();
    if (opened == 1 && MMC_ConverterSetTimeRange(conv, rangeStart, rangeLength) && MMC_ConverterStart(conv) == 1)
        outcome = waitFor(conv);
    MMC_ConverterClose(conv);
    MMC_DestroyConverter(conv);
    return outcome;
}

Outcome convertStills(const QString &src, const char *format, const Settings &settings, StillSink &sink,
                      uint64_t rangeStart = 0, uint64_t rangeLength = 0)
{
    const MMC_Handle conv = MMC_CreateConverter(-1);
    const MMC_Handle cfg = makeConfig(settings);
    const MMC_Handle writer = MMC_ImageCreateWriter(-1);
    MMC_ImageSetWriteCallback(writer, &StillSink::write, &sink);
    const MMC_Handle image = MMC_ImageOpen(src.toUtf8().constData(), 0);
    const int opened = MMC_ConverterOpenImage(conv, image, writer, format, cfg);
    // The driver lets go of all three right after the open.
    MMC_ImageClose(image);
    MMC_ImageClose(writer);
    MMC_ReleaseEncodeConfig(cfg);
    Outcome outcome;
    if (opened == 1 && MMC_ConverterSetTimeRange(conv, rangeStart, rangeLength) && MMC_ConverterStart(conv) == 1)
        outcome = waitFor(conv);
    MMC_DestroyConverter(conv);
    return outcome;
}

QImage grabFrame(const QString &path, quint32 width = 0, quint32 height = 0, quint64 timeUs = 0)
{
    const MMC_Handle h = MMC_CreateMediaInfo(-1);
    QImage image;
    unsigned char *bmp =
        MMC_OpenMediaFile(h, path.toUtf8().constData()) ? MMC_GrabFrameImage(h, timeUs, 1, width, height, 0) : nullptr;
    if (bmp) {
        const int size = bmp[2] | bmp[3] << 8 | bmp[4] << 16 | bmp[5] << 24;
        image = QImage::fromData(bmp, size, "BMP").convertToFormat(QImage::Format_RGB888);
    }
    MMC_FreeFrameImage(h, bmp);
    MMC_DestroyMediaInfo(h);
    return image;
}

// Mean absolute difference per channel, 0..255.
double difference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return double(sum) / (a.width() * a.height() * 3);
}

// Samples per pixel of a little-endian TIFF, from its first directory; 0 when absent.
int tiffSamplesPerPixel(const QByteArray &tiff)
{
    const auto u16 = [&](int at) { return at + 2 <= tiff.size() ? quint8(tiff[at]) | quint8(tiff[at + 1]) << 8 : 0; };
    const int directory = u16(4) | u16(6) << 16;
    const int entries = u16(directory);
    for (int i = 0; i < entries; ++i) {
        const int entry = directory + 2 + 12 * i;
        if (u16(entry) == 277)
            return u16(entry + 8);
    }
    return 0;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes, int ageDays = 0)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
           && file.setFileTime(QDateTime::currentDateTime().addDays(-ageDays), QFileDevice::FileModificationTime);
}

// Working files, ours or not, left in a folder.
QStringList workingFilesIn(const QString &folder)
{
    return QDir(folder).entryList({"*.part"}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestConverter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_live;
    QString m_portrait;
    QString m_long;
    QString m_frame;

private slots:
    void initTestCase()
    {
        m_live = TestMedia::livePhoto(m_dir.path(), "lp.mov");
        TestMedia::LivePhoto portrait;
        portrait.codec = TestMedia::Codec::Hevc;
        portrait.width = 480;
        portrait.height = 360;
        portrait.seconds = 1;
        portrait.portrait = true;
        m_portrait = TestMedia::livePhoto(m_dir.path(), "portrait.mov", portrait);
        TestMedia::LivePhoto longer;
        longer.width = 1280;
        longer.height = 720;
        longer.seconds = 10;
        longer.audio = false;
        m_long = TestMedia::livePhoto(m_dir.path(), "long.mov", longer);
        m_frame = TestMedia::still(m_dir.path(), "frame.jpg", 320, 240);
        for (const QString &path : {m_live, m_portrait, m_long, m_frame})
            QVERIFY2(!path.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void writesGif_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QSize>("request");
        QTest::addColumn<bool>("keepAspect");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("durationMs");
        // Measured, right / with a wrong frame before: 6.4 / 20.1, 6.6 / 20.3, 1.1 / 8.5, 4.5 / 10.5.
        QTest::addColumn<double>("limit");
        QTest::newRow("10 fps fitted") << "lp.mov" << 10 << QSize(160, 160) << true << QSize(160, 120) << 30 << 3000 << 11.0;
        QTest::newRow("stretched") << "lp.mov" << 10 << QSize(160, 160) << false << QSize(160, 160) << 30 << 3000 << 11.0;
        QTest::newRow("source timing") << "lp.mov" << 0 << QSize() << true << QSize(320, 240) << 90 << 3000 << 3.0;
        QTest::newRow("portrait upright") << "portrait.mov" << 10 << QSize() << true << QSize(360, 480) << 10 << 1000 << 7.0;
    }

    void writesGif()
    {
        QFETCH(QString, source);
        QFETCH(int, rate);
        QFETCH(QSize, request);
        QFETCH(bool, keepAspect);
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QFETCH(int, durationMs);
        QFETCH(double, limit);
        Settings settings;
        settings.codec = MMC_CODEC_GIF;
        settings.rateNum = uint32_t(rate);
        settings.rateDen = 1;
        settings.width = uint32_t(request.width());
        settings.height = uint32_t(request.height());
        settings.keepAspect = keepAspect;
        const QString out = m_dir.filePath(QString("out-%1.gif").arg(QTest::currentDataTag()));
        const Outcome outcome = convertFile(m_dir.filePath(source), out, "gif", settings);
        QVERIFY(outcome.finished);
        QVERIFY(!outcome.failed);
        QVERIFY(outcome.progressSound);
        QVERIFY(workingFilesIn(m_dir.path()).isEmpty());
        const AnimationFacts gif = readGif(fileBytes(out));
        QVERIFY(gif.valid);
        QCOMPARE(gif.size, size);
        QCOMPARE(gif.frames, frames);
        QCOMPARE(gif.loopCount, 0);
        QVERIFY2(qAbs(gif.totalDelayMs - durationMs) <= 1000 / qMax(rate, 30), qPrintable(QString::number(gif.totalDelayMs)));
        // 256 dithered colours stay close to the source picture, also late in the clip,
        // where each frame only draws what changed over the frames before.
        for (const quint64 timeUs : {quint64(0), quint64(durationMs) * 800}) {
            const QImage ours = grabFrame(out, 0, 0, timeUs);
            const QImage original = grabFrame(m_dir.filePath(source), quint32(size.width()), quint32(size.height()), timeUs);
            const double off = difference(ours, original);
            QVERIFY2(off < limit, qPrintable(QString("%1 at %2 us").arg(off).arg(timeUs)));
        }
    }

    void gifDecodedAgainMatchesKept_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QSize>("request");
        QTest::newRow("source size, turned") << true << QSize();
        QTest::newRow("resized") << false << QSize(160, 160);
    }

    // Pictures too many to keep from the palette pass are decoded again to map: the
    // file is the one the kept pictures make.
    void gifDecodedAgainMatchesKept()
    {
        QFETCH(bool, portrait);
        QFETCH(QSize, request);
        EncodeSettings settings;
        settings.videoCodec = MMC_CODEC_GIF;
        settings.rateNum = 10;
        settings.rateDen = 1;
        settings.width = uint32_t(request.width());
        settings.height = uint32_t(request.height());
        settings.keepAspect = true;
        QList<QByteArray> outputs;
        for (const size_t limit : {size_t(1) << 30, size_t(0)}) {
            const QString out = m_dir.filePath(QString("kept-%1.gif").arg(limit));
            ConversionJob job(false);
            job.setKeptFrameLimit(limit);
            QVERIFY(job.openFile((portrait ? m_portrait : m_live).toStdString(), out.toStdString(), "gif", settings));
            QVERIFY(job.start());
            while (!job.isFinished() && !job.hasFailed())
                QThread::msleep(5);
            QVERIFY(!job.hasFailed());
            outputs.append(fileBytes(out));
        }
        QVERIFY(readGif(outputs[0]).valid);
        QVERIFY(outputs[0] == outputs[1]);
    }

    void writesWebpThatLoops()
    {
        Settings settings;
        settings.codec = MMC_CODEC_WEBP;
        const QString out = m_dir.filePath("out.webp");
        const Outcome outcome = convertFile(m_live, out, "webp", settings);
        QVERIFY(outcome.finished && !outcome.failed && outcome.progressSound);
        const AnimationFacts webp = readWebp(fileBytes(out));
        QCOMPARE(webp.frames, 90);
        QCOMPARE(webp.size, QSize(320, 240));
        QCOMPARE(webp.loopCount, 0);
        QVERIFY2(qAbs(webp.totalDelayMs - 3000) <= 34, qPrintable(QString::number(webp.totalDelayMs)));

        // The history shows a thumbnail of the output, read back through the probe.
        const MMC_Handle h = MMC_CreateMediaInfo(-1);
        QCOMPARE(MMC_OpenMediaFile(h, out.toUtf8().constData()), 1);
        QCOMPARE(MMC_GetVideoWidth(h), 320u);
        QVERIFY(qAbs(qint64(MMC_GetMediaDuration(h)) - 3000000) <= 34000);
        unsigned char *bmp = MMC_GrabFrameImage(h, 0, 1, 0, 0, 0);
        QVERIFY(bmp);
        QCOMPARE(QImage::fromData(bmp, 54 + 320 * 3 * 240, "BMP").size(), QSize(320, 240));
        MMC_FreeFrameImage(h, bmp);
        MMC_DestroyMediaInfo(h);
    }

    // WebP pictures are BT.601: a BT.709 source's colours are converted, not reinterpreted
    // (that would make this red about 179,13,65); a translucent source stays so.
    void webpKeepsTheSourcesColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QStringList>("encoding");
        QTest::addColumn<int>("alpha");
        QTest::newRow("BT.709") << "bt709.mkv"
                                << "color=c=0xC02040:size=64x64:rate=10:duration=0.5,format=rgb24,"
                                   "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p"
                                << QStringList{"-c:v", "libx264", "-qp", "0", "-pix_fmt", "yuv420p", "-colorspace",
                                               "bt709", "-color_primaries", "bt709", "-color_trc", "bt709"}
                                << 255;
        QTest::newRow("half transparent") << "translucent.mov"
                                          << "color=c=0xC02040@0.5:size=64x64:rate=10:duration=0.5,format=rgba"
                                          << QStringList{"-c:v", "png"} << 128;
    }

    void webpKeepsTheSourcesColours()
    {
        QFETCH(QString, name);
        QFETCH(QString, picture);
        QFETCH(QStringList, encoding);
        QFETCH(int, alpha);
        const QString source = TestMedia::encodedClip(m_dir.path(), name, picture, encoding);
        QVERIFY2(!source.isEmpty(), qPrintable(TestMedia::lastError()));
        Settings settings;
        settings.codec = MMC_CODEC_WEBP;
        const QString out = m_dir.filePath(name + ".webp");
        const Outcome outcome = convertFile(source, out, "webp", settings);
        QVERIFY(outcome.finished && !outcome.failed);
        const QByteArray bytes = fileBytes(out);
        const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
        const std::unique_ptr<WebPAnimDecoder, decltype(&WebPAnimDecoderDelete)> decoder(
            WebPAnimDecoderNew(&data, nullptr), &WebPAnimDecoderDelete);
        uint8_t *rgba = nullptr;
        int timestamp = 0;
        QVERIFY(decoder && WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp));
        const uint8_t *centre = rgba + (32 * 64 + 32) * 4;
        const int expected[] = {0xC0, 0x20, 0x40, alpha};
        for (int channel = 0; channel < 4; ++channel)
            QVERIFY2(qAbs(centre[channel] - expected[channel]) <= 6,
                     qPrintable(QString("%1,%2,%3,%4").arg(centre[0]).arg(centre[1]).arg(centre[2]).arg(centre[3])));
    }

    void handsEveryFrameAsAStill_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<QSize>("request");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("count");
        QTest::newRow("jpeg") << "lp.mov" << QByteArray("jpeg") << QByteArray("\xff\xd8", 2) << QSize() << QSize(320, 240) << 90;
        QTest::newRow("png") << "lp.mov" << QByteArray("png") << QByteArray("\x89PNG") << QSize(160, 160) << QSize(160, 120) << 90;
        // Neither side a whole number of JPEG blocks: the edges are filled out to whole blocks.
        QTest::newRow("jpeg odd size") << "lp.mov" << QByteArray("jpeg") << QByteArray("\xff\xd8", 2) << QSize(157, 157) << QSize(157, 118) << 90;
        QTest::newRow("bmp") << "lp.mov" << QByteArray("bmp") << QByteArray("BM") << QSize() << QSize(320, 240) << 90;
        QTest::newRow("tiff") << "lp.mov" << QByteArray("tiff") << QByteArray("II*\0", 4) << QSize() << QSize() << 90;
        QTest::newRow("portrait") << "portrait.mov" << QByteArray("png") << QByteArray("\x89PNG") << QSize() << QSize(360, 480) << 30;
    }

    void handsEveryFrameAsAStill()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, magic);
        QFETCH(QSize, request);
        QFETCH(QSize, size);
        QFETCH(int, count);
        Settings settings;
        settings.width = uint32_t(request.width());
        settings.height = uint32_t(request.height());
        settings.pixelFormat = format == "tiff" ? uint32_t(MMC_PIX_RGB24) : UINT32_MAX;
        StillSink sink;
        const Outcome outcome = convertStills(m_dir.filePath(source), format.constData(), settings, sink);
        QVERIFY(outcome.finished && !outcome.failed && outcome.progressSound);
        QCOMPARE(sink.calls.load(), count);
        QVERIFY(sink.foreignThread.load());
        for (const QByteArray &image : sink.images) {
            QVERIFY(image.startsWith(magic));
            if (size.isValid())
                QCOMPARE(QImage::fromData(image).size(), size);
        }
        if (format == "jpeg")
            QVERIFY(sink.images.first().endsWith("\xff\xd9"));
        if (format == "tiff")
            QCOMPARE(tiffSamplesPerPixel(sink.images.first()), 3);
    }

    // A lower JPEG quality must give smaller stills; the encoder ignored it once.
    void jpegQualityChangesTheStills()
    {
        qint64 bytes[2] = {};
        const uint32_t qualities[2] = {20, 95};
        for (int i = 0; i < 2; ++i) {
            Settings settings;
            settings.quality = qualities[i];
            StillSink sink;
            QVERIFY(convertStills(m_dir.filePath("lp.mov"), "jpeg", settings, sink).finished);
            bytes[i] = sink.images.first().size();
        }
        QVERIFY2(bytes[0] * 2 < bytes[1], qPrintable(QString("%1 and %2 bytes").arg(bytes[0]).arg(bytes[1])));
    }

    void convertsTenBitHevc()
    {
        // Newer phones record 10-bit HEVC; it must convert like any other movie.
        TestMedia::LivePhoto spec;
        spec.codec = TestMedia::Codec::Hevc;
        spec.tenBit = true;
        spec.seconds = 1;
        const QString movie = TestMedia::livePhoto(m_dir.path(), "tenbit.mov", spec);
        QVERIFY2(!movie.isEmpty(), qPrintable(TestMedia::lastError()));
        StillSink sink;
        const Outcome stills = convertStills(movie, "jpeg", Settings(), sink);
        QVERIFY(stills.finished && !stills.failed);
        QCOMPARE(sink.calls.load(), 30);
        QCOMPARE(QImage::fromData(sink.images.first()).size(), QSize(320, 240));
        Settings gif;
        gif.rateNum = 10;
        gif.rateDen = 1;
        const QString out = m_dir.filePath("tenbit.gif");
        QVERIFY(convertFile(movie, out, "gif", gif).finished);
        QCOMPARE(readGif(fileBytes(out)).frames, 10);
        QVERIFY(difference(grabFrame(out), grabFrame(movie)) < 12);
    }

    void honoursTheTimeRange()
    {
        StillSink sink;
        const Outcome outcome = convertStills(m_live, "jpeg", Settings(), sink, 1000000, 1000000);
        QVERIFY(outcome.finished && !outcome.failed);
        QVERIFY2(qAbs(sink.calls.load() - 30) <= 1, qPrintable(QString::number(sink.calls.load())));

        StillSink none;
        const Outcome past = convertStills(m_live, "jpeg", Settings(), none, 60000000, 0);
        QVERIFY(past.finished);
        QVERIFY(past.failed);
        QCOMPARE(none.calls.load(), 0);

        const QString out = m_dir.filePath("range.gif");
        Settings gif;
        gif.rateNum = 10;
        gif.rateDen = 1;
        QVERIFY(convertFile(m_live, out, "gif", gif, 500000, 1000000).finished);
        QCOMPARE(readGif(fileBytes(out)).frames, 10);
    }

    void shortWriteFailsTheJob()
    {
        StillSink sink;
        sink.shortAt = 4;
        const Outcome outcome = convertStills(m_live, "png", Settings(), sink);
        QVERIFY(outcome.finished);
        QVERIFY(outcome.failed);
        QCOMPARE(sink.calls.load(), 5);
    }

    void refusesWhatItCannotWrite()
    {
        const MMC_Handle conv = MMC_CreateConverter(-1);
        const QByteArray src = m_live.toUtf8();
        const QByteArray folder = m_dir.filePath("missing-folder/out.gif").toUtf8();
        QCOMPARE(MMC_ConverterOpenFile(conv, src.constData(), folder.constData(), "gif", 0), 0);
        const QByteArray dst = m_dir.filePath("upper.gif").toUtf8();
        QCOMPARE(MMC_ConverterOpenFile(conv, src.constData(), dst.constData(), "GIF", 0), 0);
        QCOMPARE(MMC_ConverterOpenFile(conv, src.constData(), dst.constData(), "PNG", 0), 0);
        const QByteArray text = m_dir.filePath("notes.txt").toUtf8();
        QFile notes(m_dir.filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("no movie");
        notes.close();
        QCOMPARE(MMC_ConverterOpenFile(conv, text.constData(), dst.constData(), "gif", 0), 0);
        // A folder at the destination is refused before any work, not at the final rename.
        const QByteArray folderAtDestination = m_dir.filePath("taken.gif").toUtf8();
        QVERIFY(QDir().mkdir(m_dir.filePath("taken.gif")));
        QCOMPARE(MMC_ConverterOpenFile(conv, src.constData(), folderAtDestination.constData(), "gif", 0), 0);
        QVERIFY(QFileInfo(m_dir.filePath("taken.gif")).isDir());
        QCOMPARE(MMC_ConverterStart(conv), 0);
        QCOMPARE(MMC_ConverterCancel(conv), 0);
        QVERIFY(!QFile::exists(m_dir.filePath("upper.gif")));
        QVERIFY(workingFilesIn(m_dir.path()).isEmpty());
        MMC_DestroyConverter(conv);
        QCOMPARE(MMC_ConverterStart(conv), 0);
    }

    void cancelStopsPromptlyAndLeavesNoFile_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("gif") << QByteArray("gif");
        QTest::newRow("webp") << QByteArray("webp");
        QTest::newRow("stills") << QByteArray("jpeg");
    }

    void cancelStopsPromptlyAndLeavesNoFile()
    {
        QFETCH(QByteArray, format);
        const bool stills = format == "jpeg";
        const QString out = m_dir.filePath("cancelled." + format);
        const MMC_Handle conv = MMC_CreateConverter(-1);
        StillSink sink;
        const MMC_Handle writer = MMC_ImageCreateWriter(-1);
        MMC_ImageSetWriteCallback(writer, &StillSink::write, &sink);
        const MMC_Handle image = MMC_ImageOpen(m_long.toUtf8().constData(), 0);
        const int opened = stills ? MMC_ConverterOpenImage(conv, image, writer, "jpeg", 0)
                                  : MMC_ConverterOpenFile(conv, m_long.toUtf8().constData(), out.toUtf8().constData(),
                                                          format.constData(), 0);
        MMC_ImageClose(image);
        MMC_ImageClose(writer);
        QCOMPARE(opened, 1);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        while (MMC_ConverterGetDone(conv) == 0 && !MMC_ConverterIsFinished(conv))
            QThread::msleep(5);
        QCOMPARE(MMC_ConverterCancel(conv), 1);
        const int callsAtCancel = sink.calls.load();
        QCOMPARE(MMC_ConverterHasFailed(conv), 1);
        QCOMPARE(MMC_ConverterIsFinished(conv), 0);
        QCOMPARE(MMC_ConverterCancel(conv), 0);
        QVERIFY(!QFile::exists(out));
        QVERIFY(workingFilesIn(m_dir.path()).isEmpty());
        QThread::msleep(50);
        QCOMPARE(sink.calls.load(), callsAtCancel);
        QCOMPARE(MMC_ConverterIsFinished(conv), 0);
        MMC_ConverterClose(conv);
        MMC_DestroyConverter(conv);
    }

    void cancelAfterTheEndChangesNothing()
    {
        const MMC_Handle conv = MMC_CreateConverter(-1);
        const QString out = m_dir.filePath("done.gif");
        QCOMPARE(MMC_ConverterOpenFile(conv, m_portrait.toUtf8().constData(), out.toUtf8().constData(), "gif", 0), 1);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        QVERIFY(waitFor(conv).finished);
        QCOMPARE(MMC_ConverterCancel(conv), 0);
        QCOMPARE(MMC_ConverterHasFailed(conv), 0);
        MMC_DestroyConverter(conv);
        QVERIFY(QFile::exists(out));

        // Opened but never started: the cancel still counts, and no file is left.
        const MMC_Handle idle = MMC_CreateConverter(-1);
        const QString never = m_dir.filePath("never.gif");
        QCOMPARE(MMC_ConverterOpenFile(idle, m_live.toUtf8().constData(), never.toUtf8().constData(), "gif", 0), 1);
        QCOMPARE(MMC_ConverterCancel(idle), 1);
        QCOMPARE(MMC_ConverterHasFailed(idle), 1);
        QCOMPARE(MMC_ConverterStart(idle), 0);
        MMC_DestroyConverter(idle);
        QVERIFY(!QFile::exists(never) && workingFilesIn(m_dir.path()).isEmpty());
    }

    // The job writes only a working file it made itself: a file or a link under the old
    // working name is left alone, and of the recognisable working files only those of a
    // killed run, older than a day, are cleared away.
    void touchesOnlyItsOwnWorkingFile()
    {
        const QString folder = m_dir.filePath("shared");
        QVERIFY(QDir().mkpath(folder));
        const QString users = folder + "/y.gif.part";
        const QString text = folder + "/notes.txt";
        const QString killed = folder + "/z.gif.glintora-0a1b2c3d.part";
        const QString running = folder + "/z.gif.glintora-9z8y7x6w.part";
        const QString killedLongName = folder + "/.glintora-4e5f6g7h.part";
        QVERIFY(writeFile(users, "mine", 2) && writeFile(text, "text") && writeFile(killed, "gone", 2)
                && writeFile(running, "kept") && writeFile(killedLongName, "gone", 2));
        QVERIFY(QFile::link(text, folder + "/out.gif.part"));
        Settings gif;
        gif.rateNum = 10;
        gif.rateDen = 1;
        for (const char *name : {"/y.gif", "/out.gif"}) {
            const Outcome outcome = convertFile(m_portrait, folder + name, "gif", gif);
            QVERIFY(outcome.finished && !outcome.failed);
            QCOMPARE(readGif(fileBytes(folder + name)).frames, 10);
        }
        QCOMPARE(fileBytes(users), QByteArray("mine"));
        QCOMPARE(fileBytes(text), QByteArray("text"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                 QStringList({"notes.txt", "out.gif", "out.gif.part", "y.gif", "y.gif.part",
                              "z.gif.glintora-9z8y7x6w.part"}));
    }

    // A name that fits the folder is writable, however little room it leaves for a working name.
    void writesUnderTheLongestNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("latin gif") << QString(251, QLatin1Char('l')) + ".gif" << QByteArray("gif");
        QTest::newRow("cjk webp") << QString(83, QChar(0x5199)) + ".webp" << QByteArray("webp");
    }

    void writesUnderTheLongestNames()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QString folder = m_dir.filePath("long-" + format);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(name.toUtf8().size() >= 254);
        const Outcome outcome = convertFile(m_portrait, folder + "/" + name, format.constData(), Settings());
        QVERIFY(outcome.finished && !outcome.failed);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({name}));
    }

    // Something put under the output's name while the job ran keeps it; the output takes the
    // next free name and says so.
    void neverReplacesWhatAppearedMeanwhile_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QStringList>("planted");
        QTest::addColumn<QString>("written");
        QTest::newRow("free name") << "race.gif" << QStringList({"race.gif"}) << "race(1).gif";
        QTest::newRow("numbered name") << "race(1).gif" << QStringList({"race(1).gif", "race(2).gif"}) << "race(3).gif";
    }

    void neverReplacesWhatAppearedMeanwhile()
    {
        QFETCH(QString, destination);
        QFETCH(QStringList, planted);
        QFETCH(QString, written);
        const QString folder = m_dir.filePath(QString("race-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(folder));
        const Outcome outcome = convertFile(m_portrait, folder + "/" + destination, "gif", Settings(), 0, 0, [&] {
            for (const QString &name : planted)
                QVERIFY(writeFile(folder + "/" + name, "other program"));
        });
        QVERIFY(outcome.finished && !outcome.failed);
        QCOMPARE(outcome.written, folder + "/" + written);
        for (const QString &name : planted)
            QCOMPARE(fileBytes(folder + "/" + name), QByteArray("other program"));
        QVERIFY(readGif(fileBytes(outcome.written)).frames > 0);
    }

    // What a killed still job left in a working folder goes after a day; a folder holding
    // anything else stays, and the new folder is named without replacing one that exists.
    void clearsOnlyStaleWorkingFolders()
    {
        const QString folder = m_dir.filePath("stills");
        const QString killed = folder + "/s.glintora-0a1b2c3d.part";
        const QString foreign = folder + "/s.glintora-1b2c3d4e.part";
        const QString running = folder + "/s.glintora-2c3d4e5f.part";
        for (const QString &working : {killed, foreign, running})
            QVERIFY(QDir().mkpath(working) && writeFile(working + "/s_001.png", "still"));
        QVERIFY(writeFile(foreign + "/notes.txt", "mine"));
        const QDateTime old = QDateTime::currentDateTime().addDays(-2);
        for (const QString &working : {killed, foreign}) {
            const struct utimbuf times{old.toSecsSinceEpoch(), old.toSecsSinceEpoch()};
            QCOMPARE(::utime(working.toUtf8().constData(), &times), 0);
        }
        QVERIFY(QDir().mkpath(folder + "/s"));
        char path[PATH_MAX];
        QVERIFY(MMC_CreateWorkingFolder((folder + "/s").toUtf8().constData(), path, sizeof path) > 0);
        QVERIFY(!QFileInfo::exists(killed));
        QCOMPARE(fileBytes(foreign + "/notes.txt"), QByteArray("mine"));
        QCOMPARE(fileBytes(running + "/s_001.png"), QByteArray("still"));
        QVERIFY(writeFile(QString::fromUtf8(path) + "/s_001.png", "new"));
        char named[PATH_MAX];
        QVERIFY(MMC_CommitWorkingFolder(path, (folder + "/s").toUtf8().constData(), named, sizeof named) > 0);
        QCOMPARE(QString::fromUtf8(named), folder + "/s(1)");
        QCOMPARE(fileBytes(folder + "/s(1)/s_001.png"), QByteArray("new"));
        QVERIFY(QDir(folder + "/s").isEmpty());
    }

    // A link swapped in under the working file's name after the open leads no byte elsewhere.
    void neverWritesThroughALinkPutInItsPlace()
    {
        const QString folder = m_dir.filePath("swapped");
        QVERIFY(QDir().mkpath(folder) && writeFile(folder + "/victim", "victim"));
        convertFile(m_portrait, folder + "/out.gif", "gif", Settings(), 0, 0, [&] {
            const QString working = folder + "/" + workingFilesIn(folder).value(0);
            QVERIFY(QFile::remove(working) && QFile::link(folder + "/victim", working));
        });
        QCOMPARE(fileBytes(folder + "/victim"), QByteArray("victim"));
        QVERIFY(!QFileInfo(folder + "/out.gif").isSymLink());
    }

    void repeatedStartAndCancel()
    {
        for (int round = 0; round < 20; ++round) {
            const MMC_Handle conv = MMC_CreateConverter(-1);
            const QString out = m_dir.filePath("cycle.webp");
            QCOMPARE(MMC_ConverterOpenFile(conv, m_long.toUtf8().constData(), out.toUtf8().constData(), "webp", 0), 1);
            QCOMPARE(MMC_ConverterStart(conv), 1);
            QCOMPARE(MMC_ConverterCancel(conv), 1);
            MMC_DestroyConverter(conv);
            QVERIFY(!QFile::exists(out));
        }
    }

    void convertsFedPackets_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("stills") << QByteArray("png");
        QTest::newRow("gif") << QByteArray("gif");
    }

    void convertsFedPackets()
    {
        QFETCH(QByteArray, format);
        const QByteArray jpeg = fileBytes(m_frame);
        QVERIFY(jpeg.startsWith("\xff\xd8"));
        const MMC_Handle track = MMC_CreateTrack(MMC_TRACK_VIDEO);
        MMC_TrackSetCodec(track, MMC_CODEC_MJPEG);
        MMC_TrackSetVideoSize(track, 320, 240);
        MMC_TrackSetFrameRate(track, 0, 0);
        MMC_TrackSetDisplaySize(track, 0, 0);
        MMC_TrackSetExtraData(track, nullptr, 0);
        for (int k = 1; k <= 3; ++k) {
            const MMC_Handle packet = MMC_CreatePacket();
            MMC_PacketSetPts(packet, uint64_t(k) * 40000);
            MMC_PacketSetDts(packet, uint64_t(k) * 40000);
            MMC_PacketSetDuration(packet, 0);
            MMC_PacketSetFlags(packet, 1);
            MMC_PacketSetData(packet, jpeg.constData(), uint32_t(jpeg.size()));
            QCOMPARE(MMC_TrackWritePacket(track, packet), 1);
            MMC_ReleasePacket(packet);
        }
        const MMC_Handle end = MMC_CreatePacket();
        MMC_PacketSetData(end, nullptr, 0);
        QCOMPARE(MMC_TrackWritePacket(track, end), 1);
        MMC_ReleasePacket(end);

        const MMC_Handle conv = MMC_CreateConverter(-1);
        StillSink sink;
        const QString out = m_dir.filePath("tracks." + format);
        int opened = 0;
        if (format == "png") {
            const MMC_Handle writer = MMC_ImageCreateWriter(-1);
            MMC_ImageSetWriteCallback(writer, &StillSink::write, &sink);
            opened = MMC_ConverterOpenTracksImage(conv, track, 0, 0, writer, "png", 0);
            MMC_ImageClose(writer);
        } else {
            opened = MMC_ConverterOpenTracks(conv, track, 0, 0, out.toUtf8().constData(), "gif", 0);
        }
        QCOMPARE(opened, 1);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        const Outcome outcome = waitFor(conv);
        QVERIFY(outcome.finished && !outcome.failed && outcome.progressSound);
        QCOMPARE(MMC_TrackGetTime(track), uint64_t(120000));
        MMC_DestroyConverter(conv);
        MMC_DestroyTrack(track);
        if (format == "png") {
            QCOMPARE(sink.calls.load(), 3);
            QCOMPARE(QImage::fromData(sink.images.last()).size(), QSize(320, 240));
        } else {
            QCOMPARE(readGif(fileBytes(out)).frames, 3);
        }
    }

    void emptyTrackFails()
    {
        const MMC_Handle track = MMC_CreateTrack(MMC_TRACK_VIDEO);
        MMC_TrackSetCodec(track, MMC_CODEC_MJPEG);
        const MMC_Handle end = MMC_CreatePacket();
        MMC_PacketSetData(end, nullptr, 0);
        MMC_TrackWritePacket(track, end);
        MMC_ReleasePacket(end);
        const MMC_Handle conv = MMC_CreateConverter(-1);
        const QString out = m_dir.filePath("empty.gif");
        QCOMPARE(MMC_ConverterOpenTracks(conv, track, 0, 0, out.toUtf8().constData(), "gif", 0), 1);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        const Outcome outcome = waitFor(conv);
        QVERIFY(outcome.finished);
        QVERIFY(outcome.failed);
        QVERIFY(!QFile::exists(out));
        MMC_DestroyConverter(conv);
        MMC_DestroyTrack(track);
        QCOMPARE(MMC_CreateTrack(3), 0u);
    }

    void cancelWakesAJobWaitingForPackets()
    {
        const MMC_Handle track = MMC_CreateTrack(MMC_TRACK_VIDEO);
        MMC_TrackSetCodec(track, MMC_CODEC_MJPEG);
        const MMC_Handle conv = MMC_CreateConverter(-1);
        const QString out = m_dir.filePath("waiting.gif");
        QCOMPARE(MMC_ConverterOpenTracks(conv, track, 0, 0, out.toUtf8().constData(), "gif", 0), 1);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        QCOMPARE(MMC_ConverterCancel(conv), 1);
        QCOMPARE(MMC_ConverterIsFinished(conv), 0);
        MMC_DestroyConverter(conv);
        MMC_DestroyTrack(track);
    }
};

GLINTORA_TEST_MAIN_CORE(TestConverter)
#include "tst_converter.moc"
