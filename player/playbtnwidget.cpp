#include "playbtnwidget.h"

#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qplayerwidget.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

const QString kZeroTime = QStringLiteral("00:00:00 / 00:00:00");

// Each image is named in full, so the skin check finds it.
QString resource(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

// Top of a control centred in the 40 px button band.
int bandTop(const QWidget *control)
{
    return (40 - control->height()) / 2;
}

void flipHidden(QWidget *widget)
{
    widget->setHidden(!widget->isHidden());
}

} // namespace

PlayBtnWidget::PlayBtnWidget(QWidget *parent)
    : QZVDialog(parent)
{
    setupUi(this);
    setBackgrounColor(QColor(255, 0, 0));
    setMoveTopHeight(0);
    setBackgroundImage(resource("/image/PlayerImage/bg_play.png"), false);
    setDialogWindow(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setStretchPolicy(QBaseDrawWidget::StretchNone);
    InitLabel();
    InitButtons();
    InitSliders();
    InitConnections();
    installEventFilter(this);
}

PlayBtnWidget::~PlayBtnWidget() = default;

void PlayBtnWidget::InitLabel()
{
    m_timeLabel->setText(kZeroTime);
    QInitCtrlStyle::InitFont(m_timeLabel, 11);
    // The longest time text must fit whatever font stands in for Tahoma.
    m_timeLabel->resize(std::max(110, m_timeLabel->sizeHint().width()), 12);
    QInitCtrlStyle::InitPalette(m_timeLabel, QPalette::WindowText, QColor(53, 53, 53));
}

void PlayBtnWidget::InitButtons()
{
    const struct {
        QZVBaseButton *button;
        const char *image;
        const char *toolTip;
        bool shown;
    } buttons[] = {
        {m_btnPause, "/image/PlayerImage/btn_Pause.png", QT_TR_NOOP("Pause"), false},
        {m_btnPlay, "/image/PlayerImage/btn_play.png", QT_TR_NOOP("Play"), true},
        {m_btnBack, "/image/PlayerImage/btn_back.png", QT_TR_NOOP("Previous frame"), false},
        {m_btnFast, "/image/PlayerImage/btn_fast.png", QT_TR_NOOP("Next frame"), false},
        {m_btnPreVideo, "/image/PlayerImage/btn_previous.png", QT_TR_NOOP("Previous file"), true},
        {m_btnNextVideo, "/image/PlayerImage/btn_next.png", QT_TR_NOOP("Next file"), true},
        {m_btnSnapshoot, "/image/PlayerImage/btn_snapshoot.png", QT_TR_NOOP("Snapshot"), false},
        {m_btnMute, "/image/PlayerImage/btn_volume_off.png", QT_TR_NOOP("Volume off"), false},
        {m_btnVolume, "/image/PlayerImage/btn_volume_on.png", QT_TR_NOOP("Volume on"), false},
        {m_btnNormalScreen, "/image/PlayerImage/btn_back_Screen.png", QT_TR_NOOP("Restore"), false},
        {m_btnFullScreen, "/image/PlayerImage/btn_Full_Screen.png", QT_TR_NOOP("Full screen"), true},
        {m_btnScale, "/image/PlayerImage/btn_size_scale.png", nullptr, false},
        {m_btnWHSize, "/image/PlayerImage/btn_size_wh.png", nullptr, false},
        {m_btnTrack, "/image/PlayerImage/btn_track.png", nullptr, false},
    };
    for (const auto &b : buttons) {
        b.button->setButtonImage(resource(b.image), true);
        if (b.toolTip)
            b.button->setToolTip(QObject::tr(b.toolTip));
        b.button->setVisible(b.shown);
    }
    m_btnScale->setCheckable(true);
    m_btnWHSize->setCheckable(true);
}

void PlayBtnWidget::InitSliders()
{
    m_videoProSlider->setBottomImage(resource("/image/PlayerImage/slider_play_bottom.png"));
    m_videoProSlider->setTopImage(resource("/image/PlayerImage/slider_play_top.png"));
    m_videoProSlider->setCircle(true);
    m_videoProSlider->setCircleLenght(1);
    m_videoProSlider->setFormat(QString());
    m_videoProSlider->setValue(0);
    m_volumeSlider->setBottomImage(resource("/image/PlayerImage/volume_bottom.png"));
    m_volumeSlider->setTopImage(resource("/image/PlayerImage/volume_top.png"));
    m_volumeSlider->setFormat(QString());
    m_volumeSlider->setValue(0);
    m_volumeSlider->resize(70, 10);
    m_volumeSlider->hide();
    // The strip lies over the dialog as a child: a click never moves the keyboard into it,
    // Tab reaches its buttons and sliders, and the strip itself and its labels never take it.
    setFocusPolicy(Qt::NoFocus);
    for (QWidget *child : findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(child) || qobject_cast<QZVBaseSlider *>(child);
        child->setFocusPolicy(control ? Qt::TabFocus : Qt::NoFocus);
    }
}

void PlayBtnWidget::InitConnections()
{
    connect(m_btnPlay, &QZVBaseButton::clicked, this, &PlayBtnWidget::OnBtnPalyOrPause);
    connect(m_btnPause, &QZVBaseButton::clicked, this, &PlayBtnWidget::OnBtnPalyOrPause);
    connect(m_btnBack, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnBack);
    connect(m_btnFast, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnFast);
    connect(m_btnPreVideo, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnPreVideo);
    connect(m_btnNextVideo, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnNextVideo);
    connect(m_btnSnapshoot, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnSnapshoot);
    connect(m_btnFullScreen, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnFullScreen);
    connect(m_btnNormalScreen, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitExitFullScreen);
    connect(m_btnTrack, &QZVBaseButton::clicked, this, &PlayBtnWidget::emitBtnTrack);
    connect(m_btnMute, &QZVBaseButton::clicked, this, &PlayBtnWidget::OnBtnMute);
    connect(m_btnVolume, &QZVBaseButton::clicked, this, &PlayBtnWidget::OnBtnMute);
    connect(m_btnScale, &QZVBaseButton::clicked, this, &PlayBtnWidget::OnBtnChangeScale);
    connect(m_btnWHSize, &QZVBaseButton::clicked, this, &PlayBtnWidget::OnBtnChangeScale);
    connect(m_videoProSlider, &QZVBaseSlider::sendProgressValue, this, &PlayBtnWidget::sendProgressValue);
    connect(m_volumeSlider, &QZVBaseSlider::sendProgressValue, this, &PlayBtnWidget::sendVolumeValue);
}

void PlayBtnWidget::resetControlLocation()
{
    const int w = width();
    m_timeLabel->move(10, bandTop(m_timeLabel));
    // Centred, unless a narrow strip would put the group over the time.
    const int centred = (w - m_btnPlay->width() - m_btnPreVideo->width() - m_btnNextVideo->width() - 40) / 2;
    m_btnPreVideo->move(std::max(centred, m_timeLabel->geometry().right() + 1 + 10), bandTop(m_btnPreVideo));
    const int playX = m_btnPreVideo->geometry().right() + 20;
    m_btnPlay->move(playX, bandTop(m_btnPlay));
    m_btnPause->move(playX, bandTop(m_btnPause));
    m_btnNextVideo->move(m_btnPause->geometry().right() + 20, bandTop(m_btnNextVideo));
    m_btnFullScreen->move(w - 10 - m_btnFullScreen->width(), bandTop(m_btnFullScreen));
    m_btnNormalScreen->move(w - 10 - m_btnNormalScreen->width(), bandTop(m_btnFullScreen));
    m_videoProSlider->setGeometry(10, m_btnPlay->geometry().bottom() + 5, w - 20, 12);
}

void PlayBtnWidget::setTimeLabel(const QString &time)
{
    m_timeLabel->setText(time);
}

void PlayBtnWidget::setProcessValue(double fraction)
{
    m_videoProSlider->setValue(fraction * 100.0);
}

void PlayBtnWidget::setVolume(double percent)
{
    m_volumeSlider->setValue(percent);
}

// The pairs read isHidden(): isVisible() is false for every control while the strip
// itself is hidden.
void PlayBtnWidget::VideoBeginPlay(bool playing)
{
    m_btnPause->setVisible(playing);
    m_btnPlay->setHidden(playing);
}

void PlayBtnWidget::VideoFinished()
{
    VideoBeginPlay(false);
}

bool PlayBtnWidget::getBtnPalyHide() const
{
    return m_btnPlay->isHidden();
}

bool PlayBtnWidget::IsMute() const
{
    return m_btnVolume->isHidden();
}

void PlayBtnWidget::setMute(bool bMute)
{
    m_btnVolume->setHidden(bMute);
    m_btnMute->setHidden(!bMute);
}

void PlayBtnWidget::setFullScreen(bool full)
{
    m_btnFullScreen->setHidden(full);
    m_btnNormalScreen->setHidden(!full);
}

void PlayBtnWidget::setBtnScreenEnable(bool enable)
{
    m_btnFullScreen->setEnabled(enable);
    m_btnNormalScreen->setEnabled(enable);
}

void PlayBtnWidget::setScaleShow(bool show)
{
    m_btnScale->setVisible(show);
    m_btnWHSize->setVisible(show);
}

// The active choice is checked and cannot be clicked again.
void PlayBtnWidget::setKeepVideoScale(bool bScale)
{
    m_btnScale->setChecked(bScale);
    m_btnScale->setEnabled(!bScale);
    m_btnWHSize->setChecked(!bScale);
    m_btnWHSize->setEnabled(bScale);
}

void PlayBtnWidget::setBtnEnable(bool bPreviousBtn, bool bNextBtn)
{
    m_btnPreVideo->setEnabled(bPreviousBtn);
    m_btnNextVideo->setEnabled(bNextBtn);
}

void PlayBtnWidget::setProcessEnabledChange(bool enable)
{
    m_videoProSlider->setEnabledPull(enable);
}

void PlayBtnWidget::setHiddenAbout(bool hide)
{
    m_videoProSlider->setHidden(hide);
    m_videoProSlider->setValue(0);
    m_timeLabel->setHidden(hide);
    m_timeLabel->setText(kZeroTime);
    m_btnFast->setHidden(hide);
    m_btnBack->setHidden(hide);
    VideoBeginPlay(!hide);
}

// The strip is a child of the panel, drawn over the picture, whatever the argument.
void PlayBtnWidget::setDialogWindow(bool)
{
    setWindowFlags(Qt::FramelessWindowHint);
}

// The pair is swapped before the signal leaves.
void PlayBtnWidget::OnBtnPalyOrPause()
{
    const bool play = m_btnPause->isHidden();
    VideoBeginPlay(play);
    if (play)
        emit emitBtnPlay();
    else
        emit emitBtnPause();
}

void PlayBtnWidget::OnBtnMute()
{
    flipHidden(m_btnMute);
    flipHidden(m_btnVolume);
    emit emitBtnVolume(m_btnVolume->isHidden());
}

void PlayBtnWidget::OnBtnChangeScale()
{
    const bool keep = sender() == m_btnScale;
    setKeepVideoScale(keep);
    emit emitKeepVideoScale(keep);
}

void PlayBtnWidget::OnBtnFullScreen()
{
    if (!m_btnFullScreen->isEnabled())
        return;
    flipHidden(m_btnFullScreen);
    flipHidden(m_btnNormalScreen);
}

bool PlayBtnWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)) {
        QPlayerWidget::setPlayBtnDlgActivate(event->type() == QEvent::WindowActivate);
        return true;
    }
    return QZVDialog::eventFilter(watched, event);
}

// Escape belongs to the Play dialog; a child dialog would otherwise reject and hide itself.
void PlayBtnWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QZVDialog::keyPressEvent(event);
}
