#include "playbtnwidget.h"
#include "qplaynamewgt.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>

// The control strip's pairs, slots and layout, and the name strip.
class TestPlayerStrips : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SkinFixtures::initToolkitTestEnvironment(); }

    void pairsAfterConstruction()
    {
        PlayBtnWidget strip;
        QVERIFY(!strip.m_btnPlay->isHidden() && strip.m_btnPause->isHidden());
        QVERIFY(strip.m_btnMute->isHidden() && strip.m_btnVolume->isHidden());
        QVERIFY(!strip.m_btnFullScreen->isHidden() && strip.m_btnNormalScreen->isHidden());
        QVERIFY(strip.m_btnScale->isHidden() && strip.m_btnWHSize->isHidden());
        for (QWidget *never : {static_cast<QWidget *>(strip.m_btnBack), static_cast<QWidget *>(strip.m_btnFast),
                               static_cast<QWidget *>(strip.m_btnSnapshoot), static_cast<QWidget *>(strip.m_btnTrack),
                               static_cast<QWidget *>(strip.m_volumeSlider)})
            QVERIFY2(never->isHidden(), qPrintable(never->objectName()));
        QCOMPARE(strip.m_timeLabel->text(), QStringLiteral("00:00:00 / 00:00:00"));
        QVERIFY(!strip.getBtnPalyHide());
        for (QWidget *child : strip.findChildren<QWidget *>())
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    }

    // The strip stays hidden: the pairs must not read visibility.
    void playPauseSwapBeforeSignalling()
    {
        PlayBtnWidget strip;
        QList<bool> pauseShownAtPlay, playShownAtPause;
        connect(&strip, &PlayBtnWidget::emitBtnPlay, [&] { pauseShownAtPlay << !strip.m_btnPause->isHidden(); });
        connect(&strip, &PlayBtnWidget::emitBtnPause, [&] { playShownAtPause << !strip.m_btnPlay->isHidden(); });
        strip.m_btnPlay->click();
        QVERIFY(strip.getBtnPalyHide());
        strip.m_btnPause->click();
        QCOMPARE(pauseShownAtPlay, QList<bool>{true});
        QCOMPARE(playShownAtPause, QList<bool>{true});
        strip.VideoBeginPlay(true);
        strip.VideoFinished();
        QVERIFY(!strip.m_btnPlay->isHidden() && strip.m_btnPause->isHidden());
    }

    void progressAndMute()
    {
        PlayBtnWidget strip;
        strip.setProcessValue(0.5);
        QCOMPARE(strip.m_videoProSlider->value(), 50.0);
        strip.setProcessValue(1.0);
        QCOMPARE(strip.m_videoProSlider->value(), 100.0);
        strip.setProcessValue(0);
        strip.resize(400, 50);
        strip.show();
        QSignalSpy seek(&strip, &PlayBtnWidget::sendProgressValue);
        QZVBaseSlider *slider = strip.m_videoProSlider;
        const QPoint mid(slider->width() / 2, slider->height() / 2);
        SkinFixtures::sendMouse(*slider, QEvent::MouseButtonPress, mid, Qt::LeftButton, Qt::LeftButton);
        SkinFixtures::sendMouse(*slider, QEvent::MouseMove, mid + QPoint(slider->width(), 0), Qt::NoButton, Qt::LeftButton);
        QVERIFY(!seek.isEmpty());
        QCOMPARE(seek.last().at(0).toDouble(), 1.0);

        QSignalSpy mute(&strip, &PlayBtnWidget::emitBtnVolume);
        strip.setMute(false);
        strip.OnBtnMute();
        QVERIFY(strip.IsMute() && !strip.m_btnMute->isHidden());
        strip.OnBtnMute();
        QVERIFY(!strip.IsMute() && strip.m_btnMute->isHidden());
        QCOMPARE(mute.size(), 2);
        QCOMPARE(mute.at(0).at(0).toBool(), true);
        QCOMPARE(mute.at(1).at(0).toBool(), false);
    }

    void screenAndScalePairs()
    {
        PlayBtnWidget strip;
        strip.setBtnScreenEnable(false);
        strip.OnBtnFullScreen();
        QVERIFY(!strip.m_btnFullScreen->isHidden() && strip.m_btnNormalScreen->isHidden());
        strip.setBtnScreenEnable(true);
        strip.OnBtnFullScreen();
        QVERIFY(strip.m_btnFullScreen->isHidden() && !strip.m_btnNormalScreen->isHidden());

        QSignalSpy keep(&strip, &PlayBtnWidget::emitKeepVideoScale);
        strip.setKeepVideoScale(true);
        QVERIFY(strip.m_btnScale->isChecked() && !strip.m_btnScale->isEnabled());
        QVERIFY(!strip.m_btnWHSize->isChecked() && strip.m_btnWHSize->isEnabled());
        strip.m_btnWHSize->click();
        QVERIFY(!strip.m_btnScale->isChecked() && strip.m_btnScale->isEnabled());
        QVERIFY(strip.m_btnWHSize->isChecked() && !strip.m_btnWHSize->isEnabled());
        QCOMPARE(keep.size(), 1);
        QCOMPARE(keep.at(0).at(0).toBool(), false);
    }

    void hiddenAbout()
    {
        PlayBtnWidget strip;
        strip.setTimeLabel(QStringLiteral("00:00:01 / 00:00:03"));
        strip.setHiddenAbout(true);
        QVERIFY(strip.m_videoProSlider->isHidden() && strip.m_timeLabel->isHidden());
        QVERIFY(strip.m_btnFast->isHidden() && strip.m_btnBack->isHidden());
        QVERIFY(!strip.m_btnPlay->isHidden() && strip.m_btnPause->isHidden());
        strip.setHiddenAbout(false);
        QVERIFY(!strip.m_videoProSlider->isHidden() && !strip.m_timeLabel->isHidden());
        QVERIFY(strip.m_btnPlay->isHidden() && !strip.m_btnPause->isHidden());
        QCOMPARE(strip.m_timeLabel->text(), QStringLiteral("00:00:00 / 00:00:00"));
    }

    void layoutFollowsButtonImages()
    {
        PlayBtnWidget strip;
        const auto skin = [](QZVBaseButton *button, int width) {
            QImage strip = SkinFixtures::solidStrip({Qt::red, Qt::green, Qt::blue, Qt::gray}, QSize(2 * width, 40));
            QVERIFY(button->setButtonImage(strip, true));
        };
        skin(strip.m_btnPreVideo, 30);
        skin(strip.m_btnPlay, 40);
        skin(strip.m_btnPause, 40);
        skin(strip.m_btnNextVideo, 30);
        strip.resize(879, 50);
        strip.resetControlLocation();
        QCOMPARE(strip.m_btnPreVideo->geometry(), QRect(369, 10, 30, 20));
        QCOMPARE(strip.m_btnPlay->x(), 418);
        QCOMPARE(strip.m_btnPause->geometry().right(), 457);
        QCOMPARE(strip.m_btnNextVideo->x(), 477);
        QCOMPARE(strip.m_videoProSlider->geometry(), QRect(10, 34, 859, 12));
        QCOMPARE(strip.m_btnFullScreen->geometry().right(), 879 - 11);
    }

    // Escape goes on to the dialog below; a child dialog would otherwise hide itself.
    void stripsLeaveEscapeAlone()
    {
        QWidget host;
        auto *strip = new PlayBtnWidget(&host);
        auto *name = new QPlayNameWgt(&host);
        host.show();
        strip->show();
        name->show();
        QVERIFY(!strip->isWindow() && !name->isWindow());
        QTest::keyClick(strip, Qt::Key_Escape);
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(strip->isVisible() && name->isVisible());
    }

    void nameStripCentresItsText()
    {
        QWidget host;
        auto *name = new QPlayNameWgt(&host);
        const Qt::WindowFlags flags = name->windowFlags();
        name->setDialogWindow(false);
        QCOMPARE(name->windowFlags(), flags);
        name->setDialogWindow(true);
        QCOMPARE(name->windowFlags(), flags);
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint) && !name->isWindow());
        name->setDlgTitle(QStringLiteral("IMG_0001.MOV"));
        host.show();
        name->show();
        for (const QSize size : {QSize(346, 20), QSize(800, 40), QSize(120, 60)}) {
            name->resize(size);
            const QRect ink = SkinFixtures::inkBounds(SkinFixtures::render(*name), QColor(255, 255, 255, 1));
            QVERIFY(!ink.isEmpty());
            QVERIFY2(qAbs(ink.center().x() - size.width() / 2) <= 2 && qAbs(ink.center().y() - size.height() / 2) <= 2,
                     qPrintable(QStringLiteral("%1 in %2x%3").arg(ink.center().x()).arg(size.width()).arg(size.height())));
        }
    }
};

GLINTORA_TEST_MAIN(TestPlayerStrips)
#include "tst_playerstrips.moc"
