// The whole road of a conversion without a GUI: Live Photo test, queue item, encoder
// parameters and converter jobs on the real codec library with generated movies.
#include "cavencodeparam.h"
#include "mmc.h"
#include "qconverteroperate.h"
#include "qlivephotohelper.h"
#include "stillfile.h"
#include "testhome.h"
#include "testmedia.h"
#include "zvlpconverter.h"
#include "zvvideoconvertitem.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QThread>

#include <webp/demux.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using Report = std::pair<unsigned, convertState>;

// Receives a job's reports on the worker and hands the closing one to the GUI thread,
// which deletes the converter there, as a list row does.
class JobWatcher : public QObject
{
    Q_OBJECT

public:
    static void progress(unsigned percent, void *user, convertState state)
    {
        auto *self = static_cast<JobWatcher *>(user);
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_reports.emplace_back(percent, state);
            if (QThread::currentThread() == self->thread())
                self->m_onGuiThread = true;
        }
        if (state != convertProgress)
            QMetaObject::invokeMethod(self, "OnClosed", Qt::QueuedConnection);
    }

    // Counts each still the job hands over, then stores it as a list row does.
    static unsigned writeStill(void *context, const unsigned char *data, unsigned size)
    {
        countWrite(context);
        return writeStillFile(context, data, size);
    }

    static unsigned refuseStill(void *context, const unsigned char *, unsigned)
    {
        countWrite(context);
        return 0;
    }

    std::unique_ptr<ZVLPConverter> converter = std::make_unique<ZVLPConverter>();
    JobFailure failure; // as the closing report left it

    // Runs the event loop until the closing report was handled (hang guard only).
    bool waitClosed() { return QTest::qWaitFor([this] { return m_closed; }, 120000); }

    std::vector<Report> reports()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_reports;
    }
    bool reportedOnGuiThread() const { return m_onGuiThread; }
    int writes() const { return m_writes; }

private slots:
    void OnClosed()
    {
        failure = converter->Failure();
        converter.reset(); // deleting from the closing report's handler must be clean
        m_closed = true;
    }

private:
    static void countWrite(void *context)
    {
        static_cast<JobWatcher *>(static_cast<ImageWriteInfo *>(context)->user)->m_writes++;
    }

    std::mutex m_mutex;
    std::vector<Report> m_reports;
    bool m_onGuiThread = false;
    bool m_closed = false;
    std::atomic<int> m_writes{0};
};

// Progress strictly rising in 1..100, then exactly one closing report.
bool wellFormed(const std::vector<Report> &reports, convertState closing)
{
    if (reports.empty() || reports.back().second != closing)
        return false;
    unsigned last = 0;
    for (size_t i = 0; i + 1 < reports.size(); ++i) {
        if (reports[i].second != convertProgress || reports[i].first <= last || reports[i].first > 100)
            return false;
        last = reports[i].first;
    }
    return true;
}

// Qt reads no TIFF here: those are measured by the codec library's own probe.
QSize pictureSize(const QString &path)
{
    const QSize read = QImageReader(path).size();
    if (read.isValid())
        return read;
    const MMC_Handle media = MMC_CreateMediaInfo(-1);
    QSize probed;
    if (MMC_OpenMediaFile(media, path.toUtf8().constData()))
        probed = QSize(int(MMC_GetVideoWidth(media)), int(MMC_GetVideoHeight(media)));
    MMC_CloseMedia(media);
    MMC_DestroyMediaInfo(media);
    return probed;
}

// Frame count and canvas of an animated WebP, through libwebp's demuxer.
std::pair<int, QSize> webpAnimation(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder)
        return {};
    WebPAnimInfo info;
    std::pair<int, QSize> result;
    if (WebPAnimDecoderGetInfo(decoder, &info))
        result = {int(info.frame_count), QSize(int(info.canvas_width), int(info.canvas_height))};
    WebPAnimDecoderDelete(decoder);
    return result;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The capture tags of a picture as exiftool, an independent reader, finds them: one
// "name=value" per tag, coordinates signed, in exiftool's order.
QStringList captureTags(const QString &path)
{
    QProcess exiftool;
    exiftool.start("exiftool", {"-s", "-s", "-n", "-f", "-DateTimeOriginal", "-OffsetTimeOriginal", "-Make", "-Model",
                                "-Software", "-Composite:GPSLatitude", "-Composite:GPSLongitude", "-GPSAltitude", path});
    if (!exiftool.waitForFinished(60000))
        return {};
    QStringList tags;
    for (const QString &line : QString::fromUtf8(exiftool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        tags << line.section(':', 0, 0).trimmed() + '=' + line.section(':', 1).trimmed();
    return tags;
}

} // namespace

class TestConversionRoad : public QObject
{
    Q_OBJECT

private:
    TestHome m_home;
    PhotoConverterInfo m_output;
    QString m_media;
    QString m_livePhoto;
    QString m_root;

    void chooseOutput(const char *format, const char *extension, unsigned codec)
    {
        m_output = PhotoConverterInfo();
        m_output.format = QString::fromLatin1(format);
        m_output.extension = QString::fromLatin1(extension);
        m_output.codecId = codec;
        m_output.quality = 80;
        m_output.keepAspectRatio = true;
    }

    std::unique_ptr<ZvVideoConvertItem> probedItem(const QString &path)
    {
        auto item = std::make_unique<ZvVideoConvertItem>();
        if (!item->setVideoPath(path, 0))
            return nullptr;
        item->getValidOutputName();
        item->getConverOutputDir();
        item->getConverPath();
        QDir().mkpath(item->outputDir); // a stills folder is the caller's to make, as the row does
        return item;
    }

    ImageWriteInfo writeInfo(const ZvVideoConvertItem &item)
    {
        ImageWriteInfo info;
        info.folder = item.outputDir;
        info.extension = m_output.extension;
        info.baseName = QFileInfo(item.outputName).completeBaseName();
        return info;
    }

    // Starts a job on the item's movie; its encoder parameters are gone before it runs, as
    // the job keeps its own copy.
    bool startJob(JobWatcher &watcher, const ZvVideoConvertItem &item, const QString &output, ImageWriteFunc write)
    {
        auto param = std::make_unique<CAVEncodeParam>();
        item.getEncodeParam(param.get());
        return watcher.converter->StartConvert(item.path.toUtf8().constData(), output.toUtf8().constData(),
                                               param.get(), &watcher, &JobWatcher::progress, write, writeInfo(item));
    }

    // Runs one job on the item's paths to its end: the count of stills written, or -1 when
    // it did not finish well.
    int convertItem(const ZvVideoConvertItem &item)
    {
        JobWatcher watcher;
        if (!startJob(watcher, item, item.outputPath, &JobWatcher::writeStill) || !watcher.waitClosed()
            || !wellFormed(watcher.reports(), convertFinished))
            return -1;
        return watcher.writes();
    }

private slots:
    void initTestCase()
    {
        QConverterOperate::g_converterInfo = &m_output;
        m_media = m_home.path() + "/media";
        m_root = m_home.path() + "/out/";
        QDir().mkpath(m_media);
        QConverterOperate::setConverterPath(m_root);
        TestMedia::LivePhoto spec;
        spec.audio = false;
        m_livePhoto = TestMedia::livePhoto(m_media, "lp.mov", spec);
        QVERIFY2(!m_livePhoto.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void cleanupTestCase() { QConverterOperate::g_converterInfo = nullptr; }

    void init()
    {
        QDir(m_root).removeRecursively();
        chooseOutput("gif", "gif", 98);
    }

    void liveTestTellsTheKinds()
    {
        TestMedia::LivePhoto plain;
        plain.audio = false;
        plain.identifier = false;
        TestMedia::LivePhoto android = plain;
        android.android = true;
        const QString plainPath = TestMedia::livePhoto(m_media, "plain.mov", plain);
        const QString androidPath = TestMedia::livePhoto(m_media, "android.mp4", android);
        QVERIFY(!plainPath.isEmpty() && !androidPath.isEmpty());
        QVERIFY(QLivePhotoHelper::FileIslivephoto(m_livePhoto));
        QVERIFY(!QLivePhotoHelper::FileIslivephoto(plainPath));
        QVERIFY(QLivePhotoHelper::FileIslivephoto(androidPath));
    }

    void itemProbesTheMovie()
    {
        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        QCOMPARE(item->format, QString("MP4"));
        QCOMPARE(item->extension, QString("mov"));
        QCOMPARE(item->videoWidth, 320u);
        QCOMPARE(item->videoHeight, 240u);
        QVERIFY(item->thumbnail);
        QCOMPARE(item->thumbnail->size(), QSize(120, 90));
        QVERIFY2(item->durationText.startsWith("3.0"), qPrintable(item->durationText));
        QCOMPARE(QDir::cleanPath(item->outputPath), QDir::cleanPath(m_root + "lp.gif"));
    }

    void gifFromTheMovie()
    {
        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        CAVEncodeParam param;
        item->getEncodeParam(&param);
        QCOMPARE(param.frameRateNum, 10u);
        JobWatcher watcher;
        QVERIFY(startJob(watcher, *item, item->outputPath, nullptr));
        QVERIFY(watcher.waitClosed());
        QVERIFY(wellFormed(watcher.reports(), convertFinished));
        QVERIFY(!watcher.reportedOnGuiThread());
        QImageReader reader(item->outputPath);
        QCOMPARE(reader.imageCount(), 30);
        QCOMPARE(reader.size(), QSize(320, 240));
    }

    void everyFormatFromTheMovie_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("extension");
        QTest::addColumn<uint>("codec");

        QTest::newRow("webp") << QByteArray("webp") << QByteArray("webp") << uint(MMC_CODEC_WEBP);
        QTest::newRow("png") << QByteArray("png") << QByteArray("png") << uint(MMC_CODEC_PNG);
        QTest::newRow("jpeg") << QByteArray("jpeg") << QByteArray("jpg") << uint(MMC_CODEC_MJPEG);
        QTest::newRow("bmp") << QByteArray("bmp") << QByteArray("bmp") << uint(MMC_CODEC_BMP);
        QTest::newRow("tiff") << QByteArray("tiff") << QByteArray("tiff") << uint(MMC_CODEC_TIFF);
    }

    void everyFormatFromTheMovie()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, extension);
        QFETCH(uint, codec);
        chooseOutput(format.constData(), extension.constData(), codec);

        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        const int writes = convertItem(*item);
        QVERIFY(writes >= 0);

        if (format == "webp") {
            QCOMPARE(writes, 0);
            // Only gif is slowed to 10 fps; webp keeps the 30 fps of the movie.
            QCOMPARE(webpAnimation(item->outputPath), std::make_pair(90, QSize(320, 240)));
            return;
        }
        const QStringList files = filesIn(item->outputDir);
        QCOMPARE(files.size(), 90);
        QCOMPARE(files.first(), QString("lp_001.%1").arg(QString(extension)));
        QCOMPARE(files.last(), QString("lp_090.%1").arg(QString(extension)));
        QVERIFY(!QFile::exists(item->outputPath)); // the " - 001" name is never written
        for (const QString &name : {files.first(), files.last()})
            QCOMPARE(pictureSize(item->outputDir + name), QSize(320, 240));
    }

    void keepExifCarriesTheCaptureMetadata_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("extension");
        QTest::addColumn<uint>("codec");
        QTest::addColumn<bool>("keep");

        QTest::newRow("jpeg") << QByteArray("jpeg") << QByteArray("jpg") << uint(MMC_CODEC_MJPEG) << true;
        QTest::newRow("png") << QByteArray("png") << QByteArray("png") << uint(MMC_CODEC_PNG) << true;
        QTest::newRow("tiff") << QByteArray("tiff") << QByteArray("tiff") << uint(MMC_CODEC_TIFF) << true;
        QTest::newRow("webp animation") << QByteArray("webp") << QByteArray("webp") << uint(MMC_CODEC_WEBP) << true;
        QTest::newRow("jpeg, not kept") << QByteArray("jpeg") << QByteArray("jpg") << uint(MMC_CODEC_MJPEG) << false;
    }

    void keepExifCarriesTheCaptureMetadata()
    {
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, extension);
        QFETCH(uint, codec);
        QFETCH(bool, keep);
        chooseOutput(format.constData(), extension.constData(), codec);
        m_output.keepExif = keep;

        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        QVERIFY(convertItem(*item) >= 0);

        const QString picture = format == "webp" ? item->outputPath : item->outputDir + filesIn(item->outputDir).last();
        const QStringList expected =
            keep ? QStringList{"DateTimeOriginal=2023:06:05 14:30:12", "OffsetTimeOriginal=+02:00",
                               "Make=" + QString(TestMedia::kMake), "Model=" + QString(TestMedia::kModel),
                               "Software=" + QString(TestMedia::kSoftware), "GPSLatitude=37.3349",
                               "GPSLongitude=-122.009", "GPSAltitude=10"}
                 : QStringList{"DateTimeOriginal=-", "OffsetTimeOriginal=-", "Make=-", "Model=-", "Software=-",
                               "GPSLatitude=-", "GPSLongitude=-", "GPSAltitude=-"};
        QCOMPARE(captureTags(picture), expected);
    }

    void tickedFramesThroughATrack()
    {
        chooseOutput("jpeg", "jpg", MMC_CODEC_MJPEG);
        auto frames = probedItem(m_livePhoto);
        QVERIFY(frames);
        {
            JobWatcher watcher;
            QVERIFY(startJob(watcher, *frames, QString(), &JobWatcher::writeStill));
            QVERIFY(watcher.waitClosed());
        }
        const QStringList jpegs = filesIn(frames->outputDir);
        QVERIFY(jpegs.size() >= 3);

        chooseOutput("png", "png", MMC_CODEC_PNG);
        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        JobWatcher watcher;
        CTrackDesc desc;
        desc.width = item->videoWidth;
        desc.height = item->videoHeight;
        QCOMPARE(watcher.converter->AddTrack(1, 8, &desc), 1u);
        for (int k = 1; k <= 3; ++k) {
            QFile file(frames->outputDir + jpegs.at(k * 10));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            CTrackPacket packet;
            packet.pts = packet.dts = quint64(k);
            packet.timescale = 25;
            packet.flags = 1;
            packet.size = quint32(bytes.size());
            packet.data = reinterpret_cast<const unsigned char *>(bytes.constData());
            QVERIFY(watcher.converter->AddPacketToTrack(1, &packet));
        }
        watcher.converter->StopWithTrack();
        auto param = std::make_unique<CAVEncodeParam>();
        item->getEncodeParam(param.get());
        QVERIFY(watcher.converter->StartWithTrack(item->outputPath.toUtf8().constData(), param.get(), &watcher,
                                                  &JobWatcher::progress, nullptr, &JobWatcher::writeStill,
                                                  writeInfo(*item)));
        param.reset();
        QVERIFY(watcher.waitClosed());
        QCOMPARE(watcher.reports().back(), Report(100, convertFinished));
        QCOMPARE(filesIn(item->outputDir), (QStringList{"lp_001.png", "lp_002.png", "lp_003.png"}));
    }

    void stopMidJob()
    {
        TestMedia::LivePhoto spec;
        spec.audio = false;
        spec.width = 640;
        spec.height = 480;
        spec.seconds = 20;
        const QString longMovie = TestMedia::livePhoto(m_media, "long.mov", spec);
        QVERIFY(!longMovie.isEmpty());
        auto item = probedItem(longMovie);
        QVERIFY(item);
        JobWatcher watcher;
        QVERIFY(startJob(watcher, *item, item->outputPath, nullptr));
        QTest::qWait(200);
        auto stopped = std::async(std::launch::async, [&watcher] { watcher.converter->StopConvert(); });
        QVERIFY(stopped.wait_for(std::chrono::seconds(60)) == std::future_status::ready); // hang guard
        QVERIFY(watcher.waitClosed());
        QVERIFY(wellFormed(watcher.reports(), convertStopped));
        QVERIFY(!QFile::exists(item->outputPath));
    }

    // As phones write them and USB copying hands them over: moov last, maybe no ftyp, a
    // timed-metadata track in a second mdat.
    void phoneLayoutConverts_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("with ftyp") << int(TestMedia::Layout::Phone);
        QTest::newRow("without ftyp") << int(TestMedia::Layout::PhoneWithoutFtyp);
    }

    void phoneLayoutConverts()
    {
        QFETCH(int, layout);
        TestMedia::LivePhoto spec;
        spec.audio = false;
        spec.layout = TestMedia::Layout(layout);
        const QString phone = TestMedia::livePhoto(m_media, QStringLiteral("phone%1.mov").arg(layout), spec);
        QVERIFY2(!phone.isEmpty(), qPrintable(TestMedia::lastError()));
        QVERIFY(QLivePhotoHelper::FileIslivephoto(phone));
        auto gif = probedItem(phone);
        QVERIFY(gif);
        QVERIFY(convertItem(*gif) >= 0);
        QCOMPARE(QImageReader(gif->outputPath).imageCount(), 30);
        chooseOutput("jpeg", "jpg", MMC_CODEC_MJPEG);
        auto jpeg = probedItem(phone);
        QVERIFY(jpeg);
        QCOMPARE(convertItem(*jpeg), 90);
    }

    // A file size limit fails the write as a full disk does: the system's reason comes out.
    void writeFailureTellsTheSystemError()
    {
        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        JobWatcher watcher;
        rlimit before;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool started = startJob(watcher, *item, item->outputPath, nullptr);
        const bool closed = started && watcher.waitClosed();
        setrlimit(RLIMIT_FSIZE, &before);
        QVERIFY(closed);
        QVERIFY(wellFormed(watcher.reports(), convertFailed));
        QCOMPARE(int(watcher.failure.side), int(JobFailure::Output));
        QCOMPARE(watcher.failure.systemError, EFBIG);
    }

    void cutMovieCannotBeRead()
    {
        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        const QString cut = m_media + "/cut.mov";
        QFile::remove(cut);
        QVERIFY(QFile::copy(m_livePhoto, cut));
        QVERIFY(QFile::resize(cut, 100));
        item->path = cut;
        JobWatcher watcher;
        QVERIFY(!startJob(watcher, *item, item->outputPath, nullptr));
        QCOMPARE(int(watcher.converter->Failure().side), int(JobFailure::Source));
    }

    void refusedStillsFailTheJob()
    {
        chooseOutput("png", "png", MMC_CODEC_PNG);
        auto item = probedItem(m_livePhoto);
        QVERIFY(item);
        JobWatcher watcher;
        QVERIFY(startJob(watcher, *item, QString(), &JobWatcher::refuseStill));
        QVERIFY(watcher.waitClosed());
        QVERIFY(wellFormed(watcher.reports(), convertFailed));
        QVERIFY(watcher.writes() >= 1);
    }
};

GLINTORA_TEST_MAIN_CORE(TestConversionRoad)
#include "tst_conversionroad.moc"
