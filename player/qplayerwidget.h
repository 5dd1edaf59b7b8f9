#pragma once

#include "subltiteminfo.h"
#include "subtitlevalueinfo.h"
#include "ui_qplayerwidget.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class PlayBtnWidget;
class QAction;
class QActionGroup;
class QAudioDataWidget;
class QPlayNameWgt;
class QZVMenu;
class ZVQPlayObject;

// The body of the Play dialog: owns the engine, the video window (a new one per file),
// the level bars and the two strips drawn over the picture. It wires the control strip
// to the engine, shows the strip while the mouse is near the bottom edge, maps the
// volume, builds the track menu and takes screenshots.
class QPlayerWidget : public QWidget, public Ui::QPlayerWidget
{
    Q_OBJECT

public:
    explicit QPlayerWidget(QWidget *parent = nullptr);
    ~QPlayerWidget() override;

    void PlayVideo();
    void OnClose();
    ZVQPlayObject *getPlay() const { return m_playObject; }
    PlayBtnWidget *playBtnWidget() const { return m_playBtnWidget; }
    void setFullScreen(bool on);
    void ResizeVideoWindow();
    void reseizeBtnLocation();
    // The control strip shows for the next 15 ticks whatever the mouse does.
    void startShowPlayWgt();
    bool isShowPlayWgt() const;

    // Whether the control strip's or the Play dialog's window is active; while neither
    // is, the strips stay hidden.
    static void setPlayBtnDlgActivate(bool active);
    static void setHistoryDlgActivate(bool active);
    static void resetStaticsForTests();
    void setScreenshotClock(std::function<QDateTime()> clock);

signals:
    void emitFullScreen();
    void emitPlay();

public slots:
    void SoundValueChange(double fraction);
    void OnBtnVolume(bool mute);
    void OnBtnFullScreen();
    void OnBtnExitFullScreen();
    void repondFullScreen();
    void OnScreenshots();
    void KeepVideoScale(bool keep);
    void OnTrack();
    void audioTriggered();
    void subtitleTriggered();
    void IsHaveVideo(bool hasVideo);
    void InitPlayView();
    void ShowPlayBtn(bool show);
    void MouseMoveTimer();
    void setPlayFileName(const QString &name);
    void PlayVideoFile(const QString &path);
    void DestroyAnimtion();
    void showAudioDataDlg(bool show);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void InitAudioData();
    void InitStrips();
    void InitConnections();
    void prepareVideoWindow(const QRect &geometry);
    void centreAudioData();
    void showControlStrip();
    void hideStrips();
    void clearMenu();
    void initMenu();
    QActionGroup *addChoices(const QStringList &labels, QList<QAction *> &actions, void (QPlayerWidget::*slot)());
    void addHeading(const QString &text);
    QString getScreenshotOutpath() const;

    PlayBtnWidget *m_playBtnWidget = nullptr;
    QPlayNameWgt *m_playNameWgt = nullptr;
    QAudioDataWidget *m_audioDataWidget = nullptr;
    ZVQPlayObject *m_playObject = nullptr;
    float m_volume = 100.0f;
    bool m_isFullScreen = false;
    bool m_keepVideoScale = true;
    bool m_isAudioOnly = false;
    QTimer m_mouseTimer;
    int m_showCountdown = 0;
    QStringList m_audioList;
    QList<subltItemInfo *> m_subtitleList;
    SubtitleValue_Info m_subtitleValue;
    QZVMenu *m_trackMenu = nullptr;
    // Parented to the panel, never to the menu: the destructor deletes the menu first.
    QList<QAction *> m_audioActions;
    QList<QAction *> m_subtitleActions;
    QAction *m_curAudioAction = nullptr;
    QAction *m_curSubtitleAction = nullptr;
    QActionGroup *m_audioGroup = nullptr;
    QActionGroup *m_subtitleGroup = nullptr;
    QList<QAction *> m_titleActions;
    std::function<QDateTime()> m_clock = &QDateTime::currentDateTime;

    static bool m_bPlayBtnActicate;
    static bool m_bHistoryActicate;
};
