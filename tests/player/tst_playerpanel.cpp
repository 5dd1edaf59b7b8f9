#include "fakemmc.h"
#include "playbtnwidget.h"
#include "modalwatchdog.h"
#include "playertestsupport.h"
#include "qzvmessagedlg.h"
#include "qaudiodatawidget.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qplayerwidget.h"
#include "qzvmenu.h"
#include "zvcommoninterface.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>

// The panel over the scripted codec library: screenshots, volume, the strip's band, the
// track menu, audio-only media and the picture's aspect in full screen.
class TestPlayerPanel : public QObject
{
    Q_OBJECT

private:
    QStringList m_revealed;
    int m_activationsSeen = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_activationsSeen += event->type() == QEvent::WindowActivate;
        return false;
    }

private slots:
    void initTestCase()
    {
        ZvCommonInterface::setRevealHandler([this](const QString &path) { m_revealed << path; });
    }

    void init()
    {
        FakeMmc::reset();
        QBuffer png(&FakeMmc::script().capture);
        png.open(QIODevice::WriteOnly);
        QImage(8, 8, QImage::Format_RGB32).save(&png, "PNG");
        m_revealed.clear();
        QPlayerWidget::resetStaticsForTests();
    }

    void screenshots()
    {
        QTemporaryDir out;
        QConverterOperate::setConverterPath(out.path());
        QPlayerWidget panel;
        panel.setScreenshotClock([] { return QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7, 89)); });
        panel.PlayVideoFile(QStringLiteral("/m/clip.mov"));
        for (int i = 0; i < 3; ++i)
            panel.OnScreenshots();
        QConverterOperate::setConverterPath(out.path() + QStringLiteral("/"));
        panel.OnScreenshots();
        const QString base = out.path() + QStringLiteral("/Screenshots/ScreenCapture_20210304050607089");
        QCOMPARE(m_revealed, QStringList({base + ".png", base + "(1).png", base + "(2).png", base + "(3).png"}));
        QVERIFY(QFile::exists(m_revealed.last()));

        // A failed capture writes nothing, is not shown as a success, and says so.
        FakeMmc::script().capture.clear();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no screenshot was written")));
        QString said;
        ModalWatchdog dog;
        dog.expect(QStringLiteral("QZVMessageDlg"), QString(), ModalWatchdog::inspectThen([&said](QWidget *modal) {
            said = static_cast<QZVMessageDlg *>(modal)->message();
        }, ModalWatchdog::reject()));
        panel.OnScreenshots();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY2(said.startsWith(QStringLiteral("The screenshot could not be saved")), qPrintable(said));
        QCOMPARE(m_revealed.size(), 4);

        // An unset or vanished output folder falls back to the default one; nothing else is made.
        init();
        for (const QString &output : {QString(), QDir::tempPath() + QStringLiteral("/unplugged/drive")}) {
            QConverterOperate::setConverterPath(output);
            panel.OnScreenshots();
        }
        QCOMPARE(m_revealed.size(), 2);
        for (const QString &path : qAsConst(m_revealed))
            QVERIFY(path.startsWith(QIAnyUtil::getDocumentPath() + QStringLiteral("/Converted/Screenshots/")));
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/unplugged")));
    }

    void volumeMapping()
    {
        QPlayerWidget panel;
        PlayBtnWidget *strip = panel.playBtnWidget();
        emit strip->m_volumeSlider->sendProgressValue(0.0);
        QVERIFY(strip->IsMute());
        panel.OnBtnVolume(false);
        QCOMPARE(strip->m_volumeSlider->value(), 100.0);
        QCOMPARE(FakeMmc::calls().mid(FakeMmc::calls().size() - 2), QStringList({"SetVolume 0", "SetVolume 200"}));
    }

    void stripFollowsTheCursor()
    {
        QPlayerWidget panel;
        panel.resize(346, 468);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        PlayBtnWidget *strip = panel.playBtnWidget();
        const auto shownAt = [&](int x, int y) {
            QCursor::setPos(panel.mapToGlobal(QPoint(x, y)));
            panel.MouseMoveTimer();
            return panel.isShowPlayWgt();
        };
        QVERIFY(!shownAt(100, 440)); // neither window active

        // The strip's own activation counts; neither its base nor its children see it.
        panel.ShowPlayBtn(true);
        for (QWidget *child : strip->findChildren<QWidget *>())
            child->installEventFilter(this);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(strip, &activate);
        QCOMPARE(m_activationsSeen, 0);

        // The band: 3 <= x < W - 2 and H - 100 < y < H, with W x H = 346 x 468.
        const QList<std::tuple<int, int, bool>> points{{3, 369, true}, {343, 467, true}, {2, 430, false},
                                                       {344, 430, false}, {170, 368, false}, {170, 468, false}};
        for (const auto &[x, y, inside] : points)
            QCOMPARE(shownAt(x, y), inside);
        QCOMPARE(strip->geometry(), QRect(13, 408, 320, 50));
        panel.startShowPlayWgt();
        for (int tick = 0; tick < 15; ++tick)
            QVERIFY(shownAt(170, 10));
        QVERIFY(!shownAt(170, 10));
    }

    void trackMenu()
    {
        FakeMmc::script().audio = {{"eng", "Director", "aac"}, {"fre", "", "aac"}};
        FakeMmc::script().subtitles = {{"eng", "Forced", "subrip"}};
        QPlayerWidget panel;
        panel.PlayVideoFile(QStringLiteral("/m/clip.mkv"));
        const QList<QAction *> actions = panel.findChild<QZVMenu *>()->actions();
        QStringList texts;
        for (QAction *action : actions)
            texts << action->text() + (action->isEnabled() ? "" : "-") + (action->isChecked() ? "*" : "");
        QCOMPARE(texts, QStringList({"Audio Track-", "English(Director)*", "French(aac)", "", "Subtitle Track-",
                                     "No Subtitle*", "English (Forced)(subrip)"}));
        FakeMmc::note(QStringLiteral("-"));
        actions.at(2)->trigger();
        actions.at(2)->trigger(); // the current choice again does nothing
        actions.at(6)->trigger();
        const QStringList calls = FakeMmc::calls();
        QCOMPARE(calls.mid(calls.lastIndexOf("-") + 1),
                 QStringList({"SelectAudioTrack 1", "SelectSubtitle -1", "SelectAudioTrack 1", "SelectSubtitle 0"}));

        const int actionCount = panel.findChildren<QAction *>().size();
        QPointer<QAction> old = actions.at(1);
        panel.PlayVideoFile(QStringLiteral("/m/clip.mkv"));
        QVERIFY(!old);
        QCOMPARE(panel.findChildren<QAction *>().size(), actionCount);
    }

    void audioOnlyShowsTheBars()
    {
        FakeMmc::script().hasVideo = false;
        QPlayerWidget panel;
        panel.resize(600, 500);
        panel.show();
        panel.PlayVideoFile(QStringLiteral("/m/tone.m4a"));
        auto *bars = panel.findChild<QAudioDataWidget *>();
        QVERIFY(bars->isVisible() && panel.m_videoPlayWidget->isHidden());
        QCOMPARE(bars->geometry(), QRect(105, 110, 390, 230)); // centred 25 px above the middle
        panel.OnScreenshots();
        QVERIFY(m_revealed.isEmpty() && !FakeMmc::calls().join(',').contains("Capture"));
    }

    void fullScreenAspectFollowsTheToggle()
    {
        FakeMmc::script().width = 320;
        FakeMmc::script().height = 240;
        QPlayerWidget panel;
        panel.resize(800, 600);
        panel.show();
        panel.PlayVideoFile(QStringLiteral("/m/clip.mov"));
        const auto picture = [&] { return panel.m_videoPlayWidget->getVideoRect().size(); };
        panel.setFullScreen(true);
        QCOMPARE(picture(), QSize(800, 450));
        panel.playBtnWidget()->m_btnWHSize->click();
        QCOMPARE(picture(), QSize(320, 240));
        panel.setFullScreen(false);
        QCOMPARE(picture(), QSize(796, 447));
        panel.setFullScreen(true);
        QCOMPARE(picture(), QSize(320, 240));
    }
};

PLAYER_TEST_MAIN(TestPlayerPanel)
#include "tst_playerpanel.moc"
