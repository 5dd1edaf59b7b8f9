#include "zvqplayobject.h"

#include "qconverteroperate.h"
#include "qplayupdatethread.h"
#include "videoimagewindow.h"

#include <QImage>
#include <QTimer>

#include <cstring>

namespace {

// Even, rounding an odd quotient up.
quint64 EvenUp(quint64 value)
{
    return (value + 1) & ~quint64(1);
}

QString ClockText(quint64 microseconds)
{
    const auto ms = quint64(microseconds / 1000.0);
    return QStringLiteral("%1:%2:%3")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg((ms / 60000) % 60, 2, 10, QLatin1Char('0'))
        .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int VideoFrameLoop(void *context, void *frame)
{
    return static_cast<ZVQPlayObject *>(context)->DrawVideoFrame(frame) ? 1 : 0;
}

ZVQPlayObject::ZVQPlayObject(QObject *parent)
    : QObject(parent)
{
    InitPlay();
}

ZVQPlayObject::~ZVQPlayObject()
{
    m_updateThread.reset();
    if (m_player) {
        MMC_PlayerClose(m_player);
        MMC_DestroyPlayer(m_player);
        m_player = 0;
    }
    StopTimers();
    delete m_updateTimer;
    delete m_audioTimer;
}

void ZVQPlayObject::InitPlay()
{
    m_player = MMC_CreatePlayer(-1);
    m_updateTimer = new QTimer(this);
    m_audioTimer = new QTimer(this);
    connect(m_updateTimer, &QTimer::timeout, this, &ZVQPlayObject::UpdateTime);
    connect(m_audioTimer, &QTimer::timeout, this, &ZVQPlayObject::OnAudioDataTime);
    const QString device = QConverterOperate::getAudioDeviceName();
    if (m_player && !device.isEmpty())
        MMC_PlayerSetAudioDevice(m_player, device.toUtf8().constData());
}

bool ZVQPlayObject::HasMedia() const
{
    return MMC_PlayerHasVideo(m_player) || MMC_PlayerHasAudio(m_player);
}

void ZVQPlayObject::ResetDisplay()
{
    ShowTime(0);
    emit emitPlayPro(0);
    emit emitPlayFinish();
}

void ZVQPlayObject::StopTimers()
{
    m_updateTimer->stop();
    m_audioTimer->stop();
}

void ZVQPlayObject::ShowVideoWindow(bool show)
{
    if (VideoImageWindow *window = m_videoWindow)
        window->setVisible(show);
}

uint ZVQPlayObject::SetPlayFile(QString path, uint a, uint b)
{
    if (!m_player)
        return 0;
    m_updateThread.reset();
    if (!MMC_PlayerIsEnded(m_player))
        MMC_PlayerStop(m_player);
    // The receiver replaces the window now, while nothing is delivered.
    emit emitRefreshPlayView();
    if (!MMC_PlayerOpen(m_player, path.toUtf8().constData(), a, b, 0, 0)) {
        m_playState = 4;
        StopTimers();
        ResetDisplay();
        ShowVideoWindow(false);
        return 0;
    }
    MMC_PlayerSetInterval(m_player, 50000);
    ResizeVideoWindow(m_keepVideoScale);
    MMC_PlayerSetVolume(m_player, int(m_volume));
    ShowTime(0);
    InitPlayViewParameter();
    IsNoVideoSet();
    m_updateThread = std::make_unique<QPlayUpdateThread>(m_player);
    m_updateThread->Start();
    return 1;
}

void ZVQPlayObject::InitPlayViewParameter()
{
    if (m_player)
        MMC_PlayerSetFrameCallback(m_player, VideoFrameLoop, this);
    if (VideoImageWindow *window = m_videoWindow)
        window->SetOpenGl(true);
}

void ZVQPlayObject::IsNoVideoSet()
{
    if (MMC_PlayerHasVideo(m_player)) {
        m_isAudioOnly = false;
        emit emitIsHaveVideo(true);
    } else if (MMC_PlayerHasAudio(m_player)) {
        m_isAudioOnly = true;
        emit emitIsHaveVideo(false);
    }
}

void ZVQPlayObject::setPlayWindows(VideoImageWindow *window)
{
    m_videoWindow = window;
}

void ZVQPlayObject::StartPlay()
{
    emit emitPlayState(true);
    OnPlayVideo();
}

void ZVQPlayObject::OnPlayVideo()
{
    if (!m_player)
        return;
    if (!HasMedia()) {
        ResetDisplay();
        return;
    }
    if (MMC_PlayerIsEnded(m_player))
        MMC_PlayerStop(m_player);
    if (!MMC_PlayerPlay(m_player)) {
        m_playState = 5;
        // The strip already shows pause; a player that does not play must say so.
        emit emitPlayState(false);
        return;
    }
    m_playState = 1;
    if (m_isAudioOnly)
        m_audioTimer->start(50);
    else
        ShowVideoWindow(true);
    m_updateTimer->start(100);
}

void ZVQPlayObject::pausePlay()
{
    emit emitPlayState(false);
    OnPauseVideo();
}

void ZVQPlayObject::OnPauseVideo()
{
    if (!m_player || !MMC_PlayerPause(m_player))
        return;
    m_playState = 2;
    StopTimers();
    emit emitAudioData(nullptr, 0);
}

void ZVQPlayObject::ProgressValueChange(double fraction)
{
    if (!m_player)
        return;
    if (MMC_PlayerIsEnded(m_player))
        MMC_PlayerStop(m_player);
    MMC_PlayerSeek(m_player, quint64(MMC_PlayerGetDuration(m_player) * fraction));
    ShowTime(quint64(MMC_PlayerGetDuration(m_player) * fraction));
}

void ZVQPlayObject::FrameStep(int direction)
{
    pausePlay();
    if (m_player)
        MMC_PlayerStepFrame(m_player, direction);
    UpdateTime();
}

void ZVQPlayObject::videoFrameStepUp()
{
    FrameStep(1);
}

void ZVQPlayObject::videoFrameStepDown()
{
    FrameStep(-1);
}

void ZVQPlayObject::OnBtnStop()
{
    if (!m_player || !HasMedia())
        return;
    if (MMC_PlayerIsEnded(m_player)) {
        // An end the 100 ms display tick has not met yet is taken now: after a close
        // nothing would meet it, and the engine would go on saying it plays.
        if (m_playState == 1)
            UpdateTime();
        return;
    }
    if (!MMC_PlayerStop(m_player))
        return;
    m_playState = 4;
    ResetDisplay();
    StopTimers();
    emit emitAudioData(nullptr, 0);
    ShowVideoWindow(false);
}

void ZVQPlayObject::closePlay()
{
    if (m_player) {
        OnBtnStop();
        MMC_PlayerClose(m_player);
    }
    ResetDisplay();
    emit emitClosePlay();
    emit emitAudioData(nullptr, 0);
}

void ZVQPlayObject::setSoundVolume(int volume)
{
    m_volume = float(qMax(volume, 0));
    if (m_player)
        MMC_PlayerSetVolume(m_player, volume);
}

void ZVQPlayObject::ResizeVideoWindow(bool keep)
{
    m_keepVideoScale = keep;
    VideoImageWindow *window = m_videoWindow;
    if (!m_player || !window)
        return;
    const int width = int(MMC_PlayerGetVideoWidth(m_player));
    const int height = int(MMC_PlayerGetVideoHeight(m_player));
    if (keep) {
        const int ax = int(MMC_PlayerGetAspectX(m_player));
        const int ay = int(MMC_PlayerGetAspectY(m_player));
        if (ax && ay)
            window->setVideoScale(ax, ay);
        else
            window->setVideoScale(width, height);
    } else {
        window->setVideoSize(width, height);
    }
    window->update();
}

bool ZVQPlayObject::Screenshots(QString path)
{
    if (!m_player)
        return false;
    const quint64 ax = MMC_PlayerGetAspectX(m_player);
    const quint64 ay = MMC_PlayerGetAspectY(m_player);
    quint64 width = 0;
    quint64 height = 0;
    if (ax && ay) {
        width = MMC_PlayerGetVideoWidth(m_player);
        height = MMC_PlayerGetVideoHeight(m_player);
        if (height * ax > width * ay)
            width = EvenUp(height * ax / ay);
        else
            height = EvenUp(width * ay / ax);
    }
    auto *capture = static_cast<MMC_Capture *>(MMC_PlayerCaptureFrame(m_player, uint32_t(width), uint32_t(height), 0));
    if (!capture)
        return false;
    QImage image;
    image.loadFromData(capture->data, int(capture->size));
    MMC_PlayerReleaseCapture(m_player, capture);
    return image.save(path, "PNG");
}

void ZVQPlayObject::UpdateTime()
{
    if (!m_player)
        return;
    if (MMC_PlayerIsEnded(m_player)) {
        m_playState = 3;
        m_audioTimer->stop();
        emit emitAudioData(nullptr, 0);
        m_updateTimer->stop();
        ResetDisplay();
        emit emitPlayPro(0);
        return;
    }
    const quint64 duration = MMC_PlayerGetDuration(m_player);
    const quint64 position = MMC_PlayerGetPosition(m_player);
    if (position == 0)
        return;
    // A stream without a known length has no progress to show.
    if (duration > 0)
        emit emitPlayPro(double(position) / double(duration));
    ShowTime(position);
    if (VideoImageWindow *window = m_videoWindow)
        window->update();
}

void ZVQPlayObject::OnAudioDataTime()
{
    if (!m_player)
        return;
    void *block = MMC_PlayerGetAudioData(m_player, 1);
    if (block) {
        quint32 doubledRate = 0;
        std::memcpy(&doubledRate, static_cast<const char *>(block) + 24, sizeof doubledRate);
        emit emitAudioData(static_cast<unsigned char *>(block), int(doubledRate >> 1));
    }
    MMC_PlayerReleaseAudioData(m_player, block);
}

void ZVQPlayObject::ShowTime(quint64 position)
{
    const quint64 duration = m_player ? MMC_PlayerGetDuration(m_player) : 0;
    emit emitPlayTime(QStringLiteral("%1 / %2").arg(ClockText(position), ClockText(duration)));
}

void ZVQPlayObject::UpdataScreen()
{
    if (m_player && MMC_PlayerHasVideo(m_player))
        MMC_PlayerRefresh(m_player);
}

void ZVQPlayObject::VideoFinished()
{
    ResetDisplay();
}

bool ZVQPlayObject::DrawVideoFrame(void *frame)
{
    VideoImageWindow *window = m_videoWindow;
    if (!window)
        return false;
    const int format = MMC_FrameGetPixelFormat(frame);
    const int width = MMC_FrameGetWidth(frame);
    const int height = MMC_FrameGetHeight(frame);
    if (format == MMC_PIX_YUV420P) {
        unsigned char *planes[3];
        int strides[3];
        for (int i = 0; i < 3; ++i) {
            planes[i] = MMC_FrameGetPlane(frame, i);
            strides[i] = MMC_FrameGetStride(frame, i);
        }
        window->showYUVImage(planes, width, height, strides);
        return true;
    }
    if (format == MMC_PIX_BGRA) {
        window->showImage(MMC_FrameGetPlane(frame, 0), unsigned(width), unsigned(height),
                          unsigned(MMC_FrameGetStride(frame, 0)));
        return true;
    }
    return false;
}
