#include "testhome.h"

#include <QTemporaryDir>

#include <cstring>

#include "tst_playersupport.h"

namespace {

struct Block
{
    quint32 sampleRate = 0;
    quint32 count = 0;
    double peakHz = 0;
    double binHz = 0;
};

quint32 u32At(const void *block, int offset)
{
    quint32 value = 0;
    std::memcpy(&value, static_cast<const char *>(block) + offset, sizeof value);
    return value;
}

// Reads a block as the engine and the level bars do: rate at 24, byte count at 40.
bool readBlock(MMC_Handle player, Block *read)
{
    void *block = MMC_PlayerGetAudioData(player, 1);
    if (!block)
        return false;
    read->sampleRate = u32At(block, 24) >> 1;
    const quint32 bytes = u32At(block, 40);
    read->count = bytes / 2;
    quint16 strongest = 0;
    quint32 strongestBin = 0;
    for (quint32 i = 0; i < read->count; ++i) {
        quint16 value = 0;
        std::memcpy(&value, static_cast<const char *>(block) + 44 + i * 2, sizeof value);
        if (value > strongest) {
            strongest = value;
            strongestBin = i;
        }
    }
    read->binHz = read->count ? double(read->sampleRate) / (2.0 * read->count) : 0;
    read->peakHz = strongestBin * read->binHz;
    const bool consistent = u32At(block, 20) == read->count && bytes == 2 * read->count;
    MMC_PlayerReleaseAudioData(player, block);
    return consistent;
}

bool peakNear(MMC_Handle player, double hz)
{
    Block block;
    return readBlock(player, &block) && std::abs(block.peakHz - hz) <= block.binHz;
}

} // namespace

class PlayerSoundTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void audioBlocksHoldTheSpectrumOfWhatIsHeard();
    void audioBlocksAreNullWhenNothingSounds();
    void audioTrackChoice();
    void trackListsMatchThePlayersNumbering();
    void refusedSoundStillPlays();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MediaCache> m_media;
};

void PlayerSoundTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_media = std::make_unique<MediaCache>(m_dir.path());
    QVERIFY2(!m_media->audioOnly().isEmpty(), qPrintable(TestMedia::lastError()));
    QVERIFY2(!m_media->multiTrack().isEmpty(), qPrintable(TestMedia::lastError()));
}

void PlayerSoundTest::audioBlocksHoldTheSpectrumOfWhatIsHeard()
{
    ScopedPlayer player;
    QVERIFY(player.open(m_media->audioOnly()));
    QCOMPARE(MMC_PlayerSetInterval(player.handle(), 50000), 1);
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MMC_PlayerGetPosition(player.handle()) > 300000, patience(3000));
    Block block;
    QVERIFY(readBlock(player.handle(), &block));
    QCOMPARE(block.sampleRate, 44100u);
    QVERIFY(block.count > 0 && block.count <= 4096);
    QVERIFY2(std::abs(block.peakHz - 440) <= block.binHz, qPrintable(QString::number(block.peakHz)));
}

void PlayerSoundTest::audioBlocksAreNullWhenNothingSounds()
{
    ScopedPlayer player;
    MMC_PlayerReleaseAudioData(player.handle(), nullptr);
    QVERIFY(MMC_PlayerGetAudioData(player.handle(), 1) == nullptr);
    QVERIFY(player.open(m_media->audioOnly()));
    QVERIFY(MMC_PlayerGetAudioData(player.handle(), 1) == nullptr);
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(peakNear(player.handle(), 440), patience(3000));
    QCOMPARE(MMC_PlayerPause(player.handle()), 1);
    QVERIFY(MMC_PlayerGetAudioData(player.handle(), 1) == nullptr);

    // Picture without sound.
    const QString silent = m_media->clip("silent.mp4", "testsrc2=size=160x120:rate=30:duration=1",
                                         {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});
    QVERIFY(player.open(silent));
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MMC_PlayerGetPosition(player.handle()) > 200000, patience(3000));
    QVERIFY(MMC_PlayerGetAudioData(player.handle(), 1) == nullptr);
}

void PlayerSoundTest::audioTrackChoice()
{
    FrameRecorder frames;
    ScopedPlayer player;
    QVERIFY(player.open(m_media->multiTrack()));
    frames.attach(player.handle());
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(peakNear(player.handle(), 440), patience(3000));

    // Choosing the current track again changes nothing: the position runs on evenly.
    QCOMPARE(MMC_PlayerSelectAudioTrack(player.handle(), 0), 1);
    quint64 previous = MMC_PlayerGetPosition(player.handle());
    auto previousTime = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const quint64 now = MMC_PlayerGetPosition(player.handle());
        const auto nowTime = std::chrono::steady_clock::now();
        const qint64 elapsed = std::chrono::duration_cast<std::chrono::microseconds>(nowTime - previousTime).count();
        QVERIFY(now >= previous);
        QVERIFY2(qint64(now - previous) <= elapsed + 30000, qPrintable(QString::number(now - previous)));
        previous = now;
        previousTime = nowTime;
    }

    const quint64 before = MMC_PlayerGetPosition(player.handle());
    QCOMPARE(MMC_PlayerSelectAudioTrack(player.handle(), 1), 1);
    QTRY_VERIFY_WITH_TIMEOUT(peakNear(player.handle(), 880), patience(500));
    // The clock went on through the switch.
    QVERIFY(MMC_PlayerGetPosition(player.handle()) >= before);
    QCOMPARE(MMC_PlayerSelectAudioTrack(player.handle(), 2), 0);
    QCOMPARE(MMC_PlayerSelectAudioTrack(player.handle(), -1), 0);
}

void PlayerSoundTest::trackListsMatchThePlayersNumbering()
{
    const MMC_Handle info = MMC_CreateMediaInfo(-1);
    QVERIFY(MMC_OpenMediaFile(info, m_media->multiTrack().toUtf8().constData()));
    QCOMPARE(MMC_GetAudioTrackCount(info), 2);
    const QStringList languages{"eng", "fre"};
    const QStringList titles{"", "Director"};
    for (int i = 0; i < 2; ++i) {
        MMC_SelectAudioTrack(info, i);
        QCOMPARE(QString::fromUtf8(MMC_GetAudioTrackLanguage(info)), languages[i]);
        QCOMPARE(QString::fromUtf8(MMC_GetAudioTrackTitle(info) ? MMC_GetAudioTrackTitle(info) : ""), titles[i]);
        QCOMPARE(QString::fromUtf8(MMC_GetAudioCodecName(info)), QString("aac"));
    }
    QCOMPARE(MMC_GetSubtitleTrackCount(info), 1);
    MMC_SelectSubtitleTrack(info, 0);
    QCOMPARE(QString::fromUtf8(MMC_GetSubtitleTrackLanguage(info)), QString("eng"));
    QCOMPARE(QString::fromUtf8(MMC_GetSubtitleTrackTitle(info)), QString("Forced"));
    QCOMPARE(QString::fromUtf8(MMC_GetSubtitleCodecName(info)), QString("subrip"));
    const int audioTracks = MMC_GetAudioTrackCount(info);
    const int subtitleTracks = MMC_GetSubtitleTrackCount(info);
    MMC_CloseMedia(info);
    MMC_DestroyMediaInfo(info);

    // Every index the lists offer is one the player takes, and no other.
    ScopedPlayer player;
    QVERIFY(player.open(m_media->multiTrack()));
    for (int i = 0; i < audioTracks; ++i)
        QCOMPARE(MMC_PlayerSelectAudioTrack(player.handle(), i), 1);
    QCOMPARE(MMC_PlayerSelectAudioTrack(player.handle(), audioTracks), 0);
    for (int i = 0; i < subtitleTracks; ++i)
        QCOMPARE(MMC_PlayerSelectSubtitle(player.handle(), i), 1);
    QCOMPARE(MMC_PlayerSelectSubtitle(player.handle(), subtitleTracks), 0);
    QCOMPARE(MMC_PlayerSelectSubtitle(player.handle(), -1), 1);
}

void PlayerSoundTest::refusedSoundStillPlays()
{
    // An unknown device name falls back to the default device.
    ScopedPlayer player;
    QCOMPARE(MMC_PlayerSetAudioDevice(player.handle(), "no such device"), 1);
    QVERIFY(player.open(m_media->audioOnly()));
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(MMC_PlayerGetPosition(player.handle()) > 300000, patience(3000));
    QTRY_VERIFY_WITH_TIMEOUT(peakNear(player.handle(), 440), patience(3000));
}

GLINTORA_TEST_MAIN_CORE(PlayerSoundTest)
#include "tst_playersound.moc"
