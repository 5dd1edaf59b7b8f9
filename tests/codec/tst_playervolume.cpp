#include "testhome.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include "tst_playersupport.h"

namespace {

struct Heard
{
    double rms = 0;
    int largestStep = 0;
    int peak = 0;
};

// What the disk driver wrote, from the first to the last sound: the device writes
// silence while paused.
Heard analyse(const QByteArray &raw)
{
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    const int count = raw.size() / 2;
    int first = 0;
    while (first < count && samples[first] == 0)
        ++first;
    int last = count - 1;
    while (last > first && samples[last] == 0)
        --last;
    Heard heard;
    double sum = 0;
    for (int i = first; i <= last; ++i) {
        sum += double(samples[i]) * samples[i];
        heard.peak = std::max(heard.peak, std::abs(int(samples[i])));
        // Stereo: the neighbour of a sample is two values on.
        if (i + 2 <= last)
            heard.largestStep = std::max(heard.largestStep, std::abs(samples[i + 2] - samples[i]));
    }
    heard.rms = last > first ? std::sqrt(sum / (last - first + 1)) : 0;
    return heard;
}

} // namespace

class PlayerVolumeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void gainFollowsTheVolume();

private:
    Heard playAt(int volume);

    QTemporaryDir m_dir;
    QString m_tone;
    QString m_output;
};

void PlayerVolumeTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // The disk driver writes what the device plays to a file, at real time.
    m_output = m_dir.filePath("heard.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", m_output.toUtf8());
    m_tone = m_dir.filePath("loud.wav");
    // Seven eighths of full scale: twice that must saturate.
    QVERIFY2(TestMedia::runFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=1,volume=7",
                                   "-ac", "2", "-c:a", "pcm_s16le", m_tone}),
             qPrintable(TestMedia::lastError()));
}

Heard PlayerVolumeTest::playAt(int volume)
{
    ScopedPlayer player;
    MMC_PlayerSetVolume(player.handle(), volume);
    if (!player.open(m_tone) || !MMC_PlayerPlay(player.handle()))
        return {};
    if (!QTest::qWaitFor([&] { return MMC_PlayerIsEnded(player.handle()) == 1; }, patience(5000)))
        return {};
    MMC_PlayerClose(player.handle());
    QFile file(m_output);
    return file.open(QIODevice::ReadOnly) ? analyse(file.readAll()) : Heard();
}

void PlayerVolumeTest::gainFollowsTheVolume()
{
    const Heard unity = playAt(100);
    QVERIFY(unity.rms > 1000);
    const Heard half = playAt(50);
    QVERIFY2(std::abs(half.rms / unity.rms - 0.5) <= 0.025, qPrintable(QString::number(half.rms / unity.rms)));
    const Heard doubled = playAt(200);
    QVERIFY(doubled.peak >= 32767);
    // Saturation, not wrap-around: no jump from one extreme to the other.
    QVERIFY2(doubled.largestStep < 16000, qPrintable(QString::number(doubled.largestStep)));
    QVERIFY(doubled.rms > unity.rms * 1.5);
    QCOMPARE(playAt(0).rms, 0.0);
    QCOMPARE(playAt(-5).rms, 0.0);
    const Heard above = playAt(300);
    QVERIFY(std::abs(above.rms / doubled.rms - 1.0) <= 0.02);
}

GLINTORA_TEST_MAIN_CORE(PlayerVolumeTest)
#include "tst_playervolume.moc"
