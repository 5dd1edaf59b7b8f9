#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

#include "mmc.h"
#include "subltiteminfo.h"
#include "subtitlevalueinfo.h"

class QTimer;
class QPlayUpdateThread;
class VideoImageWindow;

// The frame callback registered with the player; context is the engine.
int VideoFrameLoop(void *context, void *frame);

// Drives one codec-library player: open, play, pause, stop, seek, step, volume and
// screenshots; publishes position and time, routes frames to the video window and
// audio blocks to the level bars, and lists and applies audio and subtitle tracks.
// Everything but DrawVideoFrame runs on the GUI thread.
class ZVQPlayObject : public QObject
{
    Q_OBJECT

public:
    explicit ZVQPlayObject(QObject *parent = nullptr);
    ~ZVQPlayObject() override;

    // 1 when opened. a and b go to the library as they are (the panel passes 0).
    uint SetPlayFile(QString path, uint a, uint b);
    void setPlayWindows(VideoImageWindow *window);
    void setSoundVolume(int volume);
    void ResizeVideoWindow(bool keep);
    // Writes the current frame as PNG at the display aspect; false when nothing was written.
    bool Screenshots(QString path);
    void ShowTime(quint64 position);
    void IsNoVideoSet();
    void InitPlayViewParameter();

    // Fills both lists (passed empty) for the file at path, and the embedded count of info.
    void getSubltListOrAudioList(QList<subltItemInfo *> &subtitles, QStringList &audioLabels,
                                 SubtitleValue_Info &info, QString path);
    // Applies the audio track, then the subtitle; the library's result of the latter.
    int setSubtitle(SubtitleValue_Info info);

    // Display thread: hands one library frame to the window.
    bool DrawVideoFrame(void *frame);

    // 1 playing, 2 paused, 3 ended, 4 stopped or open failed, 5 play refused; 0 before any.
    int playState() const { return m_playState; }

public slots:
    void StartPlay();
    void OnPlayVideo();
    void pausePlay();
    void OnPauseVideo();
    void ProgressValueChange(double fraction);
    void videoFrameStepUp();
    void videoFrameStepDown();
    void OnBtnStop();
    void closePlay();
    void UpdateTime();
    void OnAudioDataTime();
    void UpdataScreen();
    void VideoFinished();

signals:
    void emitPlayTime(QString text);
    void emitPlayPro(double fraction);
    void emitPlayFinish();
    void emitPlayState(bool playing);
    void emitIsHaveVideo(bool hasVideo);
    // The block is freed right after the emit: receivers must be connected directly.
    void emitAudioData(unsigned char *block, int sampleRate);
    // The receiver must replace the video window before this returns (direct connection).
    void emitRefreshPlayView();
    void emitClosePlay();

private:
    void InitPlay();
    void ResetDisplay();
    void StopTimers();
    void FrameStep(int direction);
    void ShowVideoWindow(bool show);
    bool HasMedia() const;

    MMC_Handle m_player = 0;
    int m_playState = 0;
    QTimer *m_updateTimer = nullptr;
    QTimer *m_audioTimer = nullptr;
    float m_volume = 100.0f;
    std::atomic<VideoImageWindow *> m_videoWindow{nullptr};
    bool m_isAudioOnly = false;
    bool m_keepVideoScale = true;
    std::unique_ptr<QPlayUpdateThread> m_updateThread;
};
