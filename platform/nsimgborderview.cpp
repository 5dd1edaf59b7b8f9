#include "nsimgborderview.h"

#include "nsimgitemview.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

NSImgBorderView::NSImgBorderView(QWidget *parent)
    : QWidget(parent)
{
}

NSImgBorderView::NSImgBorderView(const QRect &frame, QWidget *parent)
    : QWidget(parent)
{
    setGeometry(frame);
}

void NSImgBorderView::setCallBackObject(void *object)
{
    _pObject = object;
}

void NSImgBorderView::setMoveCallback(MouseCallback callback)
{
    _mouseMove = callback;
}

void NSImgBorderView::setDownCallback(MouseCallback callback)
{
    _mouseDown = callback;
}

void NSImgBorderView::setUpCallback(MouseCallback callback)
{
    _mouseUp = callback;
}

void NSImgBorderView::setBackgroundImage(const QString &path)
{
    setImage(QImageReader(path).read());
}

void NSImgBorderView::setImage(const QImage &image)
{
    _image = image;
    const QSizeF size = ImagePiece::logicalSize(image);
    // std::round rounds halves away from zero.
    const QSizeF corner(std::round(size.width() / 3), std::round(size.height() / 3));
    setGridViewInfo(corner, corner, corner, corner);
    setMouseTracking(true);
    if (isVisible())
        update();
}

void NSImgBorderView::setGridViewInfo(const QSizeF &upLeft, const QSizeF &upRight, const QSizeF &downLeft,
                                      const QSizeF &downRight)
{
    _upLeft = upLeft;
    _upRight = upRight;
    _downLeft = downLeft;
    _downRight = downRight;
    update();
}

void NSImgBorderView::setItemImage(const QString &path)
{
    _itemImg = path;
}

void NSImgBorderView::setItemRect(const QRectF &rect)
{
    if (!_itemView) {
        _itemView = new NSImgItemView(this);
        _itemView->setItemImage(_itemImg);
        _itemView->show();
    }
    _itemRect = rect;
    placeItemView();
}

NSImgItemView *NSImgBorderView::itemView() const
{
    return _itemView;
}

QVector<ImagePiece> NSImgBorderView::pieces(const QSizeF &view, const QSizeF &image, const QSizeF &upLeft,
                                            const QSizeF &upRight, const QSizeF &downLeft, const QSizeF &downRight)
{
    const qreal W = view.width(), H = view.height(), w = image.width(), h = image.height();
    const qreal topGap = W - upLeft.width() - upRight.width();
    const qreal bottomGap = W - downLeft.width() - downRight.width();
    const qreal leftGap = H - downLeft.height() - upLeft.height();
    const qreal rightGap = H - downRight.height() - upRight.height();

    // Built with the origin at the bottom left; each edge reaches 1 point under its corners.
    QVector<ImagePiece> raw;
    raw.append({{0, h - upLeft.height(), upLeft.width(), upLeft.height()},
                {0, H - upLeft.height(), upLeft.width(), upLeft.height()}});
    raw.append({{w - upRight.width(), h - upRight.height(), upRight.width(), upRight.height()},
                {W - upRight.width(), H - upRight.height(), upRight.width(), upRight.height()}});
    if (topGap > 0)
        raw.append({{upLeft.width(), h - upLeft.height(), w - upLeft.width() - upRight.width(), upLeft.height()},
                    {upLeft.width() - 1, H - upLeft.height(), topGap + 2, upLeft.height()}});
    raw.append({{0, 0, downLeft.width(), downLeft.height()}, {0, 0, downLeft.width(), downLeft.height()}});
    raw.append({{w - downRight.width(), 0, downRight.width(), downRight.height()},
                {W - downRight.width(), 0, downRight.width(), downRight.height()}});
    if (bottomGap > 0)
        raw.append({{downLeft.width(), 0, w - downLeft.width() - downRight.width(), downLeft.height()},
                    {downLeft.width() - 1, 0, bottomGap + 2, downLeft.height()}});
    if (leftGap > 0)
        raw.append({{0, downLeft.height(), upLeft.width(), h - downLeft.height() - upLeft.height()},
                    {0, downLeft.height() - 1, upLeft.width(), leftGap + 2}});
    if (rightGap > 0)
        raw.append({{w - upRight.width(), downRight.height(), upRight.width(),
                     h - downRight.height() - upRight.height()},
                    {W - upRight.width(), downRight.height() - 1, upRight.width(), rightGap + 2}});
    if (topGap > 0 && leftGap > 0)
        raw.append({{upLeft.width(), downLeft.height(), w - upLeft.width() - upRight.width(),
                     h - downLeft.height() - upLeft.height()},
                    {upLeft.width() - 1, downLeft.height() - 1, topGap + 2, leftGap + 2}});

    QVector<ImagePiece> result;
    for (const ImagePiece &piece : raw)
        result.append({ImagePiece::fromBottomLeft(piece.source, h), ImagePiece::fromBottomLeft(piece.destination, H)});
    return result;
}

void NSImgBorderView::paintEvent(QPaintEvent *)
{
    if (_image.isNull())
        return;
    QPainter painter(this);
    ImagePiece::drawAll(painter, _image,
                        pieces(size(), ImagePiece::logicalSize(_image), _upLeft, _upRight, _downLeft, _downRight));
}

void NSImgBorderView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (_itemView)
        placeItemView();
}

void NSImgBorderView::mousePressEvent(QMouseEvent *event)
{
    report(_mouseDown, event);
}

void NSImgBorderView::mouseMoveEvent(QMouseEvent *event)
{
    report(_mouseMove, event);
}

void NSImgBorderView::mouseReleaseEvent(QMouseEvent *event)
{
    report(_mouseUp, event);
}

void NSImgBorderView::report(MouseCallback callback, QMouseEvent *event) const
{
    if (callback)
        callback(float(event->windowPos().x()), float(event->windowPos().y()), _pObject);
}

void NSImgBorderView::placeItemView()
{
    // The rectangle keeps its distance from the bottom edge, as its coordinates say.
    _itemView->setGeometry(ImagePiece::fromBottomLeft(_itemRect, height()).toRect());
}
