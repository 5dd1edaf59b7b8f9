#include "fakecodec.h"
#include "jobreports.h"
#include "testhome.h"
#include "zvlpconverter.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using FakeCodec::Poll;

namespace {

unsigned writeNothing(void *, const unsigned char *, unsigned)
{
    return 0;
}

std::vector<Poll> runningForever()
{
    return {Poll{0, 0, 10, 100}};
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Poll>)

class TestConverter : public QObject
{
    Q_OBJECT

private:
    TestHome m_home;

    // Starts a gif job on the movie route and waits for its terminal report.
    std::vector<Report> runGif(const std::vector<Poll> &polls)
    {
        FakeCodec::Script script;
        script.polls = polls;
        FakeCodec::reset(script);
        Reports reports;
        ZVLPConverter converter;
        auto p = param("gif");
        if (!converter.StartConvert("in.mov", "out.gif", p.get(), &reports, &Reports::progress, nullptr,
                                    ImageWriteInfo()))
            return {};
        p.reset(); // the job must work on its own copy
        if (!reports.waitTerminal())
            return {};
        return reports.snapshot();
    }

private slots:
    void init() { FakeCodec::reset(); }

    void progressRisesStrictlyThenOneFinish_data()
    {
        QTest::addColumn<std::vector<Poll>>("polls");
        QTest::addColumn<QList<unsigned>>("expected");

        QTest::newRow("repeats and overshoot")
            << std::vector<Poll>{{0, 0, 0, 100}, {0, 0, 0, 100}, {0, 0, 3, 100}, {0, 0, 3, 100},
                                 {0, 0, 7, 100}, {0, 0, 130, 100}, {1, 0, 130, 100}}
            << QList<unsigned>{3, 7, 100};
        QTest::newRow("finished at the first poll") << std::vector<Poll>{{1, 0, 100, 100}} << QList<unsigned>{};
        QTest::newRow("no total yet")
            << std::vector<Poll>{{0, 0, 5, 0}, {0, 0, 50, 0}, {1, 0, 100, 0}} << QList<unsigned>{};
        QTest::newRow("fractions truncate")
            << std::vector<Poll>{{0, 0, 1, 3}, {0, 0, 2, 3}, {1, 0, 3, 3}} << QList<unsigned>{33, 66};
        QTest::newRow("huge counters")
            << std::vector<Poll>{{0, 0, ~quint64(0), 1}, {1, 0, 0, 1}} << QList<unsigned>{100};
    }

    void progressRisesStrictlyThenOneFinish()
    {
        QFETCH(std::vector<Poll>, polls);
        QFETCH(QList<unsigned>, expected);

        const std::vector<Report> reports = runGif(polls);
        QVERIFY(!reports.empty());
        QList<unsigned> progress;
        for (size_t i = 0; i + 1 < reports.size(); ++i) {
            QCOMPARE(reports[i].second, convertProgress);
            progress << reports[i].first;
        }
        QCOMPARE(progress, expected);
        QCOMPARE(reports.back(), Report(100, convertFinished));
    }

    void failureIsReportedOnceAsFailed_data()
    {
        QTest::addColumn<std::vector<Poll>>("polls");

        QTest::newRow("failed without finishing") << std::vector<Poll>{{0, 0, 10, 100}, {0, 1, 20, 100}};
        QTest::newRow("finished but failed") << std::vector<Poll>{{0, 0, 10, 100}, {1, 1, 100, 100}};
    }

    void failureIsReportedOnceAsFailed()
    {
        QFETCH(std::vector<Poll>, polls);
        const std::vector<Report> reports = runGif(polls);
        QVERIFY(!reports.empty());
        QCOMPARE(reports.back(), Report(0, convertFailed));
        for (size_t i = 0; i + 1 < reports.size(); ++i)
            QCOMPARE(reports[i].second, convertProgress);
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void stopMidRunReportsOnceAndReturns_data()
    {
        QTest::addColumn<int>("cancelReport");
        QTest::newRow("cancel reported as failure") << int(FakeCodec::CancelReport::Failed);
        QTest::newRow("cancel reported as finish") << int(FakeCodec::CancelReport::Finished);
    }

    void stopMidRunReportsOnceAndReturns()
    {
        QFETCH(int, cancelReport);
        FakeCodec::Script script;
        script.polls = runningForever();
        script.cancelReport = FakeCodec::CancelReport(cancelReport);
        FakeCodec::reset(script);

        // A file at the destination that the stopped job never wrote is not the job's.
        const QString output = m_home.path() + "/placed.gif";
        QFile placed(output);
        QVERIFY(placed.open(QIODevice::WriteOnly) && placed.write("mine") == 4);
        placed.close();

        Reports reports;
        auto converter = std::make_unique<ZVLPConverter>();
        auto p = param("gif");
        QVERIFY(converter->StartConvert("in.mov", output.toUtf8().constData(), p.get(), &reports,
                                        &Reports::progress, nullptr, ImageWriteInfo()));
        QVERIFY(returnsInTime([&] { converter->StopConvert(); }));
        QCOMPARE(reports.snapshot().back(), Report(0, convertStopped));
        QCOMPARE(reports.terminalCount(), 1);
        QCOMPARE(FakeCodec::cancelCount(), 1);
        QVERIFY(placed.open(QIODevice::ReadOnly) && placed.readAll() == "mine");

        QVERIFY(returnsInTime([&] { converter->StopConvert(); })); // idempotent
        QVERIFY(returnsInTime([&] { converter.reset(); }));
        QCOMPARE(reports.terminalCount(), 1);
        QCOMPARE(FakeCodec::cancelCount(), 1);
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void aRunningJobRefusesASecondStart()
    {
        FakeCodec::Script script;
        script.polls = runningForever();
        FakeCodec::reset(script);
        Reports reports;
        ZVLPConverter converter;
        auto p = param("gif");
        QVERIFY(converter.StartConvert("in.mov", "out.gif", p.get(), &reports, &Reports::progress, nullptr,
                                       ImageWriteInfo()));
        QVERIFY(!converter.StartConvert("other.mov", "other.gif", p.get(), &reports, &Reports::progress, nullptr,
                                        ImageWriteInfo()));
        QCOMPARE(FakeCodec::callsStartingWith("CreateConverter").size(), 1);
        QVERIFY(returnsInTime([&] { converter.StopConvert(); }));
        QCOMPARE(reports.terminalCount(), 1);
    }

    void stopAfterFinishChangesNothing()
    {
        Reports reports;
        ZVLPConverter converter;
        auto p = param("gif");
        QVERIFY(converter.StartConvert("in.mov", "out.gif", p.get(), &reports, &Reports::progress, nullptr,
                                       ImageWriteInfo()));
        QVERIFY(reports.waitTerminal());
        QVERIFY(returnsInTime([&] { converter.StopConvert(); }));
        QCOMPARE(reports.snapshot(), std::vector<Report>{Report(100, convertFinished)});
        QCOMPARE(FakeCodec::cancelCount(), 0);
    }

    void deleteRightAfterTheTerminalReport()
    {
        for (int i = 0; i < 1000; ++i) {
            FakeCodec::reset();
            Reports reports;
            auto *converter = new ZVLPConverter;
            auto p = param("gif");
            QVERIFY(converter->StartConvert("in.mov", "out.gif", p.get(), &reports, &Reports::progress, nullptr,
                                            ImageWriteInfo()));
            QVERIFY(reports.waitTerminal());
            delete converter;
        }
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void refusedStartsReportNothing_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("withSource");
        QTest::addColumn<bool>("withDestination");
        QTest::addColumn<bool>("withWriter");
        QTest::addColumn<bool>("withParam");

        QTest::newRow("no parameters") << QByteArray("gif") << true << true << false << false;
        QTest::newRow("no source") << QByteArray("gif") << false << true << false << true;
        QTest::newRow("file route without destination") << QByteArray("gif") << true << false << false << true;
        QTest::newRow("still route without writer") << QByteArray("png") << true << true << false << true;
    }

    void refusedStartsReportNothing()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, withSource);
        QFETCH(bool, withDestination);
        QFETCH(bool, withWriter);
        QFETCH(bool, withParam);

        Reports reports;
        {
            ZVLPConverter converter;
            auto p = param(format.constData());
            QVERIFY(!converter.StartConvert(withSource ? "in.mov" : nullptr, withDestination ? "out" : nullptr,
                                            withParam ? p.get() : nullptr, &reports, &Reports::progress,
                                            withWriter ? &writeNothing : nullptr, ImageWriteInfo()));
        }
        QVERIFY(FakeCodec::callsStartingWith("CreateConverter").isEmpty());
        QVERIFY(reports.snapshot().empty());
    }

    void failedStartCleansUpAndNeverWaits_data()
    {
        QTest::addColumn<int>("openResult");
        QTest::addColumn<int>("startResult");
        QTest::addColumn<bool>("createFails");

        QTest::newRow("no converter") << 1 << 1 << true;
        QTest::newRow("open fails") << 0 << 1 << false;
        QTest::newRow("start fails") << 1 << 0 << false;
    }

    void failedStartCleansUpAndNeverWaits()
    {
        QFETCH(int, openResult);
        QFETCH(int, startResult);
        QFETCH(bool, createFails);
        FakeCodec::Script script;
        script.openResult = openResult;
        script.startResult = startResult;
        script.createConverterFails = createFails;
        FakeCodec::reset(script);

        Reports reports;
        auto converter = std::make_unique<ZVLPConverter>();
        auto p = param("gif");
        QVERIFY(!converter->StartConvert("in.mov", "out.gif", p.get(), &reports, &Reports::progress, nullptr,
                                         ImageWriteInfo()));
        QCOMPARE(FakeCodec::liveHandles(), 0);
        QVERIFY(returnsInTime([&] { converter->StopConvert(); }));
        QVERIFY(returnsInTime([&] { converter.reset(); }));
        QVERIFY(reports.snapshot().empty());
    }

    void routeFollowsTheExactFormatName_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("open");

        QTest::newRow("png") << QByteArray("png") << "ConverterOpenImage";
        QTest::newRow("jpeg") << QByteArray("jpeg") << "ConverterOpenImage";
        QTest::newRow("bmp") << QByteArray("bmp") << "ConverterOpenImage";
        QTest::newRow("tiff") << QByteArray("tiff") << "ConverterOpenImage";
        QTest::newRow("PNG in upper case") << QByteArray("PNG") << "ConverterOpenFile";
        QTest::newRow("gif") << QByteArray("gif") << "ConverterOpenFile";
        QTest::newRow("webp") << QByteArray("webp") << "ConverterOpenFile";
    }

    void routeFollowsTheExactFormatName()
    {
        QFETCH(QByteArray, format);
        QFETCH(QString, open);

        Reports reports;
        ZVLPConverter converter;
        auto p = param(format.constData());
        p->rangeStart = 5;
        p->rangeLength = 7;
        QVERIFY(converter.StartConvert("in.mov", "out", p.get(), &reports, &Reports::progress, &writeNothing,
                                       ImageWriteInfo()));
        QVERIFY(reports.waitTerminal());
        QCOMPARE(FakeCodec::callsStartingWith("ConverterOpen").size(), 1);
        QVERIFY(FakeCodec::callsStartingWith(open).size() == 1);
        if (open == "ConverterOpenImage") {
            // The movie itself is opened as the image source, then image and writer closed.
            QCOMPARE(FakeCodec::callsStartingWith("ImageOpen in.mov 0").size(), 1);
            QCOMPARE(FakeCodec::callsStartingWith("ImageSetWriteCallback").size(), 1);
            QVERIFY(FakeCodec::callsStartingWith("ConverterSetTimeRange").isEmpty());
        } else {
            QCOMPARE(FakeCodec::callsStartingWith("ConverterSetTimeRange"), QStringList{"ConverterSetTimeRange 5 7"});
        }
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void stillSourceToOneFileKeysTheImage()
    {
        Reports reports;
        ZVLPConverter converter;
        auto p = param("png");
        p->imageKey = 424242;
        QVERIFY(converter.StartConvert("frame.jpg", "still.png", p.get(), &reports, &Reports::progress));
        QVERIFY(reports.waitTerminal());
        QCOMPARE(FakeCodec::callsStartingWith("ImageSetKey").size(), 1);
        QVERIFY(FakeCodec::callsStartingWith("ImageSetKey").first().endsWith(" 424242"));
        QCOMPARE(FakeCodec::callsStartingWith("ConverterOpenImageFile").size(), 1);
    }

    void encoderSettings_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QStringList>("expected");

        const QStringList audioDefaults{"Config AudioChannels 2", "Config SampleRate 44100"};
        QTest::newRow("gif from the queue item")
            << 0
            << (QStringList{"Config VideoCodec 98", "Config AudioCodec 4294967295", "Config FrameRate 10 1"}
                + audioDefaults
                + QStringList{"Config VideoOption 80", "Config OptionFlag 0", "Config BlobOption iccp_data null 0",
                              "Config IndexedOption 1 0x1800320", "Config IntOption 0"});
        QTest::newRow("h264 with everything")
            << 1
            << QStringList{"Config VideoCodec 28", "Config AudioCodec 86018", "Config CodecMode 2",
                           "Config Profile 66", "Config AudioEncoderName aac", "Config VideoSize 640 480",
                           "Config FrameRate 2997 100", "Config VideoBitrate 2000000", "Config AudioChannels 1",
                           "Config SampleRate 48000", "Config AudioBitrate 128000", "Config VideoOption 90",
                           "Config OptionFlag 3", "Config BlobOption iccp_data null 0",
                           "Config BlobOption exif_data null 0", "Config UIntOption 2"};
        QTest::newRow("h265, size given once")
            << 2
            << (QStringList{"Config VideoCodec 1211250229", "Config AudioCodec 0", "Config CodecMode 2",
                            "Config Profile 1"}
                + audioDefaults
                + QStringList{"Config VideoOption 0", "Config OptionFlag 0", "Config BlobOption iccp_data null 0",
                              "Config IntOption 0"});
        QTest::newRow("alternative engine") << 3 << QStringList{};
    }

    void encoderSettings()
    {
        QFETCH(int, variant);
        QFETCH(QStringList, expected);

        CAVEncodeParam p;
        p.ClearForBuild();
        switch (variant) {
        case 0:
            p.videoCodec = 98;
            p.audioCodec = 0xFFFFFFFF;
            p.frameRateNum = 10;
            p.frameRateDen = 1;
            p.quality = 80;
            p.scaleOptionOn = 1;
            p.scaleOptionValue = 0x01800320;
            break;
        case 1:
            p.videoCodec = 28;
            p.audioCodec = 0x15002;
            p.width = 640;
            p.height = 480;
            p.frameRate100 = 2997;
            p.frameRateNum = 30;
            p.videoBitrate = 2000;
            p.channels = 1;
            p.sampleRate = 48000;
            p.audioBitrate = 128;
            p.quality = 90;
            p.optionFlag = 3;
            p.metaInfo.keepExif = true;
            p.dvdTitle = -1;
            p.optionUInt = 2;
            break;
        case 2:
            p.videoCodec = 0x48323635;
            p.width = 640;
            break;
        default:
            p.altEngine = true;
            break;
        }
        ZVLPConverter::SetConvertConfig(7, &p);
        QCOMPARE(FakeCodec::callsStartingWith("Config"), expected);
    }

    void packetTimesBecomeMicroseconds_data()
    {
        QTest::addColumn<quint64>("pts");
        QTest::addColumn<quint32>("duration");
        QTest::addColumn<quint32>("timescale");
        QTest::addColumn<quint64>("ptsUs");
        QTest::addColumn<quint32>("durationUs");

        QTest::newRow("90 kHz") << quint64(90000) << quint32(5000) << quint32(90000) << quint64(1000000)
                                << quint32(55555);
        QTest::newRow("frame numbers at 25") << quint64(3) << quint32(0) << quint32(25) << quint64(120000)
                                             << quint32(0);
        QTest::newRow("no overflow before 2^44")
            << (quint64(1) << 40) << quint32(1) << quint32(1000000) << (quint64(1) << 40) << quint32(1);
    }

    void packetTimesBecomeMicroseconds()
    {
        QFETCH(quint64, pts);
        QFETCH(quint32, duration);
        QFETCH(quint32, timescale);
        QFETCH(quint64, ptsUs);
        QFETCH(quint32, durationUs);

        ZVLPConverter converter;
        CTrackDesc desc;
        QCOMPARE(converter.AddTrack(1, 8, &desc), 1u);
        CTrackPacket packet;
        packet.pts = packet.dts = pts;
        packet.duration = duration;
        packet.timescale = timescale;
        packet.flags = 1;
        const unsigned char bytes[3] = {1, 2, 3};
        packet.data = bytes;
        packet.size = 3;
        QVERIFY(converter.AddPacketToTrack(1, &packet));
        const auto written = FakeCodec::packets();
        QCOMPARE(written.size(), size_t(1));
        QCOMPARE(written[0].pts, ptsUs);
        QCOMPARE(written[0].dts, ptsUs);
        QCOMPARE(written[0].duration, durationUs);
        QCOMPARE(written[0].flags, 1u);
        QCOMPARE(written[0].size, 3u);
    }

    void packetsThatCannotBeTimedOrPlacedAreRefused()
    {
        ZVLPConverter converter;
        CTrackDesc desc;
        converter.AddTrack(1, 8, &desc);
        CTrackPacket packet;
        packet.timescale = 25;
        QVERIFY(!converter.AddPacketToTrack(2, &packet));
        QVERIFY(!converter.AddPacketToTrack(1, nullptr));
        packet.timescale = 0;
        QVERIFY(!converter.AddPacketToTrack(1, &packet));
        QVERIFY(FakeCodec::packets().empty());
    }

    void tracksAreDescribedByType()
    {
        ZVLPConverter converter;
        CTrackDesc desc;
        desc.width = 320;
        desc.height = 240;
        desc.aspectX = 2;
        desc.aspectY = 1;
        desc.sampleRate = 48000;
        desc.channels = 2;
        converter.AddTrack(1, 1, 8, &desc);
        converter.AddTrack(2, 2, 0x15002, &desc);
        converter.AddTrack(3, 8, 0, &desc);
        converter.AddTrack(4, 3, 0, &desc); // no such type
        converter.AddTrack(5, 1, 8, nullptr);
        QCOMPARE(FakeCodec::callsStartingWith("CreateTrack").size(), 3);
        QCOMPARE(converter.GetTracksInfoOfType(2)->id, 2u);
        QVERIFY(!converter.GetTracksInfoOfType(3));
        const QStringList calls = FakeCodec::calls();
        QVERIFY(calls.filter(QRegularExpression("DisplaySize 640 240$")).size() == 1);
        QVERIFY(calls.filter(QRegularExpression("SampleRate 48000$")).size() == 1);
        QVERIFY(calls.filter(QRegularExpression("TimeBase 1000 1$")).size() == 1);
        converter.ReleaseAllTracks();
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void trackRouteEndsStreamsAndReportsTime()
    {
        FakeCodec::Script script;
        script.polls = {Poll{0, 0, 50, 100}, Poll{1, 0, 100, 100}};
        script.trackTime = 2500000;
        FakeCodec::reset(script);

        Reports reports;
        ZVLPConverter converter;
        CTrackDesc desc;
        converter.AddTrack(1, 2, 0x15002, &desc); // audio first: the video must still be chosen
        converter.AddTrack(2, 1, 8, &desc);
        converter.StopWithTrack();
        const auto ends = FakeCodec::packets();
        QCOMPARE(ends.size(), size_t(2));
        QCOMPARE(ends[0].size, 0u);

        const QString video = QString::number(converter.GetTracksInfoOfType(1)->handle);
        const QString audio = QString::number(converter.GetTracksInfoOfType(2)->handle);
        auto p = param("gif");
        QVERIFY(converter.StartWithTrack("out.gif", p.get(), &reports, &Reports::progress, &Reports::time, nullptr,
                                         ImageWriteInfo()));
        p.reset();
        QVERIFY(reports.waitTerminal());
        const QStringList open = FakeCodec::callsStartingWith("ConverterOpenTracks ");
        QCOMPARE(open.size(), 1);
        const QStringList handles = open.first().split(' ');
        QCOMPARE(handles.mid(1, 3), (QStringList{video, audio, "0"}));
        QCOMPARE(reports.snapshot().back(), Report(100, convertFinished));
        std::lock_guard<std::mutex> lock(reports.mutex);
        QCOMPARE(reports.seconds, std::vector<unsigned>{2});
    }

    void shortTrackStartWritesOneFileWithoutTimes()
    {
        Reports reports;
        ZVLPConverter converter;
        CTrackDesc desc;
        converter.AddTrack(1, 8, &desc);
        FakeCodec::script().trackTime = 2000000;
        auto p = param("png");
        QVERIFY(converter.StartWithTrack("one.png", p.get(), &reports, &Reports::progress, &Reports::time));
        p.reset();
        QVERIFY(reports.waitTerminal());
        QCOMPARE(FakeCodec::callsStartingWith("ConverterOpenTracks ").value(0).section(' ', 4), QString("one.png png"));
        QCOMPARE(reports.snapshot().back(), Report(100, convertFinished));
        std::lock_guard<std::mutex> lock(reports.mutex);
        QVERIFY(reports.seconds.empty());
    }

    void trackRouteNeedsExactlyOne_data()
    {
        QTest::addColumn<int>("openResult");
        QTest::addColumn<int>("startResult");
        QTest::newRow("open gives 2") << 2 << 1;
        QTest::newRow("start gives 2") << 1 << 2;
    }

    void trackRouteNeedsExactlyOne()
    {
        QFETCH(int, openResult);
        QFETCH(int, startResult);
        FakeCodec::Script script;
        script.openResult = openResult;
        script.startResult = startResult;
        FakeCodec::reset(script);

        Reports reports;
        {
            ZVLPConverter converter;
            CTrackDesc desc;
            converter.AddTrack(1, 8, &desc);
            auto p = param("png");
            QVERIFY(!converter.StartWithTrack(nullptr, p.get(), &reports, &Reports::progress, nullptr, &writeNothing,
                                              ImageWriteInfo()));
        }
        QCOMPARE(FakeCodec::liveHandles(), 0);
        QVERIFY(reports.snapshot().empty());
    }
};

GLINTORA_TEST_MAIN_CORE(TestConverter)
#include "tst_zvlpconverter.moc"
