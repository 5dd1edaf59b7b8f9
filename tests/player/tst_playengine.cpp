#include "playertestsupport.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "fakemmc.h"
#include "isolanguages.h"
#include "qvideoshowwidget.h"

using FakeMmc::script;

namespace {

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class PlayEngineTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PanelStandIn> m_panel;
    QList<subltItemInfo *> m_subtitles;
    QStringList m_audio;
    SubtitleValue_Info m_info;

    ZVQPlayObject *engine() const { return m_panel->engine; }
    bool timerActive(int index) const { return engine()->findChildren<QTimer *>()[index]->isActive(); }
    QStringList callsSince(int count) const { return FakeMmc::calls().mid(count); }
    void openPlaying()
    {
        QCOMPARE(engine()->SetPlayFile("/m/clip.mov", 0, 0), 1u);
        engine()->StartPlay();
        QCOMPARE(engine()->playState(), 1);
    }
    QStringList buildLists(const QString &path)
    {
        qDeleteAll(m_subtitles);
        m_subtitles.clear();
        m_audio.clear();
        m_info = SubtitleValue_Info();
        engine()->getSubltListOrAudioList(m_subtitles, m_audio, m_info, path);
        return titles(m_subtitles);
    }

private slots:
    void initTestCase() { QVideoShowWidget::setForceRaster(true); }
    void init()
    {
        FakeMmc::reset();
        m_panel = std::make_unique<PanelStandIn>();
        m_panel->onRefresh = [] { FakeMmc::note("RefreshPlayView"); };
    }
    void cleanup()
    {
        m_panel.reset();
        qDeleteAll(m_subtitles);
        m_subtitles.clear();
    }

    void timeTextsAndTicks()
    {
        QSignalSpy text(engine(), &ZVQPlayObject::emitPlayTime);
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        engine()->UpdateTime(); // position 0: silent
        QCOMPARE(progress.count() + text.count(), 0);
        engine()->ShowTime(0);
        engine()->ShowTime(59999900);
        QCOMPARE(text.at(0).at(0).toString(), QString("00:00:00 / 00:01:23"));
        QVERIFY(text.at(1).at(0).toString().startsWith("00:00:59 / "));
        script().position = 41750000;
        engine()->UpdateTime();
        QCOMPARE(progress.takeFirst().at(0).toDouble(), 0.5);
        // A length unknown: the time text only, no progress of 1/0.
        script().duration = 0;
        engine()->UpdateTime();
        QCOMPARE(progress.count(), 0);
        script().duration = 100ull * 3600 * 1000000;
        engine()->ShowTime(0);
        QCOMPARE(text.last().at(0).toString(), QString("00:00:00 / 100:00:00"));
    }

    void openCallsInOrder()
    {
        QPointer<VideoImageWindow> first = m_panel->window;
        QCOMPARE(engine()->SetPlayFile("/m/clip.mov", 0, 0), 1u);
        QVERIFY(m_panel->window && m_panel->window != first);
        QCOMPARE(callsSince(1), QStringList({"Stop", "RefreshPlayView", "Open /m/clip.mov", "SetInterval 50000",
                                             "SetVolume 100", "SetFrameCallback"}));
        QTRY_VERIFY(FakeMmc::refreshes() > 0);
        // After the end nothing is stopped; a failed open resets the display.
        script().ended = true;
        script().openOk = false;
        QSignalSpy finish(engine(), &ZVQPlayObject::emitPlayFinish);
        QCOMPARE(engine()->SetPlayFile("/m/bad.mov", 0, 0), 0u);
        QCOMPARE(callsSince(7), QStringList({"RefreshPlayView", "Open /m/bad.mov"}));
        QVERIFY(engine()->playState() == 4 && finish.count() == 1 && m_panel->window->isHidden());
    }

    void states()
    {
        openPlaying();
        QVERIFY(!m_panel->window->isHidden() && timerActive(0) && !timerActive(1));
        engine()->pausePlay();
        QVERIFY(engine()->playState() == 2 && !timerActive(0));
        engine()->StartPlay();
        script().ended = true;
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        QSignalSpy finish(engine(), &ZVQPlayObject::emitPlayFinish);
        engine()->UpdateTime();
        QVERIFY(engine()->playState() == 3 && progress.count() == 2 && finish.count() == 1);
        QCOMPARE(m_panel->audioRates.last(), 0);
        // Stop acts only before the end; play and seek after the end stop first.
        const int before = FakeMmc::calls().size();
        engine()->OnBtnStop();
        engine()->OnPlayVideo();
        engine()->pausePlay();
        engine()->ProgressValueChange(0.5);
        QCOMPARE(callsSince(before), QStringList({"Stop", "Play", "Pause", "Stop", "Seek 41750000"}));
        QVERIFY(engine()->playState() == 2 && progress.count() == 2);
        script().ended = false;
        engine()->OnBtnStop();
        QVERIFY(engine()->playState() == 4 && m_panel->window->isHidden());
        // Refused: the strip must not go on showing pause.
        script().playOk = false;
        QSignalSpy state(engine(), &ZVQPlayObject::emitPlayState);
        engine()->StartPlay();
        QVERIFY(engine()->playState() == 5 && state.count() == 2 && !state.at(1).at(0).toBool() && !timerActive(0));
    }

    // The movie ends between two display ticks and the window closes before the next one.
    void closeBeforeTheEndIsShown()
    {
        openPlaying();
        script().ended = true;
        QSignalSpy finish(engine(), &ZVQPlayObject::emitPlayFinish);
        engine()->closePlay();
        QCOMPARE(engine()->playState(), 3);
        QVERIFY(!timerActive(0) && !timerActive(1));
        QVERIFY(finish.count() >= 1);
    }

    void frameStepPausesFirst()
    {
        openPlaying();
        script().position = 1000000;
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        const int before = FakeMmc::calls().size();
        engine()->videoFrameStepUp();
        engine()->videoFrameStepDown();
        QCOMPARE(callsSince(before), QStringList({"Pause", "StepFrame 1", "Pause", "StepFrame -1"}));
        QVERIFY(engine()->playState() == 2 && !timerActive(0) && progress.count() == 2);
        QCOMPARE(m_panel->audioRates, QList<int>({0, 0}));
    }

    void screenshotSizes()
    {
        const uint32_t cases[][6] = {{1440, 1080, 16, 9, 1920, 1080}, {720, 576, 4, 3, 768, 576},
                                     {1920, 1080, 16, 9, 1920, 1080}, {1920, 1080, 1, 1, 1920, 1920},
                                     {1920, 1080, 0, 9, 0, 0}};
        QTemporaryDir dir;
        for (const auto &c : cases) {
            script().width = c[0];
            script().height = c[1];
            script().aspectX = c[2];
            script().aspectY = c[3];
            engine()->Screenshots(dir.filePath("none.png"));
            QCOMPARE(FakeMmc::calls().last(), QString("Capture %1x%2").arg(c[4]).arg(c[5]));
        }
        QVERIFY(!QFile::exists(dir.filePath("none.png")));
        QBuffer bmp(&script().capture);
        bmp.open(QIODevice::WriteOnly);
        QImage(4, 2, QImage::Format_RGB32).save(&bmp, "BMP");
        engine()->Screenshots(dir.filePath("shot.png"));
        QCOMPARE(QImage(dir.filePath("shot.png"), "PNG").size(), QSize(4, 2));
    }

    void audioOnlyRunsTheBlockTimer()
    {
        script().hasVideo = false;
        QSignalSpy video(engine(), &ZVQPlayObject::emitIsHaveVideo);
        openPlaying();
        QVERIFY(!video.at(0).at(0).toBool() && timerActive(1) && m_panel->window->isHidden());
        QTRY_VERIFY(m_panel->audioRates.size() >= 2);
        QCOMPARE(m_panel->audioRates.first(), 44100);
        engine()->pausePlay();
        QCOMPARE(FakeMmc::liveAudioBlocks(), 0);
    }

    void missingHandle()
    {
        script().player = 0;
        m_panel = std::make_unique<PanelStandIn>();
        const int created = FakeMmc::calls().size();
        QSignalSpy state(engine(), &ZVQPlayObject::emitPlayState);
        QSignalSpy closed(engine(), &ZVQPlayObject::emitClosePlay);
        QCOMPARE(engine()->SetPlayFile("/m/clip.mov", 0, 0), 0u);
        engine()->StartPlay();
        engine()->videoFrameStepUp();
        engine()->Screenshots("/nowhere.png");
        QCOMPARE(engine()->setSubtitle(SubtitleValue_Info()), 0);
        engine()->closePlay();
        QVERIFY(state.count() == 2 && closed.count() == 1);
        QCOMPARE(m_panel->audioRates, QList<int>{0});
        QCOMPARE(callsSince(created), QStringList());
    }

    void framesAreRouted()
    {
        unsigned char pixels[16 * 16 * 4] = {};
        unsigned char *planes[3] = {pixels, pixels + 256, pixels + 320};
        const int strides[3] = {16, 8, 8}, packed[3] = {64, 0, 0};
        engine()->SetPlayFile("/m/clip.mov", 0, 0);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_YUV420P, 16, 16, planes, strides), 1);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_BGRA, 16, 16, planes, packed), 1);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_RGB24, 16, 16, planes, strides), 0);
        QTRY_COMPARE(m_panel->window->videoShowWidget()->view()->counters().uploaded, 2);
        engine()->setPlayWindows(nullptr);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_YUV420P, 16, 16, planes, strides), 0);
    }

    void destructionWhileTheRefreshThreadSleeps()
    {
        engine()->SetPlayFile("/m/clip.mov", 0, 0);
        // Right after a refresh: the thread has its whole sleep ahead.
        for (const int seen = FakeMmc::refreshes(); FakeMmc::refreshes() == seen;)
            QThread::yieldCurrentThread();
        QElapsedTimer clock;
        clock.start();
        m_panel.reset();
        qInfo("engine destroyed in %lld ms", clock.elapsed());
        QCOMPARE(FakeMmc::calls().mid(FakeMmc::calls().size() - 2), QStringList({"Close", "DestroyPlayer"}));
    }
    void lookups()
    {
        const char *const cases[][2] = {{"eng", "English"}, {"ENG", "English"}, {"fre", "French"},
                                        {"fra", "French"},   {"en", "English"},  {"UND", "Undefined"},
                                        {"qaa", "Original audio"}, {"ell", "Greek, Modern ()"}, {"xx", ""}};
        for (const auto &c : cases) {
            const char32_t *found = LookupLanguageName(c[0]);
            QCOMPARE(found ? QString::fromUcs4(found) : QString(), QString(c[1]));
        }
        int rows = 0, differing = 0;
        for (; kIsoLanguages[rows].englishName; ++rows)
            differing += qstrcmp(kIsoLanguages[rows].threeLetter, kIsoLanguages[rows].threeLetterAlt) != 0;
        QVERIFY(rows == 166 && differing == 23);
        QVERIFY(QString::fromUcs4(kIsoLanguages[114].englishName) == "Original audio" && !*kIsoLanguages[114].twoLetter);
    }

    void labelsAndOrder()
    {
        QTemporaryDir dir;
        const QString movie = dir.filePath("clip.mov");
        touch(dir.filePath("clip.srt"));
        touch(dir.filePath("clip.idx"));
        script().audio = {{"eng", "Director", "aac"}, {"ENG", "", "aac"}, {"", "", ""}, {"xx", "", "mp3"}};
        script().subtitles = {{"en", "Forced", "subrip"}, {"", "", "ass"}};
        QCOMPARE(buildLists(movie),
                 QStringList({"No Subtitle", "English (Forced)(subrip)", "(ass)", "(clip)[SRT]", "(clip)[VOBSUB]"}));
        QCOMPARE(m_audio, QStringList({"English(Director)", "English(aac)", "()", "xx(mp3)"}));
        QCOMPARE(m_info.embeddedSubtitleCount, 2);
        QCOMPARE(QString::fromStdString(m_subtitles[3]->path), dir.filePath("clip.srt"));
        QCOMPARE(FakeMmc::calls().mid(1),
                 QStringList({"CreateMediaInfo", "OpenMediaFile", "CloseMedia", "DestroyMediaInfo"}));
        // No embedded subtitles: no list at all, side files or not.
        script().subtitles.clear();
        QVERIFY(buildLists(movie).isEmpty());
        // A file the library cannot read: both lists empty, the handle released.
        script().mediaOpenOk = false;
        buildLists(movie);
        QVERIFY(m_audio.isEmpty() && FakeMmc::calls().last() == "DestroyMediaInfo");
    }

    void sideFilesBelongToTheFileName()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("my.dir"));
        touch(dir.filePath("my.srt"));
        touch(dir.filePath("my.dir/clip.srt"));
        touch(dir.filePath("my.dir/clip.vtt"));
        script().subtitles = {{"", "", "subrip"}};
        QCOMPARE(buildLists(dir.filePath("my.dir/clip")), QStringList({"No Subtitle", "(subrip)", "(clip)[SRT]", "(clip)[WEBVTT]"}));
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
            QCOMPARE(engine()->setSubtitle(info), 1);
        }
        QCOMPARE(FakeMmc::calls().mid(1),
                 QStringList({"SelectAudioTrack 1", "SelectSubtitle -1", "SelectAudioTrack 1", "SelectSubtitle 0",
                              "SelectAudioTrack 1", "LoadSubtitleFile /m/clip.srt"}));
    }
};

PLAYER_TEST_MAIN(PlayEngineTest)
#include "tst_playengine.moc"
