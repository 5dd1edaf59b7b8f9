#include "nsimgitemview.h"

#include <QImageReader>
#include <QPainter>

namespace {

constexpr qreal kHandle = 6;
constexpr qreal kMid = 16;

} // namespace

NSImgItemView::NSImgItemView(QWidget *parent)
    : QWidget(parent)
{
}

void NSImgItemView::setItemImage(const QString &path)
{
    setImage(QImageReader(path).read());
}

void NSImgItemView::setImage(const QImage &image)
{
    _image = image;
    if (isVisible())
        update();
}

void NSImgItemView::showBorderImg(bool show)
{
    _bShowBorder = show;
    update();
}

void NSImgItemView::showMidImg(bool show)
{
    _bShowMid = show;
    update();
}

QVector<ImagePiece> NSImgItemView::pieces(const QSizeF &view, const QSizeF &image, bool withMid)
{
    // The handle positions are symmetric, so top-left and bottom-left origins agree.
    const qreal imageX[] = {0, (image.width() - kHandle) / 2, image.width() - kHandle};
    const qreal imageY[] = {0, (image.height() - kHandle) / 2, image.height() - kHandle};
    const qreal viewX[] = {0, (view.width() - kHandle) / 2, view.width() - kHandle};
    const qreal viewY[] = {0, (view.height() - kHandle) / 2, view.height() - kHandle};
    QVector<ImagePiece> result;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (row == 1 && column == 1)
                continue;
            result.append({QRectF(imageX[column], imageY[row], kHandle, kHandle),
                           QRectF(viewX[column], viewY[row], kHandle, kHandle)});
        }
    }
    if (withMid)
        result.append({QRectF((image.width() - kMid) / 2, (image.height() - kMid) / 2, kMid, kMid),
                       QRectF((view.width() - kMid) / 2, (view.height() - kMid) / 2, kMid, kMid)});
    return result;
}

void NSImgItemView::paintEvent(QPaintEvent *)
{
    if (_image.isNull() || !_bShowBorder)
        return;
    QPainter painter(this);
    ImagePiece::drawAll(painter, _image, pieces(size(), ImagePiece::logicalSize(_image), _bShowMid));

    // Dash lengths count in pen widths: 3 on, 2 off at width 2. A flat cap keeps the gaps open.
    QPen outline(Qt::white, 2);
    outline.setCapStyle(Qt::FlatCap);
    outline.setDashPattern({1.5, 1.0});
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()));
}
