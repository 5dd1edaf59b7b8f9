#include "qplayerwidget.h"

#include "playbtnwidget.h"
#include "playerlog.h"
#include "qaudiodatawidget.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qplaynamewgt.h"
#include "qzvmenu.h"
#include "showmessage.h"
#include "skinimage.h"
#include "zvcommoninterface.h"
#include "zvqplayobject.h"

#include <QActionGroup>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QPainter>

bool QPlayerWidget::m_bPlayBtnActicate = false;
bool QPlayerWidget::m_bHistoryActicate = false;

namespace {

// Timer ticks of 100 ms during which a started display keeps the control strip up.
constexpr int kShowTicks = 15;

QString noDoubleSlash(QString path)
{
    return path.replace(QLatin1String("//"), QLatin1String("/"));
}

} // namespace

QPlayerWidget::QPlayerWidget(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setMouseTracking(true);
    prepareVideoWindow(m_videoPlayWidget->geometry());
    InitAudioData();
    m_playObject = new ZVQPlayObject(this);
    m_playObject->setPlayWindows(m_videoPlayWidget);
    InitStrips();
    InitConnections();
    connect(&m_mouseTimer, &QTimer::timeout, this, &QPlayerWidget::MouseMoveTimer);
    m_mouseTimer.start(100);
}

QPlayerWidget::~QPlayerWidget()
{
    delete m_playBtnWidget;
    m_playBtnWidget = nullptr;
    delete m_playNameWgt;
    m_playNameWgt = nullptr;
    delete m_audioDataWidget;
    m_audioDataWidget = nullptr;
    // The engine ends its refresh thread and closes the player before the video window goes.
    delete m_playObject;
    m_playObject = nullptr;
    delete m_trackMenu;
    m_trackMenu = nullptr;
    clearMenu();
    qDeleteAll(m_subtitleList);
}

void QPlayerWidget::InitAudioData()
{
    AudioDataAttribute attr;
    attr.barWidth = 11;
    attr.blockHeight = 3;
    attr.barGap = 2;
    attr.blockGap = 2;
    attr.showPeak = true;
    attr.peakFall = 1;
    attr.cornerRadius = 1.3;
    attr.barColor = QColor(231, 231, 231);
    attr.peakColor = QColor(231, 231, 231);
    attr.style = 0;
    m_audioDataWidget = new QAudioDataWidget(this, &attr);
    m_audioDataWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_audioDataWidget->setAudioLogo(QIAnyUtil::getResourcePath() + QStringLiteral("/image/PlayerImage/bg_audio.png"));
    m_audioDataWidget->setGeometry(2, 2, 390, 230);
    m_audioDataWidget->hide();
}

void QPlayerWidget::InitStrips()
{
    m_playNameWgt = new QPlayNameWgt(this);
    m_playNameWgt->hide();
    m_playBtnWidget = new PlayBtnWidget(this);
    m_volume = 100;
    m_playBtnWidget->setVolume(50.0);
    m_playBtnWidget->hide();
    m_playObject->setSoundVolume(100);
}

void QPlayerWidget::InitConnections()
{
    PlayBtnWidget *strip = m_playBtnWidget;
    ZVQPlayObject *engine = m_playObject;
    connect(m_videoPlayWidget, &VideoImageWindow::emitFullScreen, this, &QPlayerWidget::repondFullScreen);
    connect(strip, &PlayBtnWidget::emitBtnPlay, engine, &ZVQPlayObject::OnPlayVideo);
    connect(strip, &PlayBtnWidget::emitBtnPause, engine, &ZVQPlayObject::OnPauseVideo);
    connect(strip, &PlayBtnWidget::sendVolumeValue, this, &QPlayerWidget::SoundValueChange);
    connect(strip, &PlayBtnWidget::emitBtnVolume, this, &QPlayerWidget::OnBtnVolume);
    connect(strip, &PlayBtnWidget::sendProgressValue, engine, &ZVQPlayObject::ProgressValueChange);
    connect(strip, &PlayBtnWidget::emitBtnFullScreen, this, &QPlayerWidget::OnBtnFullScreen);
    connect(strip, &PlayBtnWidget::emitExitFullScreen, this, &QPlayerWidget::OnBtnExitFullScreen);
    connect(strip, &PlayBtnWidget::emitBtnFast, engine, &ZVQPlayObject::videoFrameStepUp);
    connect(strip, &PlayBtnWidget::emitBtnBack, engine, &ZVQPlayObject::videoFrameStepDown);
    connect(strip, &PlayBtnWidget::emitBtnSnapshoot, this, &QPlayerWidget::OnScreenshots);
    connect(strip, &PlayBtnWidget::emitKeepVideoScale, this, &QPlayerWidget::KeepVideoScale);
    connect(strip, &PlayBtnWidget::emitBtnTrack, this, &QPlayerWidget::OnTrack);
    connect(engine, &ZVQPlayObject::emitIsHaveVideo, this, &QPlayerWidget::IsHaveVideo);
    // The engine frees the block right after the emit.
    connect(engine, &ZVQPlayObject::emitAudioData, m_audioDataWidget, &QAudioDataWidget::setAudioData,
            Qt::DirectConnection);
    connect(engine, &ZVQPlayObject::emitPlayState, strip, &PlayBtnWidget::VideoBeginPlay);
    connect(engine, &ZVQPlayObject::emitPlayTime, strip, &PlayBtnWidget::setTimeLabel);
    connect(engine, &ZVQPlayObject::emitPlayPro, strip, &PlayBtnWidget::setProcessValue);
    connect(engine, &ZVQPlayObject::emitPlayFinish, strip, &PlayBtnWidget::VideoFinished);
    // The window must be replaced before the engine opens the file.
    connect(engine, &ZVQPlayObject::emitRefreshPlayView, this, &QPlayerWidget::InitPlayView, Qt::DirectConnection);
}

void QPlayerWidget::prepareVideoWindow(const QRect &geometry)
{
    m_videoPlayWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_videoPlayWidget->setWindowFlags(Qt::FramelessWindowHint);
    m_videoPlayWidget->hide();
    m_videoPlayWidget->setGeometry(geometry);
}

void QPlayerWidget::PlayVideoFile(const QString &path)
{
    if (!m_playObject)
        return;
    m_playObject->SetPlayFile(path, 0, 0);
    qDeleteAll(m_subtitleList);
    m_subtitleList.clear();
    m_audioList.clear();
    m_subtitleValue = SubtitleValue_Info();
    m_playObject->getSubltListOrAudioList(m_subtitleList, m_audioList, m_subtitleValue, path);
    clearMenu();
    initMenu();
}

void QPlayerWidget::PlayVideo()
{
    if (m_playObject)
        m_playObject->StartPlay();
}

void QPlayerWidget::OnClose()
{
    if (m_playObject)
        m_playObject->closePlay();
}

void QPlayerWidget::InitPlayView()
{
    QRect geometry = m_isFullScreen ? rect() : rect().adjusted(2, 2, -2, -2);
    if (m_videoPlayWidget) {
        geometry = m_videoPlayWidget->geometry();
        delete m_videoPlayWidget;
    }
    m_videoPlayWidget = new VideoImageWindow(this);
    prepareVideoWindow(geometry);
    connect(m_videoPlayWidget, &VideoImageWindow::emitFullScreen, this, &QPlayerWidget::repondFullScreen);
    connect(m_videoPlayWidget, &VideoImageWindow::emitShowBtn, this, &QPlayerWidget::ShowPlayBtn);
    m_playObject->setPlayWindows(m_videoPlayWidget);
    // A new child lies above the strips until they are raised again.
    m_playNameWgt->raise();
    m_playBtnWidget->raise();
}

void QPlayerWidget::setPlayFileName(const QString &name)
{
    m_playNameWgt->setDlgTitle(name);
}

void QPlayerWidget::ResizeVideoWindow()
{
    const bool keep = m_isFullScreen ? m_keepVideoScale : true;
    if (m_videoPlayWidget)
        m_videoPlayWidget->setGeometry(m_isFullScreen ? rect() : rect().adjusted(2, 2, -2, -2));
    if (m_playObject)
        m_playObject->ResizeVideoWindow(keep);
}

void QPlayerWidget::centreAudioData()
{
    m_audioDataWidget->move((width() - m_audioDataWidget->width()) / 2,
                            (height() - 50 - m_audioDataWidget->height()) / 2);
}

// The strips are children of the panel drawn over the picture.
void QPlayerWidget::reseizeBtnLocation()
{
    if (!m_playBtnWidget)
        return;
    const int w = width();
    const int h = height();
    m_playNameWgt->setGeometry(2, 0, w - 4, 20);
    if (m_isFullScreen)
        m_playBtnWidget->setGeometry(2, h - 52, w - 4, 50);
    else
        m_playBtnWidget->setGeometry(13, h - 60, w - 26, 50);
}

void QPlayerWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    centreAudioData();
    ResizeVideoWindow();
    reseizeBtnLocation();
}

void QPlayerWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    centreAudioData();
    reseizeBtnLocation();
}

void QPlayerWidget::enterEvent(QEvent *)
{
    setCursor(Qt::ArrowCursor);
}

void QPlayerWidget::mouseDoubleClickEvent(QMouseEvent *)
{
    emit emitFullScreen();
}

void QPlayerWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_audioDataWidget->isHidden() || (m_videoPlayWidget && !m_videoPlayWidget->isHidden()))
        return;
    painter.fillRect(rect(), QColor(47, 45, 45));
    const QImage art = SkinImage::load(QIAnyUtil::getResourcePath() + QStringLiteral("/image/PlayerImage/bg_video.png"));
    if (!art.isNull())
        painter.drawImage((width() - art.width() / 2) / 2, (height() - art.height() / 2) / 2, art);
}

void QPlayerWidget::showControlStrip()
{
    m_playNameWgt->hide();
    m_playBtnWidget->show();
    reseizeBtnLocation();
}

void QPlayerWidget::hideStrips()
{
    m_playNameWgt->hide();
    m_playBtnWidget->hide();
}

void QPlayerWidget::startShowPlayWgt()
{
    m_showCountdown = kShowTicks;
    hideStrips();
}

bool QPlayerWidget::isShowPlayWgt() const
{
    return m_playBtnWidget->isVisible();
}

void QPlayerWidget::MouseMoveTimer()
{
    if (!m_bPlayBtnActicate && !m_bHistoryActicate) {
        hideStrips();
        m_showCountdown = 0;
        return;
    }
    if (m_showCountdown >= 1) {
        showControlStrip();
        --m_showCountdown;
        return;
    }
    const QPoint at = QCursor::pos() - mapToGlobal(QPoint(0, 0));
    if (height() - 100 < at.y() && at.y() < height() && 3 <= at.x() && at.x() < width() - 2)
        showControlStrip();
    else
        hideStrips();
}

void QPlayerWidget::ShowPlayBtn(bool show)
{
    if (show)
        showControlStrip();
    else
        hideStrips();
}

void QPlayerWidget::setPlayBtnDlgActivate(bool active)
{
    m_bPlayBtnActicate = active;
}

void QPlayerWidget::setHistoryDlgActivate(bool active)
{
    m_bHistoryActicate = active;
}

void QPlayerWidget::resetStaticsForTests()
{
    m_bPlayBtnActicate = false;
    m_bHistoryActicate = false;
}

void QPlayerWidget::setScreenshotClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void QPlayerWidget::OnBtnFullScreen()
{
    emit emitFullScreen();
}

void QPlayerWidget::OnBtnExitFullScreen()
{
    emit emitFullScreen();
}

void QPlayerWidget::repondFullScreen()
{
    if (m_videoPlayWidget && !m_videoPlayWidget->isHidden())
        emit emitFullScreen();
}

void QPlayerWidget::setFullScreen(bool on)
{
    m_isFullScreen = on;
    m_playBtnWidget->setFullScreen(on);
    m_playBtnWidget->setScaleShow(on);
    m_playBtnWidget->setKeepVideoScale(on && m_keepVideoScale);
    m_playBtnWidget->setDialogWindow(on);
    m_playNameWgt->setDialogWindow(on);
    if (on)
        hideStrips();
    else
        showControlStrip();
    centreAudioData();
    ResizeVideoWindow();
    reseizeBtnLocation();
}

void QPlayerWidget::KeepVideoScale(bool keep)
{
    m_keepVideoScale = keep;
    m_playObject->ResizeVideoWindow(keep);
}

void QPlayerWidget::IsHaveVideo(bool hasVideo)
{
    m_isAudioOnly = !hasVideo;
    m_audioDataWidget->setHidden(hasVideo);
    if (!hasVideo)
        m_videoPlayWidget->hide();
    update();
}

void QPlayerWidget::showAudioDataDlg(bool show)
{
    m_isAudioOnly = show;
    m_audioDataWidget->setVisible(show);
    m_videoPlayWidget->setHidden(show);
}

void QPlayerWidget::DestroyAnimtion()
{
    if (QObject *animation = sender())
        animation->deleteLater();
}

void QPlayerWidget::SoundValueChange(double fraction)
{
    m_volume = float(200 * fraction);
    m_playBtnWidget->setMute(fraction <= 0);
    m_playObject->setSoundVolume(int(m_volume));
}

// A mute keeps the volume for the unmute; a volume of 0 comes back as a sound one.
void QPlayerWidget::OnBtnVolume(bool mute)
{
    if (mute) {
        if (m_volume == 0)
            m_volume = 100;
        m_playBtnWidget->setVolume(0);
        m_playObject->setSoundVolume(0);
        return;
    }
    if (m_volume == 0)
        m_volume = 200;
    m_playBtnWidget->setVolume(m_volume * 100 / 200);
    m_playObject->setSoundVolume(int(m_volume));
}

void QPlayerWidget::OnScreenshots()
{
    if (m_isAudioOnly)
        return;
    const QString path = getScreenshotOutpath();
    if (path.isEmpty()) {
        ShowMessage(tr("The screenshot was not saved: its folder cannot be made."), QString(), 0, false);
        return;
    }
    if (!m_playObject->Screenshots(path)) {
        qCWarning(lcPlayer) << "no screenshot was written to" << path;
        ShowMessage(tr("The screenshot could not be saved to %1.").arg(QDir::toNativeSeparators(path)), QString(), 0,
                    false);
        return;
    }
    ZvCommonInterface::showFileInFolder(path.toUtf8().toStdString());
}

// Under the output folder, or the default one when that is unset or gone, only the
// "Screenshots" folder itself is made: never a chain of parents.
QString QPlayerWidget::getScreenshotOutpath() const
{
    QString root = QConverterOperate::getConverterPath();
    if (root.isEmpty() || !QFileInfo(root).isDir()) {
        root = QIAnyUtil::getDefaultConvertPath();
        QDir().mkdir(root);
    }
    const QString folder = root + QStringLiteral("/Screenshots/");
    QDir().mkdir(folder);
    if (!QFileInfo(folder).isDir()) {
        qCWarning(lcPlayer) << "cannot make the screenshot folder" << folder;
        return QString();
    }
    const QString name = QStringLiteral("ScreenCapture_") + m_clock().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
    QString path = noDoubleSlash(folder + name + QStringLiteral(".png"));
    for (int n = 1; QFileInfo::exists(path); ++n)
        path = noDoubleSlash(folder + QStringLiteral("%1(%2).%3").arg(name).arg(n).arg(QStringLiteral("png")));
    return path;
}

void QPlayerWidget::addHeading(const QString &text)
{
    auto *heading = new QAction(text, this);
    heading->setEnabled(false);
    m_titleActions.append(heading);
    m_trackMenu->addAction(heading);
}

QActionGroup *QPlayerWidget::addChoices(const QStringList &labels, QList<QAction *> &actions,
                                        void (QPlayerWidget::*slot)())
{
    if (labels.isEmpty())
        return nullptr;
    auto *group = new QActionGroup(this);
    for (const QString &label : labels) {
        auto *action = new QAction(label, this);
        action->setCheckable(true);
        group->addAction(action);
        actions.append(action);
        connect(action, &QAction::triggered, this, slot);
        m_trackMenu->addAction(action);
    }
    actions.first()->setChecked(true);
    return group;
}

void QPlayerWidget::initMenu()
{
    if (!m_trackMenu) {
        m_trackMenu = new QZVMenu(this);
        QInitCtrlStyle::InitZvMenu(m_trackMenu);
        m_trackMenu->setItemTextEabledColor(QColor(105, 122, 146));
        m_trackMenu->setRadioImage(QIAnyUtil::getResourcePath() + QStringLiteral("/image/common/btn_check_on.png"));
    }
    m_trackMenu->clear();
    addHeading(tr("Audio Track"));
    m_audioGroup = addChoices(m_audioList, m_audioActions, &QPlayerWidget::audioTriggered);
    m_trackMenu->addSeparator();
    addHeading(tr("Subtitle Track"));
    QStringList subtitles;
    for (const subltItemInfo *item : qAsConst(m_subtitleList))
        subtitles.append(QString::fromStdString(item->title));
    m_subtitleGroup = addChoices(subtitles, m_subtitleActions, &QPlayerWidget::subtitleTriggered);
}

void QPlayerWidget::clearMenu()
{
    qDeleteAll(m_audioActions);
    m_audioActions.clear();
    qDeleteAll(m_subtitleActions);
    m_subtitleActions.clear();
    delete m_audioGroup;
    m_audioGroup = nullptr;
    delete m_subtitleGroup;
    m_subtitleGroup = nullptr;
    qDeleteAll(m_titleActions);
    m_titleActions.clear();
    m_curAudioAction = nullptr;
    m_curSubtitleAction = nullptr;
}

void QPlayerWidget::OnTrack()
{
    if (!m_trackMenu)
        return;
    m_trackMenu->popup(QCursor::pos());
    setFocus(Qt::OtherFocusReason);
}

// Every choice hands both the audio track and the subtitle to the engine again.
void QPlayerWidget::audioTriggered()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (action == m_curAudioAction)
        return;
    m_curAudioAction = action;
    m_subtitleValue.audioTrackIndex = m_audioActions.indexOf(action);
    m_playObject->setSubtitle(m_subtitleValue);
}

void QPlayerWidget::subtitleTriggered()
{
    auto *action = qobject_cast<QAction *>(sender());
    if (action == m_curSubtitleAction)
        return;
    m_curSubtitleAction = action;
    const int index = m_subtitleActions.indexOf(action);
    m_subtitleValue.subtitleIndex = index;
    m_subtitleValue.externalPath = index >= 0 ? m_subtitleList.at(index)->path : std::string();
    m_playObject->setSubtitle(m_subtitleValue);
}
