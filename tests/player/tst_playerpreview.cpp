#include "../list/listfixture.h"
#include "playbtnwidget.h"
#include "playertestsupport.h"
#include "qconverteroperate.h"
#include "qmaindlg.h"
#include "qplaydlg.h"
#include "qplayerwidget.h"
#include "qvideoshowwidget.h"
#include "qzvbasebutton.h"
#include "videoconvertbar.h"
#include "videoimagewindow.h"
#include "videoview.h"
#include "zvcommoninterface.h"
#include "zvqplayobject.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScreen>

namespace {

constexpr int kWait = 30000;
// Sanitizer builds decode too slowly for real time: a 3 s clip may end before a check
// that needs it playing.
#ifndef GLINTORA_SANITIZED
constexpr bool kRealTime = true;
#else
constexpr bool kRealTime = false;
#endif

int frames(QPlayerWidget *panel)
{
    const VideoView *view = panel->m_videoPlayWidget->videoShowWidget()->view();
    return view ? view->counters().admitted : 0;
}

} // namespace

// The preview on the main road: three Live Photo-like clips imported into the list, played
// from a row's Play button in the real dialog, driven inside its modal run.
class TestPlayerPreview : public QObject
{
    Q_OBJECT

private:
    QString m_out;
    QStringList m_clips;
    QStringList m_revealed;

    void playThrough(QPlayDlg *dialog, const QMainDlg &pane)
    {
        QPlayerWidget *panel = dialog->playerWidget();
        PlayBtnWidget *strip = panel->playBtnWidget();
        QCOMPARE(dialog->playFileName(), pane.rows().at(0)->getVideoName());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Calvetrin Glintora"));
        QCOMPARE(dialog->minimumSize(), QSize(350, 492));
        QCOMPARE(panel->geometry(), QRect(2, 22, 346, 468));
        QTRY_VERIFY_WITH_TIMEOUT(frames(panel) > 0 && strip->m_videoProSlider->value() > 0, kWait);
        QVERIFY(!strip->m_btnPause->isHidden());
        if (kRealTime)
            QTRY_COMPARE_WITH_TIMEOUT(strip->m_timeLabel->text(), QStringLiteral("00:00:01 / 00:00:03"), kWait);

        strip->m_btnPause->click();
        const QString time = strip->m_timeLabel->text();
        int shown = frames(panel);
        QTest::qWait(300);
        QCOMPARE(strip->m_timeLabel->text(), time);
        QCOMPARE(frames(panel), shown);

        emit strip->m_videoProSlider->sendProgressValue(0.5);
        QCOMPARE(strip->m_timeLabel->text(), QStringLiteral("00:00:01 / 00:00:03"));
        QTRY_COMPARE_WITH_TIMEOUT(frames(panel), shown + 1, kWait);
        for (QZVBaseButton *step : {strip->m_btnFast, strip->m_btnBack}) {
            shown = frames(panel);
            step->click();
            QTRY_COMPARE_WITH_TIMEOUT(frames(panel), shown + 1, kWait);
            QVERIFY(!strip->m_btnPlay->isHidden());
        }
        QTest::qWait(100);
        QCOMPARE(frames(panel), shown + 1);

        emit strip->m_volumeSlider->sendProgressValue(0.0);
        QVERIFY(strip->IsMute());
        strip->m_btnMute->click();
        QVERIFY(!strip->IsMute());
        QCOMPARE(strip->m_volumeSlider->value(), 100.0);

        strip->m_btnSnapshoot->click();
        const QString shot = m_revealed.value(0);
        QVERIFY(QRegularExpression(QStringLiteral("^%1/Screenshots/ScreenCapture_\\d{17}\\.png$")
                                       .arg(QRegularExpression::escape(m_out))).match(shot).hasMatch());
        QCOMPARE(QImage(shot).size(), QSize(320, 240));

        QPointer<VideoImageWindow> firstWindow = panel->m_videoPlayWidget;
        panel->ShowPlayBtn(true);
        strip->m_btnNextVideo->click();
        QCOMPARE(dialog->playFileName(), pane.rows().at(1)->getVideoName());
        QVERIFY(!firstWindow);
        QVERIFY(panel->isShowPlayWgt()); // a visible strip keeps its display
        QTRY_VERIFY_WITH_TIMEOUT(frames(panel) > 0, kWait);
        strip->m_btnSnapshoot->click();
        QCOMPARE(m_revealed.size(), 2);
        QCOMPARE(QImage(m_revealed.last()).size(), QSize(240, 320));
        strip->m_btnPreVideo->click();
        QCOMPARE(dialog->playFileName(), pane.rows().at(0)->getVideoName());
        strip->m_btnPreVideo->click();
        QCOMPARE(dialog->playFileName(), pane.rows().at(2)->getVideoName());

        auto *close = dialog->findChild<QZVBaseButton *>(QStringLiteral("m_btnTitleClose"));
        strip->m_btnFullScreen->click();
        QVERIFY(dialog->isFullScreen() && close->isHidden());
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QTRY_COMPARE(dialog->geometry(), dialog->screen()->geometry());
        strip->m_btnNormalScreen->click();
        QVERIFY(!dialog->isFullScreen() && close->isVisible());
        strip->m_btnFullScreen->click();
        QTest::keyClick(dialog, Qt::Key_Escape); // leaves full screen and keeps the preview
        QVERIFY(dialog->isVisible() && !dialog->isFullScreen() && close->isVisible());
    }

    // Every way of closing stops playback before exec() returns.
    static void verifyStopped(QPlayDlg *dialog)
    {
        QVERIFY(dialog && dialog->isHidden() && !dialog->isFullScreen());
        const int state = dialog->playerWidget()->getPlay()->playState();
        QVERIFY2(state == 4 || (!kRealTime && state == 3), qPrintable(QString::number(state)));
        const int shown = frames(dialog->playerWidget());
        QTest::qWait(300);
        QCOMPARE(frames(dialog->playerWidget()), shown);
    }

private slots:
    void initTestCase()
    {
        const QString media = QDir::tempPath() + QStringLiteral("/media");
        QDir().mkpath(media);
        for (int i = 0; i < 3; ++i) {
            TestMedia::LivePhoto spec;
            spec.portrait = i == 1;
            m_clips << TestMedia::livePhoto(media, QStringLiteral("IMG_000%1.MOV").arg(i + 1), spec);
            QVERIFY2(!m_clips.last().isEmpty(), qPrintable(TestMedia::lastError()));
        }
        m_out = QDir::tempPath() + QStringLiteral("/out");
        QDir().mkpath(m_out);
        QConverterOperate::setConverterPath(m_out);
        ZvCommonInterface::setRevealHandler([this](const QString &path) { m_revealed << path; });
    }

    void playFromTheList()
    {
        QElapsedTimer clock;
        clock.start();
        QMainDlg pane;
        pane.resize(536, 600);
        pane.show();
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        pane.addImportFile(m_clips);
        QTRY_COMPARE_WITH_TIMEOUT(pane.rows().size(), 3, kWait);

        QPointer<QPlayDlg> dialog;
        dog.expect(QStringLiteral("QPlayDlg"), QString(), [&](QWidget *modal) {
            dialog = static_cast<QPlayDlg *>(modal);
            playThrough(dialog, pane);
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        emit pane.rows().at(0)->emitPlay();
        GLINTORA_VERIFY_WATCHDOG(dog);
        verifyStopped(dialog);

        const auto playThen = [&](int row, ModalWatchdog::Action close) {
            dog.expect(QStringLiteral("QPlayDlg"), QString(), ModalWatchdog::inspectThen([&, row](QWidget *) {
                QCOMPARE(dialog->playFileName(), pane.rows().at(row)->getVideoName());
                QTRY_VERIFY_WITH_TIMEOUT(frames(dialog->playerWidget()) > 0, kWait);
            }, close));
            emit pane.rows().at(row)->emitPlay();
            GLINTORA_VERIFY_WATCHDOG(dog);
            verifyStopped(dialog);
        };
        playThen(1, ModalWatchdog::clickButton(QStringLiteral("m_btnTitleClose")));
        playThen(2, [](QWidget *modal) { QVERIFY(modal->close()); }); // the window manager's close
        qInfo("%s: %lld ms", qPrintable(QGuiApplication::platformName()), clock.elapsed());
    }

    // A movie with sound ends as a silent one does: play shown, time back at 00:00:00,
    // and play starts it again.
    void endsWithSoundThenPlaysAgain()
    {
        QPlayDlg dialog;
        dialog.show();
        PlayBtnWidget *strip = dialog.playerWidget()->playBtnWidget();
        ZVQPlayObject *engine = dialog.playerWidget()->getPlay();
        dialog.setPlayFile(m_clips.first());
        for (int round = 0; round < 2; ++round) {
            QTRY_COMPARE_WITH_TIMEOUT(engine->playState(), 1, kWait);
            QTRY_COMPARE_WITH_TIMEOUT(engine->playState(), 3, kWait);
            QVERIFY(strip->m_btnPause->isHidden() && !strip->m_btnPlay->isHidden());
            QCOMPARE(strip->m_timeLabel->text(), QStringLiteral("00:00:00 / 00:00:03"));
            strip->m_btnPlay->click();
        }
        dialog.reject();
    }
};

PLAYER_TEST_MAIN(TestPlayerPreview)

#include "tst_playerpreview.moc"
