#include "playbtnwidget.h"
#include "qplaynamewgt.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>

// The control strip's pairs, slots and layout, and the name strip. The strip stays hidden
// throughout, as the panel's strip often is: the pairs must not read visibility.
class TestPlayerStrips : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SkinFixtures::initToolkitTestEnvironment(); }

    void pairsAndSignals()
    {
        PlayBtnWidget strip;
        const QList<QWidget *> shown{strip.m_btnPlay, strip.m_btnPreVideo, strip.m_btnNextVideo, strip.m_btnFullScreen,
                                     strip.m_videoProSlider, strip.m_timeLabel};
        for (QWidget *child : strip.findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(child) || qobject_cast<QZVBaseSlider *>(child);
            QCOMPARE(child->focusPolicy(), control ? Qt::TabFocus : Qt::NoFocus);
            if (child->parentWidget() == &strip)
                QVERIFY2(child->isHidden() != shown.contains(child), qPrintable(child->objectName()));
        }
        QList<bool> otherShownAtSignal;
        connect(&strip, &PlayBtnWidget::emitBtnPlay, [&] { otherShownAtSignal << !strip.m_btnPause->isHidden(); });
        connect(&strip, &PlayBtnWidget::emitBtnPause, [&] { otherShownAtSignal << !strip.m_btnPlay->isHidden(); });
        strip.m_btnPlay->click();
        QVERIFY(strip.getBtnPalyHide());
        strip.m_btnPause->click();
        QCOMPARE(otherShownAtSignal, QList<bool>({true, true}));

        QSignalSpy mute(&strip, &PlayBtnWidget::emitBtnVolume);
        strip.setMute(false);
        strip.OnBtnMute();
        QVERIFY(strip.IsMute() && !strip.m_btnMute->isHidden());
        strip.OnBtnMute();
        QVERIFY(!strip.IsMute() && strip.m_btnMute->isHidden());
        QCOMPARE(mute, QList<QList<QVariant>>({{true}, {false}}));

        strip.setBtnScreenEnable(false);
        strip.OnBtnFullScreen();
        QVERIFY(!strip.m_btnFullScreen->isHidden() && strip.m_btnNormalScreen->isHidden());

        QSignalSpy keep(&strip, &PlayBtnWidget::emitKeepVideoScale);
        strip.setKeepVideoScale(true);
        QVERIFY(strip.m_btnScale->isChecked() && !strip.m_btnScale->isEnabled() && strip.m_btnWHSize->isEnabled());
        strip.m_btnWHSize->click();
        QVERIFY(strip.m_btnWHSize->isChecked() && !strip.m_btnWHSize->isEnabled() && strip.m_btnScale->isEnabled());
        QCOMPARE(keep, QList<QList<QVariant>>({{false}}));

        strip.setHiddenAbout(true);
        QVERIFY(strip.m_videoProSlider->isHidden() && strip.m_timeLabel->isHidden() && strip.m_btnFast->isHidden());
        QVERIFY(!strip.m_btnPlay->isHidden() && strip.m_btnPause->isHidden());
        strip.setHiddenAbout(false);
        QVERIFY(!strip.m_videoProSlider->isHidden() && !strip.m_timeLabel->isHidden());
        QVERIFY(strip.m_btnPlay->isHidden() && !strip.m_btnPause->isHidden());

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
        QCOMPARE(seek.last().at(0).toDouble(), 1.0);
    }

    void layoutFollowsButtonImages()
    {
        PlayBtnWidget strip;
        const QList<QPair<QZVBaseButton *, int>> widths{
            {strip.m_btnPreVideo, 30}, {strip.m_btnPlay, 40}, {strip.m_btnPause, 40}, {strip.m_btnNextVideo, 30}};
        for (const auto &[button, width] : widths) {
            QImage image = SkinFixtures::solidStrip({Qt::red, Qt::green, Qt::blue, Qt::gray}, QSize(2 * width, 40));
            QVERIFY(button->setButtonImage(image, true));
        }
        strip.resize(879, 50);
        strip.resetControlLocation();
        QCOMPARE(strip.m_btnPreVideo->geometry(), QRect(369, 10, 30, 20));
        QCOMPARE(strip.m_btnPlay->x(), 418);
        QCOMPARE(strip.m_btnPause->geometry().right(), 457);
        QCOMPARE(strip.m_btnNextVideo->x(), 477);
        QCOMPARE(strip.m_videoProSlider->geometry(), QRect(10, 34, 859, 12));
    }

    // At the player's smallest width the centred group would run over the time.
    void narrowStripKeepsTheGroupOffTheTime()
    {
        PlayBtnWidget strip;
        strip.resize(320, 50);
        strip.resetControlLocation();
        QVERIFY(strip.m_btnPreVideo->x() > strip.m_timeLabel->geometry().right());
        QVERIFY(strip.m_timeLabel->width() >= strip.m_timeLabel->sizeHint().width());
        QVERIFY(strip.m_btnNextVideo->geometry().right() < strip.m_btnFullScreen->x());
    }

    void nameStripCentresItsText()
    {
        QWidget host;
        auto *name = new QPlayNameWgt(&host);
        const Qt::WindowFlags flags = name->windowFlags();
        name->setDialogWindow(false);
        QCOMPARE(name->windowFlags(), flags);
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint) && !name->isWindow());
        name->setDlgTitle(QStringLiteral("IMG_0001.MOV"));
        for (const QSize size : {QSize(346, 20), QSize(800, 40)}) {
            name->resize(size);
            const QRect ink = SkinFixtures::inkBounds(SkinFixtures::render(*name), QColor(255, 255, 255, 1));
            QVERIFY(qAbs(ink.center().x() - size.width() / 2) <= 2 && qAbs(ink.center().y() - size.height() / 2) <= 2);
        }
    }
};

GLINTORA_TEST_MAIN(TestPlayerStrips)
#include "tst_playerstrips.moc"
