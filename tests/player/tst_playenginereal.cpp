#include "playertestsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "qvideoshowwidget.h"
#include "testmedia.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kPatience = 3;
#else
constexpr int kPatience = 1;
#endif

int uploaded(const PanelStandIn &panel)
{
    VideoView *view = panel.window ? panel.window->videoShowWidget()->view() : nullptr;
    return view ? view->counters().uploaded : 0;
}

} // namespace

class PlayEngineRealTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip;

private slots:
    void initTestCase()
    {
        m_clip = TestMedia::livePhoto(m_dir.path(), "clip.mov");
        QVERIFY2(!m_clip.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void playsToTheEnd()
    {
        PanelStandIn panel;
        QSignalSpy text(panel.engine, &ZVQPlayObject::emitPlayTime);
        QSignalSpy progress(panel.engine, &ZVQPlayObject::emitPlayPro);
        QSignalSpy finish(panel.engine, &ZVQPlayObject::emitPlayFinish);
        QCOMPARE(panel.engine->SetPlayFile(m_clip, 0, 0), 1u);
        panel.engine->StartPlay();
        QTRY_VERIFY_WITH_TIMEOUT(uploaded(panel) > 10, 5000 * kPatience);
        QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty() && !text.last().at(0).toString().startsWith("00:00:00 /"),
                                 5000 * kPatience);
        QVERIFY(text.last().at(0).toString().endsWith("/ 00:00:03"));
        QVERIFY(!progress.isEmpty() && progress.last().at(0).toDouble() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(panel.engine->playState(), 3, 10000 * kPatience);
        QVERIFY(finish.count() == 1 && progress.last().at(0).toDouble() == 0.0);
    }

    void screenshotAndSecondOpen()
    {
        PanelStandIn panel;
        QCOMPARE(panel.engine->SetPlayFile(m_clip, 0, 0), 1u);
        panel.engine->StartPlay();
        QTRY_VERIFY_WITH_TIMEOUT(uploaded(panel) > 0, 5000 * kPatience);
        panel.engine->pausePlay();
        const QString shot = m_dir.filePath("shot.png");
        panel.engine->Screenshots(shot);
        QCOMPARE(QImage(shot, "PNG").size(), QSize(320, 240));
        const QPointer<VideoImageWindow> first = panel.window;
        QCOMPARE(panel.engine->SetPlayFile(m_clip, 0, 0), 1u);
        QVERIFY(!first && panel.window);
    }

    void realTracks()
    {
        const QString movie = TestMedia::multiTrackMovie(m_dir.path(), "multi.mkv");
        QVERIFY(!movie.isEmpty());
        QVERIFY(QFile::copy(movie + ".srt", m_dir.filePath("multi.srt")));
        PanelStandIn panel;
        QList<subltItemInfo *> subtitles;
        QStringList audio;
        SubtitleValue_Info info;
        panel.engine->SetPlayFile(movie, 0, 0);
        panel.engine->getSubltListOrAudioList(subtitles, audio, info, movie);
        QCOMPARE(audio, QStringList({"English(aac)", "French(Director)"}));
        QCOMPARE(titles(subtitles), QStringList({"No Subtitle", "English (Forced)(subrip)", "(multi)[SRT]"}));
        info.audioTrackIndex = 1;
        info.subtitleIndex = 1;
        QCOMPARE(panel.engine->setSubtitle(info), 1);
        qDeleteAll(subtitles);
    }

    void rounds()
    {
        for (int round = 0; round < 20; ++round) {
            PanelStandIn panel;
            QCOMPARE(panel.engine->SetPlayFile(m_clip, 0, 0), 1u);
            panel.engine->StartPlay();
            QTRY_VERIFY_WITH_TIMEOUT(uploaded(panel) > 0, 5000 * kPatience);
            panel.engine->ProgressValueChange(0.5);
            panel.engine->videoFrameStepUp();
            panel.engine->pausePlay();
            panel.engine->closePlay();
        }
    }
};

PLAYER_TEST_MAIN(PlayEngineRealTest)
#include "tst_playenginereal.moc"
