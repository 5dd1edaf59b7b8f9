#include "testhome.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <climits>
#include <cmath>
#include <QTemporaryDir>
#include <thread>

#include "mmc.h"
#include "testmedia.h"

namespace {

// What ffprobe sees: "codec_name,codec_type[,width,height],frames" per stream, then the
// format's duration.
QStringList probe(const QString &path)
{
    QProcess process;
    process.start("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                              "stream=codec_type,codec_name,width,height,nb_read_frames:format=duration", "-of",
                              "csv=p=0", path});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

bool decodesCleanly(const QString &path)
{
    QProcess process;
    process.start("ffmpeg", {"-v", "error", "-nostdin", "-i", path, "-f", "null", "-"});
    process.waitForFinished(60000);
    return process.exitCode() == 0 && process.readAllStandardError().isEmpty();
}

MMC_Handle makeConfig(uint32_t video, uint32_t audio)
{
    const MMC_Handle cfg = MMC_CreateEncodeConfig();
    MMC_ConfigSetVideoCodec(cfg, video);
    MMC_ConfigSetAudioCodec(cfg, audio);
    return cfg;
}

void feed(MMC_Handle track, uint64_t pts, const QByteArray &bytes)
{
    const MMC_Handle packet = MMC_CreatePacket();
    MMC_PacketSetPts(packet, pts);
    MMC_PacketSetDts(packet, pts);
    MMC_PacketSetFlags(packet, 1);
    MMC_PacketSetData(packet, bytes.isNull() ? nullptr : bytes.constData(), uint32_t(bytes.size()));
    MMC_TrackWritePacket(track, packet);
    MMC_ReleasePacket(packet);
}

// Motion-JPEG frames at 25 fps, then the end of the stream; returns the frames.
QByteArrayList feedJpegs(MMC_Handle track, int count)
{
    QByteArrayList frames;
    for (int i = 0; i < count; ++i) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 30, 200, 200));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        image.save(&buffer, "JPG");
        frames << jpeg;
        feed(track, uint64_t(i) * 40000, jpeg);
    }
    feed(track, 0, QByteArray());
    return frames;
}

bool waitUntilFinished(bool (*finished)(MMC_Handle), MMC_Handle h)
{
    for (int polls = 0; polls < 6000 && !finished(h); ++polls)
        QThread::msleep(10);
    return finished(h);
}

bool converterFinished(MMC_Handle h)
{
    return MMC_ConverterIsFinished(h) == 1;
}

bool mergerFinished(MMC_Handle h)
{
    return MMC_MergerIsFinished(h) == 1;
}

// Converts and reports whether the job finished well.
bool convert(const QString &src, const QString &dst, const char *format, MMC_Handle cfg, uint64_t start = 0,
             uint64_t length = 0)
{
    const MMC_Handle conv = MMC_CreateConverter(-1);
    const bool opened = MMC_ConverterOpenFile(conv, src.toUtf8(), dst.toUtf8(), format, cfg) == 1;
    MMC_ReleaseEncodeConfig(cfg);
    const bool ok = opened && MMC_ConverterSetTimeRange(conv, start, length) == 1 && MMC_ConverterStart(conv) == 1
                    && waitUntilFinished(converterFinished, conv) && MMC_ConverterHasFailed(conv) == 0;
    MMC_DestroyConverter(conv);
    return ok;
}

} // namespace

class TestMovieOutputs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_movie;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        TestMedia::LivePhoto spec;
        spec.seconds = 2;
        spec.fps = 25;
        m_movie = TestMedia::livePhoto(m_dir.path(), "lp.mov", spec);
        QVERIFY2(!m_movie.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void writesSoundOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<uint>("codec");
        QTest::addColumn<QString>("stream");
        QTest::newRow("mp3") << "a.mp3" << QByteArray("mp3") << 0x15001u << "mp3,audio";
        QTest::newRow("m4a") << "a.m4a" << QByteArray("mp4") << 0x15002u << "aac,audio";
        QTest::newRow("aac") << "a.aac" << QByteArray("adts") << 0x15002u << "aac,audio";
        QTest::newRow("flac") << "a.flac" << QByteArray("flac") << 0x1500Cu << "flac,audio";
        QTest::newRow("ogg") << "a.ogg" << QByteArray("ogg") << 0x15005u << "vorbis,audio";
        QTest::newRow("wav") << "a.wav" << QByteArray("wav") << 0x10000u << "pcm_s16le,audio";
        QTest::newRow("wma") << "a.wma" << QByteArray("asf") << 0x15008u << "wmav2,audio";
    }

    void writesSoundOnly()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(uint, codec);
        QFETCH(QString, stream);
        QVERIFY(convert(m_movie, path(name), format, makeConfig(0, codec)));
        const QStringList streams = probe(path(name));
        QCOMPARE(streams.size(), 2); // the sound, then the duration: no picture
        QVERIFY2(streams.first().startsWith(stream), qPrintable(streams.join(' ')));
        QVERIFY(qAbs(streams.last().toDouble() - 2.0) < 0.1);
        QVERIFY(decodesCleanly(path(name)));
    }

    void movieKeepsSoundRangeAndChapters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("mp4") << "m.mp4" << QByteArray("mp4");
        QTest::newRow("mkv") << "m.mkv" << QByteArray("matroska");
    }

    void movieKeepsSoundRangeAndChapters()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const MMC_Handle cfg = makeConfig(MMC_CODEC_H264, MMC_CODEC_AAC);
        MMC_ConfigAddChapter(cfg, 0, 400000, "First");
        MMC_ConfigAddChapter(cfg, 400000, 600000, nullptr);
        QVERIFY(convert(m_movie, path(name), format, cfg, 500000, 1000000));
        const QStringList streams = probe(path(name));
        QVERIFY2(streams.value(0).startsWith("h264,video,320,240,"), qPrintable(streams.join(' ')));
        QVERIFY(qAbs(streams.value(0).section(',', 4).toInt() - 25) <= 1);
        QVERIFY2(streams.value(1).startsWith("aac,audio"), qPrintable(streams.join(' ')));
        QVERIFY(qAbs(streams.last().toDouble() - 1.0) < 0.1);

        const MMC_Handle info = MMC_CreateMediaInfo(-1);
        QCOMPARE(MMC_OpenMediaFile(info, path(name).toUtf8()), 1);
        QCOMPARE(MMC_GetChapterCount(info), 2u);
        QCOMPARE(QByteArray(MMC_GetChapterTitle(info, 0)), QByteArray("First"));
        QCOMPARE(MMC_GetChapterStart(info, 1), uint64_t(400000));
        // The mp4 muxer stretches the last chapter to the end of the file.
        QVERIFY(qAbs(int64_t(MMC_GetChapterDuration(info, 1)) - 600000) <= 20000);
        MMC_DestroyMediaInfo(info);
    }

    void copiesFedPacketsUnchanged()
    {
        const MMC_Handle track = MMC_CreateTrack(MMC_TRACK_VIDEO);
        MMC_TrackSetCodec(track, MMC_CODEC_MJPEG);
        MMC_TrackSetVideoSize(track, 64, 48);
        const MMC_Handle cfg = MMC_CreateEncodeConfig();
        MMC_ConfigSetTrackModeA(cfg, 1);
        const MMC_Handle conv = MMC_CreateConverter(-1);
        QCOMPARE(MMC_ConverterOpenTracks(conv, track, 0, 0, path("t.mkv").toUtf8(), "matroska", cfg), 1);
        MMC_ReleaseEncodeConfig(cfg);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        QByteArrayList frames;
        std::thread feeder([&] { frames = feedJpegs(track, 10); });
        feeder.join();
        QVERIFY(waitUntilFinished(converterFinished, conv));
        QCOMPARE(MMC_ConverterHasFailed(conv), 0);
        MMC_DestroyConverter(conv);
        MMC_DestroyTrack(track);

        QProcess process;
        process.start("ffmpeg", {"-v", "error", "-nostdin", "-i", path("t.mkv"), "-c", "copy", "-f", "framemd5", "-"});
        process.waitForFinished(60000);
        QStringList sums;
        for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split('\n'))
            if (!line.startsWith('#') && !line.isEmpty())
                sums << line.section(',', -1).trimmed();
        QCOMPARE(sums.size(), frames.size());
        for (int i = 0; i < frames.size(); ++i)
            QCOMPARE(sums[i], QString(QCryptographicHash::hash(frames[i], QCryptographicHash::Md5).toHex()));
    }

    void encodesFedSoundBesideFedPictures()
    {
        const MMC_Handle video = MMC_CreateTrack(MMC_TRACK_VIDEO);
        MMC_TrackSetCodec(video, MMC_CODEC_MJPEG);
        MMC_TrackSetVideoSize(video, 64, 48);
        const MMC_Handle audio = MMC_CreateTrack(MMC_TRACK_AUDIO);
        MMC_TrackSetCodec(audio, 0x10000); // 16-bit PCM
        MMC_TrackSetSampleRate(audio, 44100);
        MMC_TrackSetChannels(audio, 1);
        const MMC_Handle conv = MMC_CreateConverter(-1);
        const MMC_Handle cfg = makeConfig(MMC_CODEC_H264, MMC_CODEC_AAC);
        QCOMPARE(MMC_ConverterOpenTracks(conv, video, audio, 0, path("fed.mp4").toUtf8(), "mp4", cfg), 1);
        MMC_ReleaseEncodeConfig(cfg);
        QCOMPARE(MMC_ConverterStart(conv), 1);
        std::thread pictures([&] { feedJpegs(video, 10); });
        std::thread sound([&] {
            for (int block = 0; block < 10; ++block) { // 40 ms of a tone each
                QByteArray samples(1764 * 2, Qt::Uninitialized);
                auto *values = reinterpret_cast<int16_t *>(samples.data());
                for (int i = 0; i < 1764; ++i)
                    values[i] = int16_t(8000 * std::sin((block * 1764 + i) * 2 * M_PI * 440 / 44100));
                feed(audio, uint64_t(block) * 40000, samples);
            }
            feed(audio, 0, QByteArray());
        });
        pictures.join();
        sound.join();
        QVERIFY(waitUntilFinished(converterFinished, conv));
        QCOMPARE(MMC_ConverterHasFailed(conv), 0);
        MMC_DestroyConverter(conv);
        MMC_DestroyTrack(video);
        MMC_DestroyTrack(audio);
        const QStringList streams = probe(path("fed.mp4"));
        QVERIFY2(streams.value(0).startsWith("h264,video,64,48,10"), qPrintable(streams.join(' ')));
        QVERIFY2(streams.value(1).startsWith("aac,audio"), qPrintable(streams.join(' ')));
        QVERIFY(decodesCleanly(path("fed.mp4")));
    }

    void mergesSourcesOneAfterTheOther()
    {
        const QString a = TestMedia::encodedClip(m_dir.path(), "a.mp4", "testsrc=size=320x240:rate=25:duration=1",
                                                 {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}, 1);
        const QString b = TestMedia::encodedClip(m_dir.path(), "b.mp4", "testsrc=size=240x320:rate=25:duration=1",
                                                 {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}, 1);
        const QString silent = TestMedia::encodedClip(m_dir.path(), "s.mp4", "testsrc=size=160x120:rate=25:duration=1",
                                                      {"-c:v", "libx264", "-pix_fmt", "yuv420p"});
        QVERIFY(!a.isEmpty() && !b.isEmpty() && !silent.isEmpty());
        const MMC_Handle merger = MMC_CreateMerger(-1);
        const MMC_Handle cfg = makeConfig(MMC_CODEC_H264, MMC_CODEC_AAC);
        QCOMPARE(MMC_MergerOpen(merger, path("merged.mp4").toUtf8(), "mp4", cfg), 1);
        MMC_ReleaseEncodeConfig(cfg);
        QCOMPARE(MMC_MergerStart(merger), 1);
        QCOMPARE(MMC_MergerAddFile(merger, a.toUtf8(), 0, 0, 0), 1);
        QCOMPARE(MMC_MergerAddFile(merger, silent.toUtf8(), 0, 0, 0), 0); // lacks the sound the output has
        QCOMPARE(MMC_MergerAddFile(merger, b.toUtf8(), 0, 0, 0), 1);
        QVERIFY(waitUntilFinished(mergerFinished, merger));
        QCOMPARE(MMC_MergerHasFailed(merger), 0);
        QCOMPARE(MMC_MergerGetDone(merger), MMC_MergerGetTotal(merger));
        QCOMPARE(MMC_MergerCancel(merger), 0); // nothing left to cancel
        MMC_MergerClose(merger);
        char written[PATH_MAX];
        QVERIFY(MMC_MergerGetOutputPath(merger, written, sizeof written) > 0);
        QCOMPARE(QString::fromUtf8(written), path("merged.mp4"));
        MMC_DestroyMerger(merger);
        const QStringList streams = probe(path("merged.mp4"));
        QVERIFY2(streams.value(0).startsWith("h264,video,320,240,50"), qPrintable(streams.join(' ')));
        QVERIFY(qAbs(streams.last().toDouble() - 2.0) < 0.15);
        QVERIFY(decodesCleanly(path("merged.mp4")));
    }

    void unfinishedMergeLeavesNoFile_data()
    {
        QTest::addColumn<bool>("fed");
        QTest::newRow("unfed") << false;
        QTest::newRow("mid-merge") << true;
    }

    void unfinishedMergeLeavesNoFile()
    {
        QFETCH(bool, fed);
        TestMedia::LivePhoto spec;
        spec.width = 1280;
        spec.height = 720;
        spec.seconds = 10;
        spec.audio = false;
        const QString longer = fed ? TestMedia::livePhoto(m_dir.path(), "long.mov", spec) : QString();
        // A link at the destination is neither followed nor removed.
        const QString victim = path(QString("victim-%1").arg(fed));
        const QString destination = path(QString("cancelled-%1.mp4").arg(fed));
        QFile kept(victim);
        QVERIFY(kept.open(QIODevice::WriteOnly) && kept.write("victim") == 6);
        kept.close();
        QVERIFY(QFile::link(victim, destination));
        const MMC_Handle merger = MMC_CreateMerger(-1);
        const MMC_Handle cfg = makeConfig(MMC_CODEC_H264, 0);
        QCOMPARE(MMC_MergerOpen(merger, destination.toUtf8(), "mp4", cfg), 1);
        MMC_ReleaseEncodeConfig(cfg);
        QCOMPARE(MMC_MergerStart(merger), 1);
        if (fed) {
            QCOMPARE(MMC_MergerAddFile(merger, longer.toUtf8(), 0, 0, 0), 1);
            QTRY_VERIFY_WITH_TIMEOUT(MMC_MergerGetDone(merger) > 0, 30000);
        }
        QCOMPARE(MMC_MergerCancel(merger), 1);
        QCOMPARE(MMC_MergerHasFailed(merger), 1);
        QCOMPARE(MMC_MergerIsFinished(merger), 0);
        QCOMPARE(MMC_MergerAddFile(merger, m_movie.toUtf8(), 0, 0, 0), 0);
        MMC_DestroyMerger(merger);
        QVERIFY(QFileInfo(destination).isSymLink());
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "victim");
        QCOMPARE(QDir(m_dir.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
    }

    void discsAreNotRead()
    {
        QCOMPARE(MMC_OpenDvdFolder(MMC_CreateMediaInfo(-1), m_dir.path().toUtf8()), 0);
        QCOMPARE(MMC_ConverterOpenDvd(MMC_CreateConverter(-1), "x", "y", "mp4", 0), 0);
        QCOMPARE(MMC_MergerAddDvd(MMC_CreateMerger(-1), "x", 0, 0, 0), 0);
    }
};

GLINTORA_TEST_MAIN_CORE(TestMovieOutputs)
#include "tst_movieoutputs.moc"
