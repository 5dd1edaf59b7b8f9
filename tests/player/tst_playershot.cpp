#include "../list/listfixture.h"
#include "playbtnwidget.h"
#include "playertestsupport.h"
#include "qmaindlg.h"
#include "qplaydlg.h"
#include "qplayerwidget.h"
#include "screenshotfolder.h"
#include "videoconvertbar.h"

#include <QDir>

// Saves pictures of the playing Play dialog as the X11 platform shows it, strips and
// level bars included: a movie one second in with the control strip up, and a sound file
// with its bars moving. Run by scripts/screenshot.
class TestPlayerShot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(ScreenshotFolder::prepareScreen()); }

    void shots()
    {
        const QString media = QDir::tempPath() + QStringLiteral("/media");
        QDir().mkpath(media);
        QStringList clips;
        for (const char *name : {"IMG_0001.MOV", "IMG_0002.MOV", "IMG_0003.MOV"}) {
            clips << TestMedia::livePhoto(media, QLatin1String(name));
            QVERIFY2(!clips.last().isEmpty(), qPrintable(TestMedia::lastError()));
        }
        // Noise lights every bar, where a pure tone would light one.
        const QString sound = media + QStringLiteral("/noise.m4a");
        QVERIFY2(TestMedia::runFfmpeg({"-f", "lavfi", "-i", "anoisesrc=color=pink:duration=4", "-c:a", "aac", sound}),
                 qPrintable(TestMedia::lastError()));

        QMainDlg pane;
        pane.show();
        ModalWatchdog dog;
        ListFixture::expectImport(dog);
        pane.addImportFile(clips);
        QTRY_COMPARE_WITH_TIMEOUT(pane.rows().size(), 3, 10000);
        dog.expect(QStringLiteral("QPlayDlg"), QString(), [&](QWidget *modal) {
            auto *dialog = static_cast<QPlayDlg *>(modal);
            QPlayerWidget *panel = dialog->playerWidget();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QPlayerWidget::setHistoryDlgActivate(true);
            // The mouse near the bottom edge keeps the control strip up.
            QCursor::setPos(panel->mapToGlobal(QPoint(panel->width() / 2, panel->height() - 5)));
            // Past the start and not yet back at it: a loaded machine, or a sanitizer build,
            // may play slower than real time.
            const auto playing = [panel] {
                const QString time = panel->playBtnWidget()->m_timeLabel->text();
                return !time.isEmpty() && !time.startsWith(QLatin1String("00:00:00"));
            };
            QTRY_VERIFY_WITH_TIMEOUT(playing(), 30000);
            QTRY_VERIFY(panel->isShowPlayWgt());
            QVERIFY(ScreenshotFolder::saveFromScreen(dialog, QStringLiteral("player.png")));

            dialog->resize(520, 492); // wide enough for all the bars
            dialog->setPlayFileName(QStringLiteral("noise.m4a"));
            dialog->setPlayFile(sound);
            QTRY_VERIFY_WITH_TIMEOUT(playing(), 30000);
            QVERIFY(ScreenshotFolder::saveFromScreen(dialog, QStringLiteral("player-audio.png")));
            dialog->reject();
        });
        emit pane.rows().at(0)->emitPlay();
        GLINTORA_VERIFY_WATCHDOG(dog);
    }
};

PLAYER_TEST_MAIN(TestPlayerShot)

#include "tst_playershot.moc"
