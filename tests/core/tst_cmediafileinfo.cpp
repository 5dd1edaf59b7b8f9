#include "cmediafileinfo.h"
#include "fakecodec.h"
#include "testhome.h"

#include <QtTest>

class TestMediaFileInfo : public QObject
{
    Q_OBJECT

private slots:
    void init() { FakeCodec::reset(); }

    void ratioIsZeroWithoutAValue_data()
    {
        QTest::addColumn<quint32>("num");
        QTest::addColumn<quint32>("den");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("NTSC") << 30000u << 1001u << 2997u;
        QTest::newRow("denominator 0") << 25u << 0u << 0u;
        QTest::newRow("past 32 bits") << 0xFFFFFFFFu << 1u << 0u;
    }

    void ratioIsZeroWithoutAValue()
    {
        QFETCH(quint32, num);
        QFETCH(quint32, den);
        QFETCH(quint32, expected);
        QCOMPARE(CMediaFileInfo::RatioTimes100(num, den), expected);
    }

    void thumbnailTimeAndReplacedThumbnail()
    {
        QCOMPARE(CMediaFileInfo::ThumbnailTime(60000000), quint64(30000000));
        QCOMPARE(CMediaFileInfo::ThumbnailTime(10000000), quint64(10000000));
        QCOMPARE(CMediaFileInfo::ThumbnailTime(4000000), quint64(10000000));

        FakeCodec::script().width = 64;
        FakeCodec::script().height = 48;
        FakeCodec::script().duration = 60000000;
        FakeCodec::script().tags = {{"title", "T"}, {"date", "2024"}};
        {
            CMediaFileInfo reader("movie.mp4");
            MediaGeneralInfo general{};
            general.userValue = 77;
            reader.GetMediaInfo(&general);
            reader.GetMediaInfo(&general); // frees the first thumbnail
            QCOMPARE(general.userValue, 77);
            QCOMPARE(QByteArray(general.title), QByteArray("T"));
            QCOMPARE(QByteArray(general.date), QByteArray("2024"));
            QVERIFY(!general.artist);
            QVERIFY(general.thumbnail);
            MediaVideoInfo video{};
            reader.GetVideoInfo(&video);
            QCOMPARE(video.width, 64u);
            QCOMPARE(video.frameRate100, 2997u);
        }
        QCOMPARE(FakeCodec::callsStartingWith("GrabFrameImage 30000000 1 0x0 0").size(), 2);
        QCOMPARE(FakeCodec::liveHandles(), 0);
    }

    void fillsNothingItCannotRead()
    {
        const MediaGeneralInfo untouched{1, "f", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 5, nullptr};
        MediaGeneralInfo general = untouched;
        MediaAudioInfo audio{};
        CMediaFileInfo(nullptr).GetMediaInfo(&general);
        FakeCodec::script().mediaOpenResult = 0;
        CMediaFileInfo("broken.mp4").GetAudioInfo(&audio);
        QCOMPARE(audio.sampleRate, 0u);
        FakeCodec::script().mediaOpenResult = 1;
        FakeCodec::script().hasAudio = true; // and no video
        CMediaFileInfo soundOnly("sound.m4a");
        soundOnly.GetAudioInfo(&audio);
        soundOnly.GetMediaInfo(&general);
        QCOMPARE(audio.sampleRate, 44100u);
        QCOMPARE(general.duration, untouched.duration);
        QCOMPARE(general.userValue, untouched.userValue);
    }
};

GLINTORA_TEST_MAIN_CORE(TestMediaFileInfo)
#include "tst_cmediafileinfo.moc"
