#pragma once

#include "qzvdialog.h"
#include "ui_playbtnwidget.h"

// The player's control strip, laid over the bottom edge of the picture: play and pause,
// previous and next file, the time, the position slider and full screen. It keeps no
// playback state beyond which button of each pair shows; clicks leave as signals and the
// panel and the engine drive it back through the slots. A child of the panel that never
// takes the keyboard, so Escape reaches the Play dialog.
class PlayBtnWidget : public QZVDialog, public Ui::PlayBtnWidget
{
    Q_OBJECT

public:
    explicit PlayBtnWidget(QWidget *parent = nullptr);
    ~PlayBtnWidget() override;

    void resetControlLocation() override;

signals:
    void emitBtnPlay();
    void emitBtnPause();
    void emitBtnBack();
    void emitBtnFast();
    void emitBtnPreVideo();
    void emitBtnNextVideo();
    void emitBtnSnapshoot();
    void emitBtnFullScreen();
    void emitExitFullScreen();
    void emitBtnTrack();
    // True when the sound was just muted.
    void emitBtnVolume(bool mute);
    void emitKeepVideoScale(bool keep);
    // Fractions 0 to 1 of the sliders' ranges.
    void sendProgressValue(double fraction);
    void sendVolumeValue(double fraction);

public slots:
    void setTimeLabel(const QString &time);
    void setProcessValue(double fraction);
    void setVolume(double percent);
    void VideoBeginPlay(bool playing);
    void VideoFinished();
    bool getBtnPalyHide() const;
    bool IsMute() const;
    void setMute(bool bMute);
    void setFullScreen(bool full);
    void setBtnScreenEnable(bool enable);
    void setScaleShow(bool show);
    void setKeepVideoScale(bool bScale);
    void setBtnEnable(bool bPreviousBtn, bool bNextBtn);
    void setProcessEnabledChange(bool enable);
    void setHiddenAbout(bool hide);
    void setDialogWindow(bool dialog);
    void OnBtnPalyOrPause();
    void OnBtnMute();
    void OnBtnChangeScale();
    void OnBtnFullScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void InitLabel();
    void InitButtons();
    void InitSliders();
    void InitConnections();
};
