#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

#include "ui_videoimagewindow.h"

class QMouseEvent;

// The picture area of the player: a black widget that places its video view inside
// itself and turns mouse actions into signals. Frames may come from any thread.
class VideoImageWindow : public QWidget, private Ui::VideoImageWindow
{
    Q_OBJECT

public:
    explicit VideoImageWindow(QWidget *parent = nullptr);
    ~VideoImageWindow() override;

    void SetOpenGl(bool useOpenGl);
    bool showImage(unsigned char *data, unsigned width, unsigned height, unsigned stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);
    void reshape();

    // Fits the picture to the aspect x:y, centred.
    void setVideoScale(int x, int y);
    // The picture at its own size, clipped to the window, centred.
    void setVideoSize(int width, int height);

    WId getWId();
    QRect getVideoRect() const;
    QVideoShowWidget *videoShowWidget() const { return m_ImageWidget; }
    void ShowImageBorder(bool show);
    void SetImgBorderRect(QRect rect);

signals:
    void emitFullScreen();
    void emitShowBtn(bool show);
    void emitPlayOrPause();
    void emitMouseMove(QMouseEvent *e);
    void emitMouseDown(QMouseEvent *e);
    void emitMouseUp(QMouseEvent *e);
    void emitMouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void PlaceChild(int width, int height);

    QPoint m_pressPos;
};
