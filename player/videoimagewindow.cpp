#include "videoimagewindow.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

VideoImageWindow::VideoImageWindow(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    // Updates of the child stay on: in Qt the flag would spread to the view, which
    // would then never paint. The container paints nothing of its own instead.
    setPalette(QPalette(QColor(0, 0, 0, 255)));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setMouseTracking(true);
    m_ImageWidget->setMouseTracking(true);
}

VideoImageWindow::~VideoImageWindow() = default;

void VideoImageWindow::SetOpenGl(bool useOpenGl)
{
    m_ImageWidget->SetOpenGl(useOpenGl);
}

bool VideoImageWindow::showImage(unsigned char *data, unsigned width, unsigned height, unsigned stride)
{
    return m_ImageWidget->showImage(data, width, height, stride);
}

bool VideoImageWindow::showYUVImage(unsigned char **planes, int width, int height, int *strides)
{
    return m_ImageWidget->showYUVImage(planes, width, height, strides);
}

void VideoImageWindow::reshape()
{
    m_ImageWidget->reshape();
}

void VideoImageWindow::setVideoScale(int x, int y)
{
    if (x <= 0 || y <= 0)
        return;
    const int w = width();
    const int h = height();
    const float pictureRatio = float(double(x) / y);
    const float windowRatio = float(double(w) / h);
    if (pictureRatio > windowRatio)
        PlaceChild(w, int(double(qint64(y) * w) / x));
    else if (windowRatio >= pictureRatio)
        PlaceChild(int(double(qint64(x) * h) / y), h);
    else // unordered: a 0 x 0 window
        PlaceChild(x, y);
}

void VideoImageWindow::setVideoSize(int width, int height)
{
    PlaceChild(qMin(width, this->width()), qMin(height, this->height()));
}

void VideoImageWindow::PlaceChild(int width, int height)
{
    m_ImageWidget->setGeometry((this->width() - width) / 2, (this->height() - height) / 2, width, height);
}

WId VideoImageWindow::getWId()
{
    return m_ImageWidget->winId();
}

QRect VideoImageWindow::getVideoRect() const
{
    return m_ImageWidget->geometry();
}

void VideoImageWindow::ShowImageBorder(bool)
{
}

void VideoImageWindow::SetImgBorderRect(QRect)
{
    update();
}

void VideoImageWindow::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), QColor(0, 0, 0, 255));
}

void VideoImageWindow::enterEvent(QEvent *)
{
    setCursor(Qt::ArrowCursor);
}

void VideoImageWindow::leaveEvent(QEvent *)
{
    emit emitMouseLeave();
}

void VideoImageWindow::mousePressEvent(QMouseEvent *event)
{
    emit emitMouseDown(event);
    m_pressPos = QCursor::pos();
}

void VideoImageWindow::mouseReleaseEvent(QMouseEvent *event)
{
    emit emitMouseUp(event);
    // Released where it was pressed: a click, not a drag.
    if (QCursor::pos() == m_pressPos)
        emit emitPlayOrPause();
}

void VideoImageWindow::mouseMoveEvent(QMouseEvent *event)
{
    emit emitMouseMove(event);
    emit emitShowBtn(qRound(event->localPos().y()) > height() - 50);
}

void VideoImageWindow::mouseDoubleClickEvent(QMouseEvent *)
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
    emit emitFullScreen();
}
