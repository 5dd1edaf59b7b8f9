#include "testhome.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <functional>

#include "playback/playerstats.h"
#include "tst_playersupport.h"

namespace {

quint32 le32(const unsigned char *data)
{
    return data[0] | data[1] << 8 | data[2] << 16 | quint32(data[3]) << 24;
}

int threadCount()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Calls Refresh every 50 ms beside the test, as the player's refresh thread does.
class Refresher
{
public:
    explicit Refresher(MMC_Handle player)
        : m_thread([this, player] {
            while (!m_stop) {
                MMC_PlayerRefresh(player);
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        })
    {
    }
    ~Refresher()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Tries every waiting call from inside the callback; each must refuse at once.
struct InsideCalls
{
    MMC_Handle player = 0;
    std::atomic<int> frames{0};
    std::atomic<int> refused{0};
    std::atomic<int> answered{0};

    static int onFrame(void *context, void *)
    {
        auto *self = static_cast<InsideCalls *>(context);
        if (self->frames++ > 0)
            return 1;
        const MMC_Handle h = self->player;
        const int results[] = {MMC_PlayerPause(h), MMC_PlayerStop(h), MMC_PlayerSeek(h, 0), MMC_PlayerStepFrame(h, 1),
                               MMC_PlayerOpen(h, "/nonexistent", 0, 0, 0, 0),
                               MMC_PlayerSetFrameCallback(h, &InsideCalls::onFrame, self),
                               MMC_PlayerSelectAudioTrack(h, 0)};
        for (int result : results)
            self->refused += result == 0;
        MMC_PlayerClose(h);
        MMC_DestroyPlayer(h);
        self->answered += MMC_PlayerGetDuration(h) > 0;
        self->answered += MMC_PlayerHasVideo(h);
        self->answered += MMC_PlayerGetPosition(h) <= MMC_PlayerGetDuration(h);
        return 1;
    }
};

} // namespace

class PlayerLifetimeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noCallbackAfterReturn_data();
    void noCallbackAfterReturn();
    void callsFromInsideTheCallbackDoNotWait();
    void openWhilePlayingJoinsThePreviousMedia();
    void twoPlayersPlayAtOnce();
    void stalledSoundHandsOverToTheSteadyClock();
    void captures_data();
    void captures();
    void capturesAreRefusedWithoutAFrameOrWhenHuge();
    void manyCyclesLeaveNothingBehind();
    void destroyDuringPlaybackLeavesAStaleHandle();
    void playsBesideProbesAndAConversion();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MediaCache> m_media;
    QString m_rotated;
};

void PlayerLifetimeTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_media = std::make_unique<MediaCache>(m_dir.path());
    QVERIFY2(!m_media->plain().isEmpty(), qPrintable(TestMedia::lastError()));
    TestMedia::LivePhoto spec;
    spec.codec = TestMedia::Codec::Hevc;
    spec.width = 480;
    spec.height = 360;
    spec.portrait = true;
    m_rotated = m_media->livePhoto("rotated.mov", spec);
    QVERIFY2(!m_rotated.isEmpty(), qPrintable(TestMedia::lastError()));
}

void PlayerLifetimeTest::noCallbackAfterReturn_data()
{
    QTest::addColumn<QString>("call");
    for (const char *call : {"pause", "stop", "close", "open", "callback", "destroy"})
        QTest::newRow(call) << QString(call);
}

void PlayerLifetimeTest::noCallbackAfterReturn()
{
    QFETCH(QString, call);
    const std::map<QString, std::function<void(MMC_Handle)>> calls{
        {"pause", [](MMC_Handle h) { MMC_PlayerPause(h); }},
        {"stop", [](MMC_Handle h) { MMC_PlayerStop(h); }},
        {"close", [](MMC_Handle h) { MMC_PlayerClose(h); }},
        {"open", [this](MMC_Handle h) { MMC_PlayerOpen(h, m_media->plain().toUtf8().constData(), 0, 0, 0, 0); }},
        {"callback", [](MMC_Handle h) { MMC_PlayerSetFrameCallback(h, nullptr, nullptr); }},
        {"destroy", [](MMC_Handle h) { MMC_DestroyPlayer(h); }},
    };
    // A slow callback is in flight when the call comes; it must have ended when the
    // call returns, and nothing may follow.
    for (int round = 0; round < 8; ++round) {
        const MMC_Handle player = MMC_CreatePlayer(-1);
        FrameRecorder frames;
        frames.setDelay(50);
        {
            Refresher refresher(player);
            QVERIFY(MMC_PlayerOpen(player, m_media->plain().toUtf8().constData(), 0, 0, 0, 0));
            frames.attach(player);
            QCOMPARE(MMC_PlayerPlay(player), 1);
            QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 1, patience(2000));
            calls.at(call)(player);
            const int count = frames.count();
            std::this_thread::sleep_for(std::chrono::milliseconds(round == 0 ? 200 : 60));
            QCOMPARE(frames.count(), count);
        }
        MMC_PlayerClose(player);
        MMC_DestroyPlayer(player);
    }
}

void PlayerLifetimeTest::callsFromInsideTheCallbackDoNotWait()
{
    InsideCalls inside;
    inside.player = MMC_CreatePlayer(-1);
    QVERIFY(MMC_PlayerOpen(inside.player, m_media->plain().toUtf8().constData(), 0, 0, 0, 0));
    MMC_PlayerSetFrameCallback(inside.player, &InsideCalls::onFrame, &inside);
    QCOMPARE(MMC_PlayerPlay(inside.player), 1);
    QTRY_VERIFY_WITH_TIMEOUT(inside.frames >= 3, patience(3000));
    QCOMPARE(inside.refused.load(), 7);
    QCOMPARE(inside.answered.load(), 3);
    // The refused close and destroy left the player as it was.
    QCOMPARE(MMC_PlayerHasVideo(inside.player), 1);
    MMC_PlayerClose(inside.player);
    MMC_DestroyPlayer(inside.player);
}

void PlayerLifetimeTest::openWhilePlayingJoinsThePreviousMedia()
{
    FrameRecorder frames;
    ScopedPlayer player;
    frames.keepAll(true);
    QVERIFY(player.open(m_media->plain()));
    frames.attach(player.handle());
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 3, patience(2000));
    QVERIFY(player.open(m_rotated));
    const int count = frames.count();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    QCOMPARE(frames.count(), count);
    QCOMPARE(MMC_PlayerGetPosition(player.handle()), quint64(0));
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(frames.count() > count, patience(2000));
    QCOMPARE(frames.frames().back().width, 360);
}

void PlayerLifetimeTest::twoPlayersPlayAtOnce()
{
    FrameRecorder firstFrames;
    FrameRecorder secondFrames;
    ScopedPlayer first;
    ScopedPlayer second;
    QVERIFY(first.open(m_media->plain()));
    QVERIFY(second.open(m_rotated));
    firstFrames.attach(first.handle());
    secondFrames.attach(second.handle());
    QCOMPARE(MMC_PlayerPlay(first.handle()), 1);
    QCOMPARE(MMC_PlayerPlay(second.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MMC_PlayerGetPosition(first.handle()) > 500000
                                 && MMC_PlayerGetPosition(second.handle()) > 500000,
                             patience(3000));
    // A loaded machine drops late frames rather than show them late; each player still
    // handles every frame in its time.
    for (MMC_Handle h : {first.handle(), second.handle()}) {
        uint64_t presented = 0;
        uint64_t dropped = 0;
        QCOMPARE(mmcPlayerStatistics(h, &presented, &dropped, nullptr), 1);
        QVERIFY(presented >= 1 && (kSanitized || presented + dropped > 10));
    }
    QVERIFY(firstFrames.count() >= 1 && secondFrames.count() >= 1);
}

void PlayerLifetimeTest::stalledSoundHandsOverToTheSteadyClock()
{
    FrameRecorder frames;
    ScopedPlayer player;
    QVERIFY(player.open(m_media->plain()));
    frames.attach(player.handle());
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MMC_PlayerGetPosition(player.handle()) > 300000, patience(2000));
    QCOMPARE(mmcPlayerStallAudio(player.handle(), 1), 1);
    const quint64 stalledAt = MMC_PlayerGetPosition(player.handle());
    const int count = frames.count();
    uint64_t handledBefore = 0;
    uint64_t droppedBefore = 0;
    mmcPlayerStatistics(player.handle(), &handledBefore, &droppedBefore, nullptr);
    // The picture goes on, on the steady clock, though the device takes nothing.
    QTRY_VERIFY_WITH_TIMEOUT(MMC_PlayerGetPosition(player.handle()) > stalledAt + 1000000, patience(3000));
    uint64_t handled = 0;
    uint64_t dropped = 0;
    mmcPlayerStatistics(player.handle(), &handled, &dropped, nullptr);
    QVERIFY(frames.count() > count);
    QVERIFY(kSanitized || handled + dropped > handledBefore + droppedBefore + 10);
    mmcPlayerStallAudio(player.handle(), 0);
}

void PlayerLifetimeTest::captures_data()
{
    QTest::addColumn<int>("askWidth");
    QTest::addColumn<int>("askHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("native") << 0 << 0 << 360 << 480;
    QTest::newRow("asked") << 160 << 120 << 160 << 120;
}

void PlayerLifetimeTest::captures()
{
    FrameRecorder frames;
    ScopedPlayer player;
    QVERIFY(player.open(m_rotated));
    frames.attach(player.handle());
    QCOMPARE(MMC_PlayerSeek(player.handle(), 1000000), 1);
    QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, patience(2000));
    QFETCH(int, askWidth);
    QFETCH(int, askHeight);
    auto *capture = static_cast<MMC_Capture *>(MMC_PlayerCaptureFrame(player.handle(), askWidth, askHeight, 0));
    QVERIFY(capture);
    QVERIFY(capture->data);
    QCOMPARE(le32(capture->data + 2), capture->size);
    QImage image;
    QVERIFY(image.loadFromData(capture->data, int(capture->size)));
    QTEST(image.width(), "width");
    QTEST(image.height(), "height");
    QTEST(int(capture->width), "width");
    QTEST(int(capture->height), "height");
    MMC_PlayerReleaseCapture(player.handle(), capture);
    MMC_PlayerReleaseCapture(player.handle(), nullptr);
}

void PlayerLifetimeTest::capturesAreRefusedWithoutAFrameOrWhenHuge()
{
    ScopedPlayer player;
    QVERIFY(MMC_PlayerCaptureFrame(player.handle(), 0, 0, 0) == nullptr);
    FrameRecorder frames;
    QVERIFY(player.open(m_media->plain()));
    frames.attach(player.handle());
    QVERIFY(MMC_PlayerCaptureFrame(player.handle(), 0, 0, 0) == nullptr);
    QCOMPARE(MMC_PlayerStepFrame(player.handle(), 1), 1);
    QVERIFY(MMC_PlayerCaptureFrame(player.handle(), 20000, 20000, 0) == nullptr);
    QVERIFY(MMC_PlayerCaptureFrame(player.handle(), 16384, 8192, 0) == nullptr);
    void *capture = MMC_PlayerCaptureFrame(player.handle(), 0, 0, 0);
    QVERIFY(capture);
    MMC_PlayerReleaseCapture(player.handle(), capture);
    // After Close the old media's frame is gone too.
    MMC_PlayerClose(player.handle());
    QVERIFY(MMC_PlayerCaptureFrame(player.handle(), 0, 0, 0) == nullptr);
}

void PlayerLifetimeTest::manyCyclesLeaveNothingBehind()
{
    const int threadsBefore = threadCount();
    {
        FrameRecorder frames;
        ScopedPlayer player;
        for (int cycle = 0; cycle < 50; ++cycle) {
            QVERIFY(player.open(cycle % 2 ? m_rotated : m_media->plain()));
            frames.attach(player.handle());
            QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
            QCOMPARE(MMC_PlayerSeek(player.handle(), 1000000 + cycle * 20000), 1);
            MMC_PlayerClose(player.handle());
        }
        QCOMPARE(MMC_PlayerGetDuration(player.handle()), quint64(0));
        QCOMPARE(MMC_PlayerPlay(player.handle()), 0);
    }
    // SDL's own audio threads end with their devices.
    QTRY_VERIFY_WITH_TIMEOUT(threadCount() <= threadsBefore, patience(2000));
}

void PlayerLifetimeTest::destroyDuringPlaybackLeavesAStaleHandle()
{
    const MMC_Handle player = MMC_CreatePlayer(-1);
    FrameRecorder frames;
    QVERIFY(MMC_PlayerOpen(player, m_media->plain().toUtf8().constData(), 0, 0, 0, 0));
    frames.attach(player);
    QCOMPARE(MMC_PlayerPlay(player), 1);
    QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 3, patience(2000));
    MMC_DestroyPlayer(player);
    QCOMPARE(MMC_PlayerPlay(player), 0);
    QCOMPARE(MMC_PlayerGetDuration(player), quint64(0));
    QCOMPARE(MMC_PlayerRefresh(player), 0);
    QVERIFY(MMC_PlayerCaptureFrame(player, 0, 0, 0) == nullptr);
    MMC_PlayerClose(player);
    MMC_DestroyPlayer(player);
}

// The preview plays while the list probes movies and converts one: the library's
// shared state must hold up with all three at once.
void PlayerLifetimeTest::playsBesideProbesAndAConversion()
{
    const QByteArray source = m_media->plain().toUtf8();
    std::atomic<bool> stop{false};
    std::atomic<int> probes{0};
    std::atomic<int> failedProbes{0};
    std::thread prober([&] {
        while (!stop) {
            const MMC_Handle info = MMC_CreateMediaInfo(0);
            if (MMC_OpenMediaFile(info, source.constData()) == 1 && MMC_GetMediaDuration(info) > 0)
                ++probes;
            else
                ++failedProbes;
            MMC_DestroyMediaInfo(info);
        }
    });

    FrameRecorder frames;
    ScopedPlayer player;
    QVERIFY(player.open(m_rotated));
    frames.attach(player.handle());
    Refresher refresher(player.handle());
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);

    const QByteArray output = QDir(m_dir.path()).filePath("beside.gif").toUtf8();
    const MMC_Handle conv = MMC_CreateConverter(-1);
    QCOMPARE(MMC_ConverterOpenFile(conv, source.constData(), output.constData(), "gif", 0), 1);
    QCOMPARE(MMC_ConverterStart(conv), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MMC_ConverterIsFinished(conv) == 1, patience(60000));
    const bool converted = MMC_ConverterHasFailed(conv) == 0;
    MMC_ConverterClose(conv);
    MMC_DestroyConverter(conv);
    stop = true;
    prober.join();

    QVERIFY(converted);
    QVERIFY(QImage(QString::fromUtf8(output)).width() > 0);
    QVERIFY(probes > 0);
    QCOMPARE(failedProbes.load(), 0);
    QVERIFY(frames.count() >= 1);
}

GLINTORA_TEST_MAIN_CORE(PlayerLifetimeTest)
#include "tst_playerlifetime.moc"
