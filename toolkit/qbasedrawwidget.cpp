#include "qbasedrawwidget.h"

#include "qbaseimagedraw.h"
#include "qzvfocusmark.h"
#include "qzvopaqueframe.h"
#include "skinimage.h"
#include "zvmacosinterface.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <QWindow>

class QBaseDrawWidgetPrivate
{
public:
    QImage *backgroundImage = nullptr;
    QImage *logoImage = nullptr;
    QColor backgroundColor = QColor(100, 100, 100, 100);
    int moveTopHeight = 40;
    bool dragging = false;
    QPoint pressOffset;
    QRect normalGeometry;
    QBaseDrawWidget::CursorAndState cursorState = QBaseDrawWidget::CursorNone;
    int stretchPolicy = QBaseDrawWidget::StretchBoth;
    QBaseDrawWidget::dlgType type = QBaseDrawWidget::MainWindowType;
    int stretchWidth = 4;
    bool maximised = false;
    int grabDx = 0;
    int grabDy = 0;
    QWidget *host = nullptr;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    rectSize topLeft;
    rectSize topRight;
    rectSize bottomLeft;
    rectSize bottomRight;
    QRect logoRect = QRect(0, 0, 0, 0);
    QString title;
    QRect titleRect = QRect(0, 0, 0, 0);
    Qt::Alignment alignment = Qt::AlignLeft;
    QZVOpaqueFrame *opaqueFrame = nullptr;
};

namespace {

QRect screenGeometry()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect availableGeometry()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

Qt::Edges edgesOf(QBaseDrawWidget::CursorAndState state)
{
    switch (state) {
    case QBaseDrawWidget::CursorLeft:
        return Qt::LeftEdge;
    case QBaseDrawWidget::CursorTopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case QBaseDrawWidget::CursorTop:
        return Qt::TopEdge;
    case QBaseDrawWidget::CursorTopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case QBaseDrawWidget::CursorRight:
        return Qt::RightEdge;
    case QBaseDrawWidget::CursorBottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case QBaseDrawWidget::CursorBottom:
        return Qt::BottomEdge;
    case QBaseDrawWidget::CursorBottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    default:
        return Qt::Edges();
    }
}

}

QBaseDrawWidget::QBaseDrawWidget(QWidget *host, dlgType type)
    : d(new QBaseDrawWidgetPrivate)
{
    d->type = type;
    d->host = host;
    if (type == ChildWidgetType)
        d->stretchPolicy = StretchNone;
    // Hovering must reach mouseMoveEvent to switch the resize cursors.
    QZVFocusMark::install();
    if (host) {
        host->setMouseTracking(true);
        d->opaqueFrame = new QZVOpaqueFrame(host, [this](QPainter &painter, const QSize &size) {
            drawBackground(painter, size.width(), size.height());
        });
    }
}

QBaseDrawWidget::~QBaseDrawWidget()
{
    // Before the host's own destructor, which may still deliver events to the frame.
    delete d->opaqueFrame;
    delete d->backgroundImage;
    delete d->logoImage;
    delete d;
}

void QBaseDrawWidget::resetControlLocation()
{
}

void QBaseDrawWidget::repaintHost()
{
    if (d->host)
        d->host->repaint();
}

void QBaseDrawWidget::refreshShape()
{
    if (d->opaqueFrame)
        d->opaqueFrame->refresh();
    repaintHost();
}

void QBaseDrawWidget::paintEvent(QPaintEvent *)
{
    if (!d->host)
        return;
    QPainter painter(d->host);
    if (d->opaqueFrame)
        d->opaqueFrame->paintUnderlay(painter);
    drawBackground(painter, d->host->rect().width(), d->host->rect().height());
    DrawLogo(painter);
    DrawText(painter);
    painter.end();
}

void QBaseDrawWidget::drawBackground(QPainter &painter, int W, int H)
{
    if (!d->backgroundImage) {
        painter.fillRect(QRect(0, 0, W, H), d->backgroundColor);
        return;
    }
    QImage &image = *d->backgroundImage;
    const int iw = image.width() / 2;
    const int ih = image.height() / 2;
    const rectSize tl = d->topLeft;
    const rectSize tr = d->topRight;
    const rectSize bl = d->bottomLeft;
    const rectSize br = d->bottomRight;
    QBaseImageDraw::drawImage(painter, QRect(0, 0, tl.width, tl.height),
                              QRect(0, 0, tl.width, tl.height), image);
    QBaseImageDraw::drawImage(painter, QRect(W - tr.width, 0, tr.width, tr.height),
                              QRect(iw - tr.width, 0, tr.width, tr.height), image);
    if (W - tl.width - tr.width > 0)
        QBaseImageDraw::drawImage(painter, QRect(tl.width, 0, W - tl.width - tr.width, tr.height),
                                  QRect(tl.width, 0, iw - tl.width - tr.width, tr.height), image);
    QBaseImageDraw::drawImage(painter, QRect(0, H - bl.height, bl.width, bl.height),
                              QRect(0, ih - bl.height, bl.width, bl.height), image);
    QBaseImageDraw::drawImage(painter, QRect(W - br.width, H - br.height, br.width, br.height),
                              QRect(iw - br.width, ih - br.height, br.width, br.height), image);
    if (W - bl.width - br.width > 0)
        QBaseImageDraw::drawImage(
            painter, QRect(bl.width, H - br.height, W - bl.width - br.width, br.height),
            QRect(bl.width, ih - br.height, iw - bl.width - br.width, br.height), image);
    const int leftHeight = H - tl.height - bl.height;
    if (leftHeight > 0)
        QBaseImageDraw::drawImage(painter, QRect(0, tl.height, tl.width, leftHeight),
                                  QRect(0, tl.height, tl.width, ih - tl.height - bl.height),
                                  image);
    const int rightHeight = H - tr.height - br.height;
    if (rightHeight != 0)
        QBaseImageDraw::drawImage(painter, QRect(W - tr.width, tr.height, tr.width, rightHeight),
                                  QRect(iw - tr.width, tr.height, tr.width,
                                        ih - tr.height - br.height),
                                  image);
    const int sourceHeight = ih - tl.height - bl.height;
    if (leftHeight != 0 && sourceHeight != 0)
        QBaseImageDraw::drawImage(painter,
                                  QRect(tl.width, tl.height, W - tl.width - tr.width, leftHeight),
                                  QRect(tl.width, tl.height, iw - tl.width - tr.width, sourceHeight),
                                  image);
}

void QBaseDrawWidget::DrawLogo(QPainter &painter)
{
    if (!d->logoImage)
        return;
    if (d->logoRect.width() == 0)
        d->logoRect.setWidth(d->logoImage->width() / 2);
    if (d->logoRect.height() == 0)
        d->logoRect.setHeight(d->logoImage->height() / 2);
    painter.drawImage(QRectF(d->logoRect), *d->logoImage,
                      QRectF(0, 0, d->logoImage->width(), d->logoImage->height()));
}

void QBaseDrawWidget::DrawText(QPainter &painter)
{
    if (!d->host || d->title.isEmpty())
        return;
    const QFont kept = painter.font();
    painter.setFont(d->host->font());
    painter.setPen(d->host->palette().color(QPalette::WindowText));
    // Defaults apply at paint time only, so a resized window keeps its title centred.
    QRect rect = d->titleRect;
    if (rect.width() == 0)
        rect.setWidth(d->host->width());
    if (rect.height() == 0)
        rect.setHeight(20);
    const QFontMetrics metrics(d->host->font());
    painter.drawText(rect, d->alignment, metrics.elidedText(d->title, Qt::ElideRight, rect.width()));
    painter.setFont(kept);
}

void QBaseDrawWidget::mousePressEvent(QMouseEvent *event)
{
    if (!d->host)
        return;
    QPoint topLeft = d->host->pos();
    if (d->type != ChildWidgetType) {
        const QPoint origin = ZvMacosInterface::getWindowPos(d->host);
        topLeft.setY(screenGeometry().height() - origin.y() - d->host->height());
    }
    d->pressOffset = event->globalPos() - topLeft;
    if (event->button() != Qt::LeftButton)
        return;
    d->dragging = true;
    startCompositorDrag();
}

// A native Wayland compositor ignores moves of top-level windows: it moves and resizes
// them itself once asked.
void QBaseDrawWidget::startCompositorDrag()
{
    QWindow *window = d->host->windowHandle();
    if (d->type == ChildWidgetType || !window || QGuiApplication::platformName() != QLatin1String("wayland"))
        return;
    if (d->cursorState != CursorNone && !d->maximised)
        window->startSystemResize(edgesOf(d->cursorState));
    else if (d->pressOffset.y() < d->moveTopHeight && !d->maximised)
        window->startSystemMove();
}

void QBaseDrawWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!d->host)
        return;
    if (!d->dragging && !d->maximised && (d->stretchPolicy & StretchBoth)) {
        setCursorAndState(event);
    } else if (d->dragging && d->cursorState != CursorNone) {
        // Only a held button resizes; a stale state must not make the window follow a hover.
        setFrameGeomtry(event);
        return;
    }
    if (d->dragging && d->pressOffset.y() < d->moveTopHeight && !d->maximised)
        d->host->move(event->globalPos() - d->pressOffset);
}

void QBaseDrawWidget::mouseReleaseEvent(QMouseEvent *)
{
    d->dragging = false;
}

void QBaseDrawWidget::mouseDoubleClickEvent(QMouseEvent *)
{
    if (d->host && d->stretchPolicy == StretchBoth)
        OnBtnMax();
}

void QBaseDrawWidget::setCursorAndState(QMouseEvent *event)
{
    if (!d->host)
        return;
    const QRect g = d->host->geometry();
    const int gx = event->globalPos().x();
    const int gy = event->globalPos().y();
    const int S = d->stretchWidth;
    const bool horizontal = d->stretchPolicy & StretchHorizontal;
    const bool vertical = d->stretchPolicy & StretchVertical;
    const bool inLeft = horizontal && gx >= g.left() + d->left && gx <= g.left() + d->left + S;
    const bool inRight = horizontal && gx >= g.right() - d->right - S && gx <= g.right() - d->right;
    const bool inTop = vertical && gy >= g.top() + d->top && gy <= g.top() + d->top + S;
    const bool inBottom = vertical && gy >= g.bottom() - d->bottom - S && gy <= g.bottom() - d->bottom;
    const bool inLower = vertical && gy >= g.bottom() - d->bottom - S;

    CursorAndState state = CursorNone;
    if (inLeft && inTop) {
        state = CursorTopLeft;
        d->grabDx = gx - g.left();
        d->grabDy = gy - g.top();
    } else if (inLeft && inLower) {
        state = CursorBottomLeft;
        d->grabDx = gx - g.left();
        d->grabDy = g.bottom() - gy;
    } else if (inLeft) {
        state = CursorLeft;
        d->grabDx = gx - g.left();
    } else if (inRight && inTop) {
        state = CursorTopRight;
        d->grabDx = g.right() - gx;
        d->grabDy = gy - g.top();
    } else if (inRight && inLower) {
        state = CursorBottomRight;
        d->grabDx = g.right() - gx;
        d->grabDy = g.bottom() - gy;
    } else if (inRight) {
        state = CursorRight;
        d->grabDx = g.right() - gx;
    } else if (inTop) {
        state = CursorTop;
        d->grabDy = gy - g.top();
    } else if (inBottom) {
        state = CursorBottom;
        d->grabDy = g.bottom() - gy;
    }
    setCursorType(state);
}

void QBaseDrawWidget::setCursorType(CursorAndState state)
{
    if (!d->host)
        return;
    d->cursorState = state;
    switch (state) {
    case CursorLeft:
    case CursorRight:
        d->host->setCursor(Qt::SplitHCursor);
        break;
    case CursorTop:
    case CursorBottom:
        d->host->setCursor(Qt::SplitVCursor);
        break;
    case CursorTopLeft:
    case CursorBottomRight:
        d->host->setCursor(Qt::SizeFDiagCursor);
        break;
    case CursorTopRight:
    case CursorBottomLeft:
        d->host->setCursor(Qt::SizeBDiagCursor);
        break;
    default:
        d->host->setCursor(Qt::ArrowCursor);
        break;
    }
}

void QBaseDrawWidget::moveEdges(QRect &g, const QPoint &global)
{
    const int SW = screenGeometry().width();
    const int AH = availableGeometry().height();
    const int minW = d->host->minimumWidth();
    const int minH = d->host->minimumHeight();
    const auto moveLeft = [&] {
        const int nl = global.x() - d->grabDx;
        if (g.right() - nl > minW && g.right() - nl < SW - 4)
            g.setLeft(nl);
    };
    const auto moveRight = [&] {
        const int nr = global.x() + d->grabDx;
        if (nr - g.left() > minW && nr - g.left() < SW - 4)
            g.setRight(nr);
    };
    const auto moveTop = [&] {
        const int nt = global.y() - d->grabDy;
        if (g.bottom() - nt > minH && g.bottom() - nt < AH)
            g.setTop(nt);
    };
    const auto moveBottom = [&] {
        const int nb = global.y() + d->grabDy;
        if (nb - g.top() > minH && nb - g.top() < AH)
            g.setBottom(nb);
    };
    switch (d->cursorState) {
    case CursorLeft:
        moveLeft();
        break;
    case CursorTopLeft:
        moveLeft();
        moveTop();
        break;
    case CursorTop:
        moveTop();
        break;
    case CursorTopRight:
        moveRight();
        moveTop();
        break;
    case CursorRight:
        moveRight();
        break;
    case CursorBottomRight:
        moveRight();
        moveBottom();
        break;
    case CursorBottom:
        moveBottom();
        break;
    case CursorBottomLeft:
        moveLeft();
        moveBottom();
        break;
    default:
        break;
    }
}

void QBaseDrawWidget::setFrameGeomtry(QMouseEvent *event)
{
    if (!d->host)
        return;
    QRect g = d->host->geometry();
    moveEdges(g, event->globalPos());
    d->host->setGeometry(g);
    d->host->update();
}

void QBaseDrawWidget::OnBtnMax()
{
    if (!d->host)
        return;
    if (!d->maximised) {
        d->normalGeometry = d->host->geometry();
        // The transparent margins lie outside the screen.
        d->host->setGeometry(-d->left, -d->top, screenGeometry().width() + d->left + d->right,
                             availableGeometry().height() + d->top + d->bottom);
    } else {
        d->host->setGeometry(d->normalGeometry);
    }
    d->maximised = !d->maximised;
    d->cursorState = CursorNone;
    setCursorType(CursorNone);
}

void QBaseDrawWidget::setDrawWidget(QWidget *host)
{
    d->host = host;
}

QWidget *QBaseDrawWidget::DrawWiget() const
{
    return d->host;
}

void QBaseDrawWidget::setMoveTopHeight(int height)
{
    d->moveTopHeight = height;
}

void QBaseDrawWidget::setStretchWidth(int width)
{
    d->stretchWidth = width;
}

int QBaseDrawWidget::stretchWidth() const
{
    return d->stretchWidth;
}

void QBaseDrawWidget::setStretchPolicy(enumStretchPolicy policy)
{
    d->stretchPolicy = policy;
}

void QBaseDrawWidget::setStretchPolicy(int policy)
{
    d->stretchPolicy = policy;
}

bool QBaseDrawWidget::isMaxSize() const
{
    return d->maximised;
}

void QBaseDrawWidget::setTransparentW(int width)
{
    setTransparentW(width, width, width, width);
}

void QBaseDrawWidget::setTransparentW(int left, int top, int right, int bottom)
{
    d->left = left;
    d->top = top;
    d->right = right;
    d->bottom = bottom;
}

bool QBaseDrawWidget::setBackgroundImage(const QString &path, bool resizable)
{
    if (!d->host)
        return false;
    return setBackgroundImage(SkinImage::load(path), resizable);
}

bool QBaseDrawWidget::setBackgroundImage(const QImage &image, bool resizable)
{
    if (!d->host || image.isNull())
        return false;
    changeBackgroundImage(image);
    const QSize logical(d->backgroundImage->width() / 2, d->backgroundImage->height() / 2);
    d->host->resize(logical);
    if (resizable)
        d->host->setMinimumSize(logical);
    d->stretchPolicy = resizable ? StretchBoth : StretchNone;
    const rectSize corner{(d->backgroundImage->width() / 3) / 2, (d->backgroundImage->height() / 3) / 2};
    setGridViewInfo(corner, corner, corner, corner);
    return true;
}

void QBaseDrawWidget::changeBackgroundImage(const QImage &image)
{
    delete d->backgroundImage;
    d->backgroundImage = new QImage(image);
    d->backgroundImage->setDevicePixelRatio(2.0);
    refreshShape();
}

void QBaseDrawWidget::setGridViewInfo(rectSize topLeft, rectSize topRight, rectSize bottomLeft,
                                      rectSize bottomRight)
{
    d->topLeft = topLeft;
    d->topRight = topRight;
    d->bottomLeft = bottomLeft;
    d->bottomRight = bottomRight;
    refreshShape();
}

void QBaseDrawWidget::setBackgrounColor(const QColor &color)
{
    d->backgroundColor = color;
    refreshShape();
}

void QBaseDrawWidget::setLogoImage(const QString &path)
{
    setLogoImage(SkinImage::load(path));
}

void QBaseDrawWidget::setLogoImage(const QImage &image)
{
    delete d->logoImage;
    d->logoImage = new QImage(image);
    d->logoImage->setDevicePixelRatio(2.0);
    d->logoRect.setWidth(image.width() / 2);
    d->logoRect.setHeight(image.height() / 2);
    repaintHost();
}

void QBaseDrawWidget::setLogoRect(const QRect &rect)
{
    d->logoRect = rect;
}

void QBaseDrawWidget::setTitleRect(const QRect &rect)
{
    d->titleRect = rect;
}

Qt::Alignment QBaseDrawWidget::alignment() const
{
    return d->alignment;
}

void QBaseDrawWidget::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
    repaintHost();
}

void QBaseDrawWidget::setDlgTitle(const QString &title)
{
    d->title = title;
    repaintHost();
}

void QBaseDrawWidget::CenterDlg(QDialog &dialog)
{
    CenterDlg(static_cast<QWidget *>(&dialog));
}

void QBaseDrawWidget::CenterDlg(QWidget *dialog)
{
    if (!d->host || !dialog)
        return;
    const QPoint origin = d->host->mapToGlobal(QPoint(0, 0));
    int x = origin.x() + (d->host->width() - dialog->width()) / 2;
    int y = origin.y() + (d->host->height() - dialog->height()) / 2;
    if (x < 1)
        x = 50;
    if (y < 1)
        y = 50;
    dialog->move(x, y);
}
