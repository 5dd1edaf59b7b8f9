#include "playertestsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fakemmc.h"
#include "isolanguages.h"

using FakeMmc::script;

namespace {

QStringList titles(const QList<subltItemInfo *> &items)
{
    QStringList result;
    for (const subltItemInfo *item : items)
        result << QString::fromStdString(item->title);
    return result;
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TrackListsTest : public QObject
{
    Q_OBJECT

    ZVQPlayObject *m_engine = nullptr;
    QList<subltItemInfo *> m_subtitles;
    QStringList m_audio;
    SubtitleValue_Info m_info;

    void build(const QString &path)
    {
        qDeleteAll(m_subtitles);
        m_subtitles.clear();
        m_audio.clear();
        m_info = SubtitleValue_Info();
        m_engine->getSubltListOrAudioList(m_subtitles, m_audio, m_info, path);
    }

private slots:
    void init()
    {
        FakeMmc::reset();
        m_engine = new ZVQPlayObject;
    }
    void cleanup()
    {
        delete m_engine;
        qDeleteAll(m_subtitles);
        m_subtitles.clear();
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("eng") << "eng" << "English";
        QTest::newRow("ENG") << "ENG" << "English";
        QTest::newRow("fre") << "fre" << "French";
        QTest::newRow("fra") << "fra" << "French";
        QTest::newRow("en") << "en" << "English";
        QTest::newRow("und") << "UND" << "Undefined";
        QTest::newRow("qaa") << "qaa" << "Original audio";
        QTest::newRow("gre") << "ell" << "Greek, Modern ()";
        QTest::newRow("xx") << "xx" << "";
        QTest::newRow("four letters") << "engl" << "";
    }

    void lookups()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        const char32_t *found = LookupLanguageName(code.toLatin1().constData());
        QCOMPARE(found ? QString::fromUcs4(found) : QString(), name);
    }

    void table()
    {
        int rows = 0, differing = 0;
        for (; kIsoLanguages[rows].englishName; ++rows)
            differing += qstrcmp(kIsoLanguages[rows].threeLetter, kIsoLanguages[rows].threeLetterAlt) != 0;
        QCOMPARE(rows, 166);
        QCOMPARE(differing, 23);
        QCOMPARE(QString::fromUcs4(kIsoLanguages[114].englishName), QString("Original audio"));
        QCOMPARE(kIsoLanguages[114].twoLetter, "");
    }

    void labelsAndOrder()
    {
        QTemporaryDir dir;
        const QString movie = dir.filePath("clip.mov");
        touch(dir.filePath("clip.srt"));
        touch(dir.filePath("clip.idx"));
        script().audio = {{"eng", "Director", "aac"}, {"ENG", "", "aac"}, {"", "", ""}, {"xx", "", "mp3"}};
        script().subtitles = {{"en", "Forced", "subrip"}, {"", "", "ass"}};
        build(movie);
        QCOMPARE(m_audio, QStringList({"English(Director)", "English(aac)", "()", "xx(mp3)"}));
        QCOMPARE(titles(m_subtitles),
                 QStringList({"No Subtitle", "English (Forced)(subrip)", "(ass)", "(clip)[SRT]", "(clip)[VOBSUB]"}));
        QCOMPARE(m_info.embeddedSubtitleCount, 2);
        QCOMPARE(QString::fromStdString(m_subtitles[3]->path), dir.filePath("clip.srt"));
        QCOMPARE(FakeMmc::calls().mid(1),
                 QStringList({"CreateMediaInfo", "OpenMediaFile", "CloseMedia", "DestroyMediaInfo"}));
        // No embedded subtitles: no list at all, side files or not.
        script().subtitles.clear();
        build(movie);
        QVERIFY(m_subtitles.isEmpty());
        // A file the library cannot read: both lists empty.
        script().mediaOpenOk = false;
        build(movie);
        QVERIFY(m_audio.isEmpty());
    }

    void sideFilesBelongToTheFileName()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("my.dir"));
        touch(dir.filePath("my.srt"));
        touch(dir.filePath("my.dir/clip.srt"));
        touch(dir.filePath("my.dir/clip.vtt"));
        script().subtitles = {{"", "", "subrip"}};
        build(dir.filePath("my.dir/clip"));
        QCOMPARE(titles(m_subtitles), QStringList({"No Subtitle", "(subrip)", "(clip)[SRT]", "(clip)[WEBVTT]"}));
        QCOMPARE(QString::fromStdString(m_subtitles[2]->path), dir.filePath("my.dir/clip.srt"));
    }

    void choiceIsApplied()
    {
        SubtitleValue_Info info;
        info.embeddedSubtitleCount = 1;
        info.externalPath = "/m/clip.srt";
        for (int entry = 0; entry < 3; ++entry) {
            info.audioTrackIndex = 1;
            info.subtitleIndex = entry;
            QCOMPARE(m_engine->setSubtitle(info), 1);
        }
        QCOMPARE(FakeMmc::calls().mid(1),
                 QStringList({"SelectAudioTrack 1", "SelectSubtitle -1", "SelectAudioTrack 1", "SelectSubtitle 0",
                              "SelectAudioTrack 1", "LoadSubtitleFile /m/clip.srt"}));
    }
};

PLAYER_TEST_MAIN(TrackListsTest)
#include "tst_tracklists.moc"
