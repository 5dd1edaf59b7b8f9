#include "testhome.h"

#include <atomic>
#include <thread>

#include "mmc.h"
#include "testmedia.h"

namespace {

// Opens a probe handle for the life of a test step.
class Probe
{
public:
    explicit Probe(const QString &path) : m_handle(MMC_CreateMediaInfo(-1))
    {
        m_opened = MMC_OpenMediaFile(m_handle, path.toUtf8().constData()) != 0;
    }
    ~Probe()
    {
        MMC_CloseMedia(m_handle);
        MMC_DestroyMediaInfo(m_handle);
    }
    MMC_Handle handle() const { return m_handle; }
    bool opened() const { return m_opened; }

private:
    MMC_Handle m_handle;
    bool m_opened = false;
};

QString text(const char *value)
{
    return QString::fromUtf8(value ? value : "");
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 le32(const unsigned char *data)
{
    return data[0] | data[1] << 8 | data[2] << 16 | quint32(data[3]) << 24;
}

// The grabbed frame as an image; the BMP's own header gives its length.
QImage grab(MMC_Handle h, quint64 t, quint32 width, quint32 height, QByteArray *raw = nullptr)
{
    unsigned char *bmp = MMC_GrabFrameImage(h, t, 1, width, height, 0);
    if (!bmp)
        return {};
    const QByteArray bytes(reinterpret_cast<const char *>(bmp), int(le32(bmp + 2)));
    MMC_FreeFrameImage(h, bmp);
    if (raw)
        *raw = bytes;
    return QImage::fromData(bytes, "BMP");
}

} // namespace

class TestMediaInfo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_live;
    QString m_portrait;
    QString m_android;
    QString m_cover;
    QString m_coverPicture;
    QString m_multi;
    QString m_chapters;
    QString m_still;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString folder = m_dir.path();
        m_live = TestMedia::livePhoto(folder, "lp.mov");
        TestMedia::LivePhoto portrait;
        portrait.codec = TestMedia::Codec::Hevc;
        portrait.width = 480;
        portrait.height = 360;
        portrait.seconds = 2;
        portrait.portrait = true;
        m_portrait = TestMedia::livePhoto(folder, "portrait.mov", portrait);
        TestMedia::LivePhoto android;
        android.android = true;
        android.seconds = 1;
        m_android = TestMedia::livePhoto(folder, "android.mp4", android);
        m_cover = TestMedia::coverArtMovie(folder, "cover.mp4", &m_coverPicture);
        m_multi = TestMedia::multiTrackMovie(folder, "multi.mkv");
        m_chapters = TestMedia::chapterMovie(folder, "chapters.mp4");
        m_still = TestMedia::still(folder, "still.png", 200, 100);
        for (const QString &path : {m_live, m_portrait, m_android, m_cover, m_multi, m_chapters, m_still})
            QVERIFY2(!path.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void describesMovies_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<bool>("audio");
        QTest::newRow("live photo") << "lp.mov" << "MP4" << 320 << 240 << qint64(3000000) << true;
        QTest::newRow("portrait hevc") << "portrait.mov" << "MP4" << 360 << 480 << qint64(2000000) << true;
        QTest::newRow("android") << "android.mp4" << "MP4" << 320 << 240 << qint64(1000000) << true;
        QTest::newRow("cover art is no video") << "cover.mp4" << "MP4" << 320 << 240 << qint64(1000000) << false;
        QTest::newRow("matroska") << "multi.mkv" << "MATROSKA" << 320 << 240 << qint64(3000000) << true;
        QTest::newRow("still") << "still.png" << "PNG_PIPE" << 200 << 100 << qint64(-1) << false;
    }

    void describesMovies()
    {
        QFETCH(QString, file);
        QFETCH(QString, format);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qint64, duration);
        QFETCH(bool, audio);
        Probe probe(m_dir.filePath(file));
        QVERIFY(probe.opened());
        QCOMPARE(text(MMC_GetFormatName(probe.handle())), format);
        QCOMPARE(MMC_GetVideoWidth(probe.handle()), uint32_t(width));
        QCOMPARE(MMC_GetVideoHeight(probe.handle()), uint32_t(height));
        QCOMPARE(MMC_MediaHasVideo(probe.handle()), 1);
        QCOMPARE(MMC_MediaHasAudio(probe.handle()), audio ? 1 : 0);
        if (duration >= 0) {
            const qint64 measured = qint64(MMC_GetMediaDuration(probe.handle()));
            QVERIFY2(qAbs(measured - duration) <= 1000000 / 30 + 30000, qPrintable(QString::number(measured)));
        }
    }

    void readsTagsAndCover()
    {
        Probe cover(m_cover);
        QVERIFY(cover.opened());
        QCOMPARE(text(MMC_GetMediaTag(cover.handle(), "title")), QString("Cover Test"));
        QCOMPARE(text(MMC_GetMediaTag(cover.handle(), "ARTIST")), QString("Glintora"));
        QCOMPARE(text(MMC_GetMediaTag(cover.handle(), "year")), QString("2021"));
        QVERIFY(!MMC_GetMediaTag(cover.handle(), "thumbnail_index"));
        const auto *blob = reinterpret_cast<const MMC_Blob *>(MMC_GetMediaTag(cover.handle(), "cover_image"));
        QVERIFY(blob);
        const QByteArray picture = fileBytes(m_coverPicture);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(blob->data), int(blob->size)), picture);

        Probe live(m_live);
        QVERIFY(!MMC_GetMediaTag(live.handle(), "cover_image"));
        QCOMPARE(text(MMC_GetMediaTag(live.handle(), "com.apple.quicktime.content.identifier")),
                 QString(TestMedia::kContentIdentifier));
    }

    void listsTracksInContainerOrder()
    {
        Probe probe(m_multi);
        QCOMPARE(MMC_GetAudioTrackCount(probe.handle()), 2);
        QCOMPARE(MMC_SelectAudioTrack(probe.handle(), 0), 1);
        QCOMPARE(text(MMC_GetAudioTrackLanguage(probe.handle())), QString("eng"));
        QCOMPARE(text(MMC_GetAudioTrackTitle(probe.handle())), QString());
        QCOMPARE(text(MMC_GetAudioCodecName(probe.handle())), QString("aac"));
        QCOMPARE(MMC_GetAudioInfo1(probe.handle()), 44100u);
        QCOMPARE(MMC_SelectAudioTrack(probe.handle(), 1), 1);
        QCOMPARE(text(MMC_GetAudioTrackLanguage(probe.handle())), QString("fre"));
        QCOMPARE(text(MMC_GetAudioTrackTitle(probe.handle())), QString("Director"));
        QCOMPARE(MMC_SelectAudioTrack(probe.handle(), 2), 0);
        QCOMPARE(text(MMC_GetAudioTrackTitle(probe.handle())), QString("Director"));

        QCOMPARE(MMC_GetSubtitleTrackCount(probe.handle()), 1);
        QCOMPARE(MMC_SelectSubtitleTrack(probe.handle(), 0), 1);
        QCOMPARE(text(MMC_GetSubtitleTrackLanguage(probe.handle())), QString("eng"));
        QCOMPARE(text(MMC_GetSubtitleTrackTitle(probe.handle())), QString("Forced"));
        QCOMPARE(text(MMC_GetSubtitleCodecName(probe.handle())), QString("subrip"));

        // An mp4 sound track names its handler, which is no title.
        Probe live(m_live);
        QCOMPARE(MMC_GetAudioTrackCount(live.handle()), 1);
        QCOMPARE(text(MMC_GetAudioTrackTitle(live.handle())), QString());
    }

    void readsChaptersAndVideoFacts()
    {
        Probe probe(m_chapters);
        QCOMPARE(MMC_GetChapterCount(probe.handle()), 2u);
        QCOMPARE(MMC_GetChapterStart(probe.handle(), 1), uint64_t(1000000));
        QCOMPARE(MMC_GetChapterDuration(probe.handle(), 1), uint64_t(2000000));
        QCOMPARE(text(MMC_GetChapterTitle(probe.handle(), 0)), QString("Intro"));
        QVERIFY(!MMC_GetChapterTitle(probe.handle(), 2));

        Probe portrait(m_portrait);
        QCOMPARE(MMC_GetVideoInfo0(portrait.handle()), uint32_t(MMC_CODEC_HEVC));
        QCOMPARE(MMC_GetVideoInfo4(portrait.handle()), 3u);
        QCOMPARE(MMC_GetVideoInfo5(portrait.handle()), 4u);
        QCOMPARE(MMC_GetVideoRatioNum(portrait.handle()) * 1.0 / MMC_GetVideoRatioDen(portrait.handle()), 30.0);
    }

    void grabsFramesAsBmp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<quint64>("time");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("native") << "lp.mov" << quint64(0) << 0 << 0 << QSize(320, 240);
        QTest::newRow("thumbnail size") << "lp.mov" << quint64(0) << 120 << 68 << QSize(120, 68);
        QTest::newRow("middle") << "lp.mov" << quint64(1500000) << 0 << 0 << QSize(320, 240);
        QTest::newRow("past the end gives the last frame") << "lp.mov" << quint64(10000000) << 0 << 0 << QSize(320, 240);
        QTest::newRow("portrait upright") << "portrait.mov" << quint64(0) << 0 << 0 << QSize(360, 480);
        QTest::newRow("still") << "still.png" << quint64(0) << 0 << 0 << QSize(200, 100);
        QTest::newRow("cover art movie") << "cover.mp4" << quint64(0) << 0 << 0 << QSize(320, 240);
    }

    void grabsFramesAsBmp()
    {
        QFETCH(QString, file);
        QFETCH(quint64, time);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QSize, expected);
        Probe probe(m_dir.filePath(file));
        QByteArray raw;
        const QImage image = grab(probe.handle(), time, uint32_t(width), uint32_t(height), &raw);
        QCOMPARE(image.size(), expected);
        QVERIFY(raw.startsWith("BM"));
        const int rowBytes = (expected.width() * 3 + 3) / 4 * 4;
        QCOMPARE(raw.size(), 54 + rowBytes * expected.height());
    }

    void grabsAgainAfterAGrab()
    {
        Probe probe(m_live);
        const QImage late = grab(probe.handle(), 2000000, 0, 0);
        const QImage early = grab(probe.handle(), 0, 0, 0);
        const QImage earlyAgain = grab(probe.handle(), 0, 0, 0);
        QVERIFY(!late.isNull());
        QCOMPARE(early, earlyAgain);
        QVERIFY(early != late);
    }

    void portraitFrameIsUpright()
    {
        // The ffmpeg tool turns rotated movies upright on its own; our frame must match it.
        const QString reference = m_dir.filePath("portrait-reference.png");
        QVERIFY(TestMedia::runFfmpeg({"-i", m_portrait, "-frames:v", "1", reference}));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB888);
        Probe probe(m_portrait);
        const QImage turned = grab(probe.handle(), 0, 0, 0).convertToFormat(QImage::Format_RGB888);
        QCOMPARE(turned.size(), expected.size());
        qint64 difference = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb a = expected.pixel(x, y);
                const QRgb b = turned.pixel(x, y);
                difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
            }
        const double mean = double(difference) / (expected.width() * expected.height() * 3);
        QVERIFY2(mean < 4.0, qPrintable(QString::number(mean)));
    }

    void failsOnBrokenInputs_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("zero bytes") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("just some words, no pictures\n") << true;
        QTest::newRow("truncated movie") << fileBytes(m_live).left(2000) << true;
        QTest::newRow("only the header of a webp") << QByteArray("RIFF\xff\xff\xff\x7fWEBPVP8X\x0a\0\0\0\x02\0\0\0", 24) << true;
        QByteArray hugeBox("\0\0\0\x18" "ftypisom\0\0\0\0isom\xff\xff\xff\xf0moov", 28);
        QTest::newRow("box larger than file") << hugeBox << true;
    }

    void failsOnBrokenInputs()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        const QString path = m_dir.filePath(QString("broken-%1.mov").arg(QTest::currentDataTag()));
        if (create) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        Probe probe(path);
        if (probe.opened()) {
            // A file libavformat still accepts must at least yield nothing from its video.
            QCOMPARE(MMC_MediaHasVideo(probe.handle()), 0);
        }
        QVERIFY(!MMC_GrabFrameImage(probe.handle(), 0, 1, 0, 0, 0));
    }

    void truncatedMovieFailsToOpen()
    {
        const QString path = m_dir.filePath("cut.mov");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fileBytes(m_live).left(4000));
        file.close();
        Probe probe(path);
        QVERIFY(!probe.opened());
        QCOMPARE(MMC_GetVideoWidth(probe.handle()), 0u);
        QVERIFY(!MMC_GetFormatName(probe.handle()));
    }

    void opensAwkwardPaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("percent") << "100%_a.png";
        QTest::newRow("pattern lookalike") << "x%d.jpg";
        QTest::newRow("non-ascii") << QString::fromUtf8("фото 日本 é.png");
        QTest::newRow("colon") << "a:b.png";
    }

    void opensAwkwardPaths()
    {
        QFETCH(QString, name);
        const QString path = TestMedia::still(m_dir.path(), name, 64, 48);
        QVERIFY2(!path.isEmpty(), qPrintable(TestMedia::lastError()));
        Probe probe(path);
        QVERIFY(probe.opened());
        QCOMPARE(grab(probe.handle(), 0, 0, 0).size(), QSize(64, 48));
    }

    void staleAndForeignHandlesFail()
    {
        const MMC_Handle h = MMC_CreateMediaInfo(-1);
        QVERIFY(h != 0);
        QCOMPARE(MMC_OpenMediaFile(h, m_live.toUtf8().constData()), 1);
        MMC_DestroyMediaInfo(h);
        QCOMPARE(MMC_GetVideoWidth(h), 0u);
        QCOMPARE(MMC_OpenMediaFile(h, m_live.toUtf8().constData()), 0);
        MMC_CloseMedia(h);
        MMC_DestroyMediaInfo(h);

        const MMC_Handle config = MMC_CreateEncodeConfig();
        QCOMPARE(MMC_OpenMediaFile(config, m_live.toUtf8().constData()), 0);
        QCOMPARE(MMC_ConfigSetVideoCodec(h, 8), 0);
        MMC_ReleaseEncodeConfig(config);
        QCOMPARE(MMC_OpenMediaFile(0, m_live.toUtf8().constData()), 0);
        QCOMPARE(MMC_OpenDvdFolder(MMC_CreateMediaInfo(-1), m_dir.path().toUtf8().constData()), 0);
    }

    void abortFlagStopsOpens()
    {
        MMC_SetAbortFlag(1);
        Probe aborted(m_live);
        MMC_SetAbortFlag(0);
        QVERIFY(!aborted.opened());
        Probe again(m_live);
        QVERIFY(again.opened());
    }

    void probesFromManyThreads()
    {
        const QStringList files{m_live, m_portrait, m_cover, m_multi, m_still, m_android, m_chapters, m_live};
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        for (const QString &file : files) {
            const QByteArray path = file.toUtf8();
            threads.emplace_back([path, &failures] {
                for (int round = 0; round < 4; ++round) {
                    const MMC_Handle h = MMC_CreateMediaInfo(-1);
                    unsigned char *bmp = nullptr;
                    const bool ok = MMC_OpenMediaFile(h, path.constData()) && MMC_GetVideoWidth(h) > 0
                                    && MMC_GetFormatName(h) && (bmp = MMC_GrabFrameImage(h, 0, 1, 120, 90, 0));
                    MMC_FreeFrameImage(h, bmp);
                    MMC_CloseMedia(h);
                    MMC_DestroyMediaInfo(h);
                    failures += ok ? 0 : 1;
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(failures.load(), 0);
    }

    void closeFromAnotherThreadDuringGrab()
    {
        for (int round = 0; round < 5; ++round) {
            const MMC_Handle h = MMC_CreateMediaInfo(-1);
            QCOMPARE(MMC_OpenMediaFile(h, m_portrait.toUtf8().constData()), 1);
            std::thread grabber([h] { MMC_FreeFrameImage(h, MMC_GrabFrameImage(h, 1900000, 1, 0, 0, 0)); });
            MMC_CloseMedia(h);
            grabber.join();
            QCOMPARE(MMC_GetVideoWidth(h), 0u);
            MMC_DestroyMediaInfo(h);
        }
    }
};

GLINTORA_TEST_MAIN_CORE(TestMediaInfo)
#include "tst_mediainfo.moc"
