#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// A row's thumbnail: a background picture, the item's video thumbnail cropped to fill
// the widget, and a play button drawn over it while the mouse is on it. The thumbnail
// can spin about the centre. The video image set through setAllImage is borrowed: the
// owner calls ResetVideoImage before it frees the image.
class MouseImageWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MouseImageWidget(QWidget *parent = nullptr);
    ~MouseImageWidget() override;

    // An empty background path keeps the background; an empty state path clears the strip.
    void setAllImage(const QString &backgroundPath, QImage *videoImage, const QString &statePath);
    // With copy false the caller keeps the pixmap alive while the widget uses it.
    void setBackgroundImage(QPixmap *pixmap, bool copy);
    void setBackgroundImage(const QString &path);
    void ResetVideoImage();
    void setVideoImage(const QString &path);
    void setStateImage(const QString &path);
    void setMAX(bool max);
    void showPlayBtn(bool show);
    void setBgColor(const QColor &color);
    int angle() const;

signals:
    void emitMouseRelease();
    void emitEnterEvent();
    void emitleaveEvent();

public slots:
    void startRotate();
    void stopRotate();
    void setAnimationDelay(int milliseconds);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void releaseBackground();
    void releaseVideoImage();
    void setMouseState(int state);
    void resizeToBackground();
    void drawVideoImage(QPainter &painter);
    void drawPlayButton(QPainter &painter);

    QPixmap *m_bgPixmap = nullptr;
    bool m_bOwnBg = false;
    QImage *m_videoImage = nullptr;
    bool m_bOwnVideoImage = false;
    QPixmap *m_statePixmap = nullptr;
    int m_nMouseState = 0;
    bool m_bMax = true;
    bool m_bShowPlayBtn = false;
    QColor m_bgColor = QColor(255, 255, 255, 1);
    int m_nAngle = 0;
    int m_nTimerId = -1;
    int m_nDelay = 100;
};
