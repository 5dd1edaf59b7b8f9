#pragma once

#include "qimageviewerdlgform.h"
#include "qzvdialogex.h"

class QImageChunk;
class QImageViewerBtn;
class QTimer;

// Shows one extracted frame large, read through the codec library under the item's key,
// with zoom, previous and next, full screen and a "Selected" box. It never writes a tick:
// it only reports the box.
class QImageViewerDlg : public QZVDialogEx, public Ui::QImageViewerDlg
{
    Q_OBJECT

public:
    explicit QImageViewerDlg(QWidget *parent = nullptr);
    ~QImageViewerDlg() override;

    // Shows the frame, with the box set from its tick without emitting emitSelected.
    void setImageChunkAndKey(QImageChunk *chunk, int key);
    void setImageChunk(QImageChunk *chunk);
    bool setImage(const QString &path);
    bool setImage(const QImage &image);
    void resetControlLocation() override;
    QImageViewerBtn *buttonBar() const { return m_bar; }
    bool isFullScreenMode() const { return m_fullScreen; }

public slots:
    void onBlowup();
    void onBlowdown();
    void onFullScreen();
    void onNormalScreen();
    void onSelected(bool selected);
    void showTimer();

signals:
    void emitSelected(bool selected);
    void emitNext();
    void emitPrevious();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void initControls();
    void placeNormal();
    void placeFullScreen();
    void setTitleButtonsVisible(bool visible);

    QImageViewerBtn *m_bar = nullptr;
    QTimer *m_showTimer = nullptr;
    QImageChunk *m_chunk = nullptr;
    int m_key = 0;
    bool m_fullScreen = false;
};
