#include "playertestsupport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "fakemmc.h"
#include "qvideoshowwidget.h"
#include "videoview.h"

using FakeMmc::script;

class PlayEngineTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PanelStandIn> m_panel;
    ZVQPlayObject *engine() const { return m_panel->engine; }
    QList<QTimer *> timers() const { return engine()->findChildren<QTimer *>(); }
    bool anyTimerActive() const { return timers()[0]->isActive() || timers()[1]->isActive(); }
    void openPlaying()
    {
        QCOMPARE(engine()->SetPlayFile("/m/clip.mov", 0, 0), 1u);
        engine()->StartPlay();
        QCOMPARE(engine()->playState(), 1);
    }

private slots:
    void initTestCase() { QVideoShowWidget::setForceRaster(true); }
    void init()
    {
        FakeMmc::reset();
        m_panel = std::make_unique<PanelStandIn>();
        m_panel->onRefresh = [] { FakeMmc::note("RefreshPlayView"); };
    }
    void cleanup() { m_panel.reset(); }

    void timeTexts()
    {
        QSignalSpy text(engine(), &ZVQPlayObject::emitPlayTime);
        engine()->ShowTime(0);
        engine()->ShowTime(59999900);
        script().duration = 100ull * 3600 * 1000000;
        engine()->ShowTime(0);
        QCOMPARE(text.at(0).at(0).toString(), QString("00:00:00 / 00:01:23"));
        QVERIFY(text.at(1).at(0).toString().startsWith("00:00:59 / "));
        QCOMPARE(text.at(2).at(0).toString(), QString("00:00:00 / 100:00:00"));
    }

    void ticks()
    {
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        QSignalSpy text(engine(), &ZVQPlayObject::emitPlayTime);
        engine()->UpdateTime();
        QCOMPARE(progress.count() + text.count(), 0);
        script().position = 41750000;
        engine()->UpdateTime();
        QCOMPARE(progress.takeFirst().at(0).toDouble(), 0.5);
        // A length unknown: the time text only.
        script().duration = 0;
        engine()->UpdateTime();
        QCOMPARE(progress.count(), 0);
        QCOMPARE(text.count(), 2);
    }

    void openCallsInOrder()
    {
        QPointer<VideoImageWindow> first = m_panel->window;
        QCOMPARE(engine()->SetPlayFile("/m/clip.mov", 0, 0), 1u);
        QVERIFY(m_panel->window && m_panel->window != first);
        QCOMPARE(FakeMmc::calls(), QStringList({"CreatePlayer", "Stop", "RefreshPlayView", "Open /m/clip.mov",
                                                "SetInterval 50000", "SetVolume 100", "SetFrameCallback"}));
        QTRY_VERIFY(FakeMmc::refreshes() > 0);
        // A second open after the end stops nothing; a failed one resets the display.
        script().ended = true;
        script().openOk = false;
        QSignalSpy finish(engine(), &ZVQPlayObject::emitPlayFinish);
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        QCOMPARE(engine()->SetPlayFile("/m/bad.mov", 0, 0), 0u);
        QCOMPARE(FakeMmc::calls().mid(7), QStringList({"RefreshPlayView", "Open /m/bad.mov"}));
        QCOMPARE(engine()->playState(), 4);
        QCOMPARE(finish.count(), 1);
        QCOMPARE(progress.at(0).at(0).toDouble(), 0.0);
        QVERIFY(m_panel->window->isHidden());
    }

    void states()
    {
        openPlaying();
        QVERIFY(!m_panel->window->isHidden() && timers()[0]->isActive() && !timers()[1]->isActive());
        engine()->pausePlay();
        QCOMPARE(engine()->playState(), 2);
        QVERIFY(!anyTimerActive());
        engine()->StartPlay();
        script().ended = true;
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        QSignalSpy finish(engine(), &ZVQPlayObject::emitPlayFinish);
        engine()->UpdateTime();
        QCOMPARE(engine()->playState(), 3);
        QCOMPARE(progress.count(), 2);
        QCOMPARE(finish.count(), 1);
        QCOMPARE(m_panel->audioRates.last(), 0);
        // Stop acts only before the end; play after the end stops first.
        const int before = FakeMmc::calls().size();
        engine()->OnBtnStop();
        QCOMPARE(FakeMmc::calls().size(), before);
        engine()->OnPlayVideo();
        QCOMPARE(FakeMmc::calls().mid(before), QStringList({"Stop", "Play"}));
        script().ended = false;
        engine()->OnBtnStop();
        QCOMPARE(engine()->playState(), 4);
        QVERIFY(m_panel->window->isHidden());
        // Refused: the strip must not go on showing pause.
        script().playOk = false;
        QSignalSpy state(engine(), &ZVQPlayObject::emitPlayState);
        engine()->StartPlay();
        QCOMPARE(engine()->playState(), 5);
        QCOMPARE(state.count(), 2);
        QCOMPARE(state.at(1).at(0).toBool(), false);
        QVERIFY(!anyTimerActive());
    }

    void seekAfterTheEndStopsFirst()
    {
        openPlaying();
        engine()->pausePlay();
        script().ended = true;
        const int before = FakeMmc::calls().size();
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        engine()->ProgressValueChange(0.5);
        QCOMPARE(FakeMmc::calls().mid(before), QStringList({"Stop", "Seek 41750000"}));
        QCOMPARE(engine()->playState(), 2);
        QCOMPARE(progress.count(), 0);
    }

    void frameStepPausesFirst()
    {
        openPlaying();
        script().position = 1000000;
        QSignalSpy state(engine(), &ZVQPlayObject::emitPlayState);
        QSignalSpy progress(engine(), &ZVQPlayObject::emitPlayPro);
        const int before = FakeMmc::calls().size();
        engine()->videoFrameStepUp();
        QCOMPARE(FakeMmc::calls().mid(before), QStringList({"Pause", "StepFrame 1"}));
        QCOMPARE(engine()->playState(), 2);
        QVERIFY(!anyTimerActive());
        QCOMPARE(state.at(0).at(0).toBool(), false);
        QCOMPARE(m_panel->audioRates, QList<int>{0});
        QCOMPARE(progress.count(), 1);
        engine()->videoFrameStepDown();
        QCOMPARE(FakeMmc::calls().last(), QString("StepFrame -1"));
    }

    void screenshotSizes_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("aspect");
        QTest::addColumn<QString>("capture");
        QTest::newRow("1440x1080 16:9") << QSize(1440, 1080) << QSize(16, 9) << "Capture 1920x1080";
        QTest::newRow("720x576 4:3") << QSize(720, 576) << QSize(4, 3) << "Capture 768x576";
        QTest::newRow("1920x1080 16:9") << QSize(1920, 1080) << QSize(16, 9) << "Capture 1920x1080";
        QTest::newRow("1920x1080 1:1") << QSize(1920, 1080) << QSize(1, 1) << "Capture 1920x1920";
        QTest::newRow("no aspect") << QSize(1920, 1080) << QSize(0, 9) << "Capture 0x0";
    }

    void screenshotSizes()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, aspect);
        QFETCH(QString, capture);
        script().width = uint32_t(picture.width());
        script().height = uint32_t(picture.height());
        script().aspectX = uint32_t(aspect.width());
        script().aspectY = uint32_t(aspect.height());
        QTemporaryDir dir;
        engine()->Screenshots(dir.filePath("none.png"));
        QCOMPARE(FakeMmc::calls().last(), capture);
        QVERIFY(!QFile::exists(dir.filePath("none.png")));
        QBuffer bmp(&script().capture);
        bmp.open(QIODevice::WriteOnly);
        QImage(4, 2, QImage::Format_RGB32).save(&bmp, "BMP");
        engine()->Screenshots(dir.filePath("shot.png"));
        QCOMPARE(QImage(dir.filePath("shot.png"), "PNG").size(), QSize(4, 2));
        QCOMPARE(FakeMmc::calls().last(), QString("ReleaseCapture"));
    }

    void audioOnlyRunsTheBlockTimer()
    {
        script().hasVideo = false;
        QSignalSpy video(engine(), &ZVQPlayObject::emitIsHaveVideo);
        openPlaying();
        QCOMPARE(video.at(0).at(0).toBool(), false);
        QVERIFY(timers()[1]->isActive() && m_panel->window->isHidden());
        QTRY_VERIFY(m_panel->audioRates.size() >= 2);
        QCOMPARE(m_panel->audioRates.first(), 44100);
        QCOMPARE(FakeMmc::liveAudioBlocks(), 0);
    }

    void missingHandle()
    {
        script().player = 0;
        m_panel = std::make_unique<PanelStandIn>();
        const int created = FakeMmc::calls().size();
        QSignalSpy state(engine(), &ZVQPlayObject::emitPlayState);
        QSignalSpy finish(engine(), &ZVQPlayObject::emitPlayFinish);
        QSignalSpy closed(engine(), &ZVQPlayObject::emitClosePlay);
        QCOMPARE(engine()->SetPlayFile("/m/clip.mov", 0, 0), 0u);
        engine()->StartPlay();
        engine()->videoFrameStepUp();
        engine()->Screenshots("/nowhere.png");
        QCOMPARE(engine()->setSubtitle(SubtitleValue_Info()), 0);
        engine()->closePlay();
        QCOMPARE(state.count(), 2);
        QCOMPARE(finish.count(), 1);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(m_panel->audioRates, QList<int>{0});
        QCOMPARE(FakeMmc::calls().mid(created), QStringList());
    }

    void framesAreRouted()
    {
        unsigned char pixels[16 * 16 * 4] = {};
        unsigned char *planes[3] = {pixels, pixels + 256, pixels + 320};
        const int strides[3] = {16, 8, 8};
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_YUV420P, 16, 16, planes, strides), -1);
        engine()->SetPlayFile("/m/clip.mov", 0, 0);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_YUV420P, 16, 16, planes, strides), 1);
        const int packedStride[3] = {64, 0, 0};
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_BGRA, 16, 16, planes, packedStride), 1);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_RGB24, 16, 16, planes, strides), 0);
        QTRY_COMPARE(m_panel->window->videoShowWidget()->view()->counters().uploaded, 2);
        engine()->setPlayWindows(nullptr);
        QCOMPARE(FakeMmc::sendFrame(MMC_PIX_YUV420P, 16, 16, planes, strides), 0);
    }

    void destructionWhileTheRefreshThreadSleeps()
    {
        engine()->SetPlayFile("/m/clip.mov", 0, 0);
        QTRY_VERIFY(FakeMmc::refreshes() > 0);
        QElapsedTimer clock;
        clock.start();
        m_panel.reset();
        qInfo("engine destroyed in %lld ms", clock.elapsed());
        QCOMPARE(FakeMmc::calls().mid(FakeMmc::calls().size() - 2), QStringList({"Close", "DestroyPlayer"}));
    }
};

PLAYER_TEST_MAIN(PlayEngineTest)
#include "tst_playengine.moc"
