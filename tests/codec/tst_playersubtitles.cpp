#include "testhome.h"

#include <QFile>
#include <QTemporaryDir>

#include "tst_playersupport.h"

namespace {

const char kSrt[] = "1\n00:00:00,000 --> 00:00:10,000\nGlintora subtitle line\n\n";
const char kVtt[] = "WEBVTT\n\n00:00:00.000 --> 00:00:10.000\nGlintora subtitle line\n\n";
const char kAss[] =
    "[Script Info]\nScriptType: v4.00+\nPlayResX: 320\nPlayResY: 240\n\n"
    "[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, "
    "MarginL, MarginR, MarginV, Encoding\n"
    "Style: Default,DejaVu Sans,20,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,2,10,10,10,1\n\n"
    "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
    "Dialogue: 0,0:00:00.00,0:00:10.00,Default,,0,0,0,,Glintora subtitle line\n";

// A Blu-ray bitmap subtitle stream: display segments that end at once.
QByteArray pgsBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += "PG";
        bytes += QByteArray(8, '\0');
        bytes += char(0x80);
        bytes += QByteArray(2, '\0');
    }
    return bytes;
}

struct Difference
{
    double top = 0;
    double bottom = 0;
};

// Mean absolute luma difference above and inside the bottom fifth of the picture.
Difference lumaDifference(const CopiedFrame &a, const CopiedFrame &b)
{
    Difference difference;
    const int border = a.height * 4 / 5;
    for (int y = 0; y < a.height; ++y) {
        double row = 0;
        for (int x = 0; x < a.width; ++x)
            row += std::abs(uchar(a.planes[0][y * a.width + x]) - uchar(b.planes[0][y * a.width + x]));
        (y < border ? difference.top : difference.bottom) += row / a.width;
    }
    difference.top /= border;
    difference.bottom /= a.height - border;
    return difference;
}

} // namespace

class PlayerSubtitleTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sideFilesShowInTheBottomFifth_data();
    void sideFilesShowInTheBottomFifth();
    void embeddedTrackShows();
    void unshowableFilesAreRefused_data();
    void unshowableFilesAreRefused();

private:
    QString write(const QString &name, const QByteArray &content);
    // Shows the paused frame at 0.5 s; then change() must show it once more.
    void compareAround(const QString &movie, const std::function<int(MMC_Handle)> &change, bool expectText);

    QTemporaryDir m_dir;
    std::unique_ptr<MediaCache> m_media;
};

void PlayerSubtitleTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_media = std::make_unique<MediaCache>(m_dir.path());
    QVERIFY2(!m_media->plain().isEmpty(), qPrintable(TestMedia::lastError()));
    QVERIFY2(!m_media->multiTrack().isEmpty(), qPrintable(TestMedia::lastError()));
}

QString PlayerSubtitleTest::write(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

void PlayerSubtitleTest::compareAround(const QString &movie, const std::function<int(MMC_Handle)> &change,
                                       bool expectText)
{
    FrameRecorder frames;
    ScopedPlayer player;
    QVERIFY(player.open(movie));
    frames.attach(player.handle());
    QCOMPARE(MMC_PlayerSeek(player.handle(), 500000), 1);
    QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 1, patience(2000));
    const CopiedFrame plain = frames.last();
    QCOMPARE(change(player.handle()), 1);
    // The first use of the fonts builds their cache: a generous wait.
    QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 2, patience(30000));
    const Difference withText = lumaDifference(plain, frames.last());
    if (!expectText) {
        QCOMPARE(withText.bottom, 0.0);
        return;
    }
    QVERIFY2(withText.bottom > 0.5, qPrintable(QString::number(withText.bottom)));
    QVERIFY2(withText.top < 0.5, qPrintable(QString::number(withText.top)));
    // Choosing the same again changes nothing and shows nothing.
    QCOMPARE(change(player.handle()), 1);
    // None removes the text again.
    QCOMPARE(MMC_PlayerSelectSubtitle(player.handle(), -1), 1);
    QTRY_COMPARE_WITH_TIMEOUT(frames.count(), 3, patience(5000));
    QCOMPARE(lumaDifference(plain, frames.last()).bottom, 0.0);
}

void PlayerSubtitleTest::sideFilesShowInTheBottomFifth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("srt") << "side.srt" << QByteArray(kSrt);
    QTest::newRow("ass") << "side.ass" << QByteArray(kAss);
    QTest::newRow("vtt") << "side.vtt" << QByteArray(kVtt);
    QTest::newRow("colon and comma") << "a:b,c.srt" << QByteArray(kSrt);
    QTest::newRow("quote and percent") << "it's 100%d.srt" << QByteArray(kSrt);
    QTest::newRow("non-ascii") << QString::fromUtf8("sous-titres été 字幕.srt") << QByteArray(kSrt);
}

void PlayerSubtitleTest::sideFilesShowInTheBottomFifth()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = write(name, content);
    QVERIFY(!path.isEmpty());
    compareAround(m_media->plain(),
                  [&](MMC_Handle h) { return MMC_PlayerLoadSubtitleFile(h, path.toUtf8().constData()); }, true);
}

void PlayerSubtitleTest::embeddedTrackShows()
{
    compareAround(m_media->multiTrack(), [](MMC_Handle h) { return MMC_PlayerSelectSubtitle(h, 0); }, true);
}

void PlayerSubtitleTest::unshowableFilesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("bitmap sup") << "bitmap.sup" << pgsBytes();
    QTest::newRow("vobsub idx") << "vobsub.idx" << QByteArray("# VobSub index file, v7 (do not modify this line!)\n"
                                                             "size: 720x480\nid: en, index: 0\n"
                                                             "timestamp: 00:00:00:500, filepos: 000000000\n");
    QTest::newRow("not subtitles") << "noise.srt" << QByteArray(2048, '\x01');
    QTest::newRow("missing") << "missing.srt" << QByteArray();
}

void PlayerSubtitleTest::unshowableFilesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    const QString path = content.isEmpty() ? m_dir.filePath(name) : write(name, content);
    FrameRecorder frames;
    ScopedPlayer player;
    QVERIFY(player.open(m_media->plain()));
    frames.attach(player.handle());
    QCOMPARE(MMC_PlayerPlay(player.handle()), 1);
    QCOMPARE(MMC_PlayerLoadSubtitleFile(player.handle(), path.toUtf8().constData()), 0);
    // Playback goes on.
    QTRY_VERIFY_WITH_TIMEOUT(frames.count() >= 10, patience(3000));
}

GLINTORA_TEST_MAIN_CORE(PlayerSubtitleTest)
#include "tst_playersubtitles.moc"
