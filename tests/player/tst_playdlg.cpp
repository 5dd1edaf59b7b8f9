#include "playbtnwidget.h"
#include "qplaydlg.h"
#include "qplayerwidget.h"
#include "qvideoshowwidget.h"
#include "qzvbasebutton.h"
#include "testhome.h"
#include "testmedia.h"
#include "videoimagewindow.h"
#include "videoview.h"
#include "zvqplayobject.h"

#include <QScreen>
#include <QSignalSpy>

namespace {

int frames(QPlayDlg &dialog)
{
    const VideoView *view = dialog.playerWidget()->m_videoPlayWidget->videoShowWidget()->view();
    return view ? view->counters().admitted : 0;
}

QImage titleBand(QPlayDlg &dialog)
{
    return dialog.grab(QRect(30, 0, 290, 22)).toImage();
}

} // namespace

// The Play dialog's frame, full screen, file requests and every way of closing it.
class TestPlayDlg : public QObject
{
    Q_OBJECT

private:
    QString m_clip;

private slots:
    void initTestCase()
    {
        m_clip = TestMedia::livePhoto(QDir::tempPath(), QStringLiteral("clip.mov"));
        QVERIFY2(!m_clip.isEmpty(), qPrintable(TestMedia::lastError()));
    }

    void init() { QPlayerWidget::resetStaticsForTests(); }

    void frameAndFullScreen()
    {
        QPlayDlg dialog;
        QCOMPARE(dialog.size(), QSize(350, 492));
        dialog.resize(200, 200);
        QCOMPARE(dialog.size(), QSize(350, 492));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.playerWidget()->geometry(), QRect(2, 22, 346, 468));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Calvetrin Glintora"));
        for (const char *name : {"m_btnTitleMin", "m_btnTitleMax"}) {
            auto *button = dialog.findChild<QZVBaseButton *>(QLatin1String(name));
            QVERIFY(button->isVisible() && !button->isEnabled());
        }
        QPlayDlg named;
        named.setPlayFileName(QStringLiteral("Play"));
        QCOMPARE(titleBand(named), titleBand(dialog));
        named.setPlayFileName(QStringLiteral("IMG_0001.MOV"));
        QVERIFY(titleBand(named) != titleBand(dialog));

        auto *close = dialog.findChild<QZVBaseButton *>(QStringLiteral("m_btnTitleClose"));
        dialog.OnFullScreen();
        QTRY_COMPARE(dialog.geometry(), dialog.screen()->geometry());
        QCOMPARE(dialog.playerWidget()->geometry(), dialog.rect());
        QVERIFY(close->isHidden());
        dialog.OnFullScreen();
        QTRY_COMPARE(dialog.size(), QSize(350, 492));
        QVERIFY(close->isVisible());
    }

    void fileRequestsOnly()
    {
        QPlayDlg dialog;
        QSignalSpy previous(&dialog, &QPlayDlg::emitPreFile);
        QSignalSpy next(&dialog, &QPlayDlg::emitNextFile);
        PlayBtnWidget *strip = dialog.playerWidget()->playBtnWidget();
        strip->m_btnPreVideo->click();
        QCOMPARE(previous.size(), 1);
        QCOMPARE(next.size(), 0);
        strip->m_btnNextVideo->click();
        QCOMPARE(previous.size(), 1);
        QCOMPARE(next.size(), 1);
        QVERIFY(dialog.playFile().isEmpty());
    }

    void visibleStripKeepsItsDisplay()
    {
        QPlayDlg dialog;
        dialog.show();
        QPlayerWidget *panel = dialog.playerWidget();
        QPlayerWidget::setHistoryDlgActivate(true);
        panel->ShowPlayBtn(true);
        dialog.setPlayFile(m_clip);
        QVERIFY(panel->isShowPlayWgt());
        panel->ShowPlayBtn(false);
        dialog.setPlayFile(m_clip);
        QVERIFY(!panel->isShowPlayWgt());
        QCursor::setPos(panel->mapToGlobal(QPoint(panel->width() / 2, 0)));
        panel->MouseMoveTimer();
        QVERIFY(panel->isShowPlayWgt());
    }

    // Escape (also in full screen) and the window manager's close take the close button's
    // path: playback stops before the dialog hides.
    void closingStopsPlayback_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape in full screen") << true;
        QTest::newRow("close event") << false;
    }

    void closingStopsPlayback()
    {
        QFETCH(bool, escape);
        QPlayDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.setPlayFile(m_clip);
        QTRY_VERIFY_WITH_TIMEOUT(frames(dialog) > 0, 10000);
        if (escape) {
            dialog.OnFullScreen();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            QVERIFY(dialog.close());
        }
        QVERIFY(dialog.isHidden() && !dialog.isFullScreen());
        QCOMPARE(dialog.playerWidget()->getPlay()->playState(), 4);
        const int shown = frames(dialog);
        QTest::qWait(300);
        QCOMPARE(frames(dialog), shown);
    }
};

GLINTORA_TEST_MAIN(TestPlayDlg)
#include "tst_playdlg.moc"
