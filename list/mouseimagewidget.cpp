#include "mouseimagewidget.h"

#include "qbaseimagedraw.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace {

enum MouseState { Normal = 0, Hover = 1, Pressed = 2 };

QPixmap *loadPixmap(const QString &path)
{
    auto *pixmap = new QPixmap(path);
    pixmap->setDevicePixelRatio(2.0);
    return pixmap;
}

// The part of an iw x ih image with the aspect ratio of a W x H widget, centred. In 64
// bits: a large image times a large widget overflows an int.
QRect aspectFillSource(qint64 W, qint64 H, qint64 iw, qint64 ih)
{
    if (ih * W <= iw * H) {
        const qint64 width = qMax<qint64>(1, ih * W / H);
        return QRect(int((iw - width) / 2), 0, int(width), int(ih));
    }
    const qint64 height = qMax<qint64>(1, iw * H / W);
    return QRect(0, int((ih - height) / 2), int(iw), int(height));
}

} // namespace

MouseImageWidget::MouseImageWidget(QWidget *parent)
    : QWidget(parent)
{
}

MouseImageWidget::~MouseImageWidget()
{
    releaseBackground();
    releaseVideoImage();
    delete m_statePixmap;
}

void MouseImageWidget::releaseBackground()
{
    if (m_bOwnBg)
        delete m_bgPixmap;
    m_bgPixmap = nullptr;
    m_bOwnBg = false;
}

// Only an image the widget loaded itself is freed; a borrowed one belongs to its item.
void MouseImageWidget::releaseVideoImage()
{
    if (m_bOwnVideoImage)
        delete m_videoImage;
    m_videoImage = nullptr;
    m_bOwnVideoImage = false;
}

void MouseImageWidget::resizeToBackground()
{
    if (m_bgPixmap)
        resize(m_bgPixmap->width() / 2, m_bgPixmap->height() / 2);
}

void MouseImageWidget::setAllImage(const QString &backgroundPath, QImage *videoImage,
                                   const QString &statePath)
{
    if (!backgroundPath.isEmpty()) {
        releaseBackground();
        m_bgPixmap = loadPixmap(backgroundPath);
        m_bOwnBg = true;
    }
    delete m_statePixmap;
    m_statePixmap = statePath.isEmpty() ? nullptr : loadPixmap(statePath);
    releaseVideoImage();
    m_videoImage = videoImage;
    resizeToBackground();
    update();
}

void MouseImageWidget::setBackgroundImage(QPixmap *pixmap, bool copy)
{
    releaseBackground();
    if (!pixmap)
        return;
    m_bgPixmap = copy ? new QPixmap(*pixmap) : pixmap;
    m_bOwnBg = copy;
    m_bgPixmap->setDevicePixelRatio(2.0);
    resizeToBackground();
    update();
}

void MouseImageWidget::setBackgroundImage(const QString &path)
{
    QPixmap pixmap(path);
    setBackgroundImage(&pixmap, true);
}

void MouseImageWidget::ResetVideoImage()
{
    m_videoImage = nullptr;
    m_bOwnVideoImage = false;
    update();
}

void MouseImageWidget::setVideoImage(const QString &path)
{
    releaseVideoImage();
    m_videoImage = new QImage(path);
    m_bOwnVideoImage = true;
    update();
}

void MouseImageWidget::setStateImage(const QString &path)
{
    delete m_statePixmap;
    m_statePixmap = loadPixmap(path);
    update();
}

void MouseImageWidget::setMAX(bool max)
{
    m_bMax = max;
    if (!max)
        resize(52, 36);
    else if (m_bgPixmap)
        resize(m_bgPixmap->size());
}

void MouseImageWidget::showPlayBtn(bool show)
{
    m_bShowPlayBtn = show;
    update();
}

void MouseImageWidget::setBgColor(const QColor &color)
{
    m_bgColor = color;
    update();
}

int MouseImageWidget::angle() const
{
    return m_nAngle;
}

void MouseImageWidget::startRotate()
{
    m_nAngle = 0;
    if (m_nTimerId == -1)
        m_nTimerId = startTimer(m_nDelay, Qt::CoarseTimer);
}

void MouseImageWidget::stopRotate()
{
    if (m_nTimerId != -1)
        killTimer(m_nTimerId);
    m_nTimerId = -1;
    update();
}

void MouseImageWidget::setAnimationDelay(int milliseconds)
{
    m_nDelay = milliseconds;
    if (m_nTimerId != -1) {
        killTimer(m_nTimerId);
        m_nTimerId = startTimer(m_nDelay, Qt::CoarseTimer);
    }
}

void MouseImageWidget::timerEvent(QTimerEvent *event)
{
    // The rotation timer is the only timer this widget starts.
    if (m_nTimerId == -1) {
        QWidget::timerEvent(event);
        return;
    }
    m_nAngle = (m_nAngle + 10) % 360;
    update();
}

void MouseImageWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_bgPixmap)
        painter.drawPixmap(rect(), *m_bgPixmap);
    else
        painter.fillRect(rect(), m_bgColor);
    drawVideoImage(painter);
    drawPlayButton(painter);
}

void MouseImageWidget::drawVideoImage(QPainter &painter)
{
    if (!m_videoImage || m_videoImage->isNull() || width() <= 0 || height() <= 0)
        return;
    painter.fillRect(rect(), Qt::black);
    const QRect source = aspectFillSource(width(), height(), m_videoImage->width(), m_videoImage->height());
    painter.save();
    if (m_nTimerId != -1) {
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.rotate(m_nAngle);
        painter.translate(-centre);
    }
    painter.drawImage(rect(), *m_videoImage, source);
    painter.restore();
}

void MouseImageWidget::drawPlayButton(QPainter &painter)
{
    if (!m_statePixmap || !m_bShowPlayBtn || m_statePixmap->isNull())
        return;
    const int frameWidth = m_statePixmap->width() / 2 / 4;
    const int frameHeight = m_statePixmap->height() / 2;
    const int frame = m_nMouseState == Pressed ? 2 : (m_nMouseState == Hover ? 1 : 0);
    const QRect target((width() - frameWidth) / 2, (height() - frameHeight) / 2, frameWidth, frameHeight);
    QBaseImageDraw::drawPixmap(painter, target, QRect(frame * frameWidth, 0, frameWidth, frameHeight),
                               *m_statePixmap);
}

void MouseImageWidget::setMouseState(int state)
{
    if (m_nMouseState == state)
        return;
    m_nMouseState = state;
    repaint();
}

void MouseImageWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setMouseState(Pressed);
    QWidget::mousePressEvent(event);
}

void MouseImageWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_nMouseState == Pressed)
            setMouseState(Hover);
        emit emitMouseRelease();
    }
    QWidget::mouseReleaseEvent(event);
}

void MouseImageWidget::enterEvent(QEvent *event)
{
    setMouseState(Hover);
    emit emitEnterEvent();
    QWidget::enterEvent(event);
}

void MouseImageWidget::leaveEvent(QEvent *event)
{
    setCursor(Qt::ArrowCursor);
    m_nMouseState = Normal;
    repaint();
    emit emitleaveEvent();
    QWidget::leaveEvent(event);
}
