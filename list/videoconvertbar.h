#pragma once

#include "converttypes.h"
#include "imagewriteinfo.h"
#include "stillsfolder.h"

#include <QString>
#include <QWidget>

class CAVEncodeParam;
class MouseImageWidget;
class QLabel;
class QZVBaseButton;
class QZVBaseProgress;
class RetractLabel;
class ZVLPConverter;
class ZvVideoConvertItem;
struct convertedInfo;

enum QConvertMouseState { ConvertMouseNone = 0, ConvertMouseHover = 1, ConvertMouseSelected = 2 };
Q_DECLARE_METATYPE(QConvertMouseState)

enum ConvertBarState { BarIdle = 0, BarConverting = 1, BarWaiting = 2, BarDone = 4, BarFailed = 5 };

// A record that travels through no signal yet; registered so that it can.
struct Split_Info
{
    int index = 0;
    qint64 start = 0;
    qint64 length = 0;
};
Q_DECLARE_METATYPE(Split_Info)

// One row of the conversion list: thumbnail, renamable name, resolution, output format and
// duration, with remove, rename, play and edit buttons. It turns clicks into selection
// requests for the list and drives the conversion of its item on a converter thread.
class VideoConvertBar : public QWidget
{
    Q_OBJECT

public:
    explicit VideoConvertBar(QWidget *parent = nullptr);
    ~VideoConvertBar() override;

    void setVideoItemInfo(ZvVideoConvertItem *item, bool unused);
    // Cuts the row off its item before the item is destroyed: the row's deletion is
    // deferred and its paint must not read a freed item.
    void detachItem();
    ZvVideoConvertItem *videoItem() const { return m_videoItem; }
    void setConvertState();
    void setMouseState(QConvertMouseState state);
    QConvertMouseState getMouseState() const { return m_mouseState; }
    QString getVideoName() const;
    QString getVideoPath() const;
    void resetIconImage();
    static QString trimName(const QString &name);
    // The row's buttons in reading order, as Tab should visit them.
    QList<QWidget *> tabStops() const;

    // Conversion of the item.
    void StartToConvertVideo(bool merge, bool fresh);
    void StopConverVideo();
    void WaitConverVideo();
    void FailConverVideo();
    int getConvertState() const { return m_nConvertState; }
    // Why the last job of this row failed; empty unless it did (a stop is no failure).
    QString failureReason() const { return m_strFailReason; }
    bool removeOutPutDir();
    void removeOwnOutput();
    QString getOutputPath() const;
    bool isBigFile() const;
    int getConvertCount() const { return 1; }
    void getConvertedInfo(convertedInfo &info) const;
    // Class-wide stop request, cleared by every fresh start.
    static void resetStopFlag();

signals:
    void emitMousePress();
    void emitMouseRelease();
    void emitMouseShiftPress();
    void emitMouseCtrlPress();
    void emitDelete();
    void emitPlay();
    void emitFile();
    void emitEdit();
    void emitshowTreeMenu();
    void emitRepaint();
    void emitVideoPlay(QString path);
    void seedConvertPro(unsigned int percent, convertState state);
    void emitConvertOnePro(unsigned int percent);
    void emitConvertedFinish(bool ok);
    void emitConvertedFinishItemTrim(bool ok);

public slots:
    void settingChange();
    void setEditBtnEnabled(bool enabled);
    void OnBtnDelete();
    void OnBtnPlay();
    void OnBtnEdit();
    void OnBtnFile();
    void OnBtnEditName();
    void ChangeName();
    void UpdataConverPro(unsigned int percent, convertState state);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    static void InitResources();
    void InitCtrl();
    void RefreshLocation();
    void setNameWidth(int width);
    void setHoverButtonsVisible(bool visible);
    void drawStaticCtrl(QPainter &painter);
    void drawColumn(QPainter &painter, int x, int gridColumn, const QString &text);
    void cacheThumbnail() const;
    bool startFileRoute(bool merge, CAVEncodeParam *param);
    bool startTrackRoute(CAVEncodeParam *param);
    ImageWriteInfo makeWriteInfo() const;
    bool takeOutput();
    void releaseConverter();
    void finishWithFailure(const QString &reason);
    void reportStartFailure(const QString &reason);

    MouseImageWidget *m_videoIconWidget = nullptr;
    RetractLabel *m_labVideoName = nullptr;
    QZVBaseButton *m_btnClose = nullptr;
    QZVBaseButton *m_btnEditName = nullptr;
    QZVBaseProgress *m_progressBar = nullptr;
    QLabel *m_converterState = nullptr;
    QZVBaseButton *m_btnMask = nullptr;
    QZVBaseButton *m_btnPlay = nullptr;
    QZVBaseButton *m_btnEdit = nullptr;
    QZVBaseButton *m_btnFile = nullptr;

    ZvVideoConvertItem *m_videoItem = nullptr;
    QConvertMouseState m_mouseState = ConvertMouseNone;
    ZVLPConverter *m_converter = nullptr;
    // Its working folder goes with the row, whose destructor stops the job first.
    StillsFolder m_stills;
    int m_nConvertState = BarIdle;
    QString m_strResolution;
    int m_infoColumnsX = 0;
    QString m_strFailReason;

    static bool m_bIsStopConvert;
};
