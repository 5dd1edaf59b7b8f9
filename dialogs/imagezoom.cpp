#include "imagezoom.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace ImageZoom {

QSize fitSize(QSize picture, QSize widget)
{
    const int w = picture.width();
    const int h = picture.height();
    if (w < 1 || h < 1)
        return QSize(0, 0);
    const float r = float(double(w) / h);
    const float R = float(double(widget.width()) / widget.height());
    // 64-bit products: a side times a widget side may pass 2^31.
    if (r > R)
        return QSize(widget.width(), int(double(int64_t(h) * widget.width()) / w));
    if (R >= r)
        return QSize(int(double(int64_t(w) * widget.height()) / h), widget.height());
    return picture;
}

QSize maximumSize(QSize picture, QSize screen)
{
    const int iw = picture.width();
    const int ih = picture.height();
    const int sw = screen.width();
    const int sh = screen.height();
    if (iw < 1 || ih < 1)
        return QSize(0, 0);
    if (sh > ih)
        return QSize(int(int64_t(iw) * sh / ih), sh);
    if (sw > iw)
        return QSize(sw, int(int64_t(ih) * sw / iw));
    if (sh < ih && sw < iw)
        return picture;
    return QSize(0, 0);
}

double zoomOutScale(double scale, double factor)
{
    return scale > 0.25 ? scale * factor : scale;
}

QSize zoomedLabelSize(QSize base, double scale, QSize maximum)
{
    const QSize size(qRound(base.width() * scale), qRound(base.height() * scale));
    if (maximum.width() >= 1 && size.width() > maximum.width())
        return maximum;
    return size;
}

int correctedBarValue(int value, int pageStep, double factor)
{
    return int(std::trunc(value * factor + pageStep * (factor - 1) * 0.5));
}

QSize zoomedContainerSize(QSize container, QSize label)
{
    return container.expandedTo(label);
}

QSize viewContainerSize(QSize current, QSize view, QSize label)
{
    QSize size = current;
    if (view.height() <= label.height()) {
        if (view.width() > label.width())
            size = QSize(view.width(), label.height());
    } else {
        size = view.width() > label.width() ? view : QSize(label.width(), view.height());
    }
    if (needsHorizontalBar(view, label) && needsVerticalBar(view, label))
        size = label;
    return size;
}

QPoint centred(QSize outer, QSize inner)
{
    return QPoint((outer.width() - inner.width()) / 2, (outer.height() - inner.height()) / 2);
}

bool dragMove(DragState &state, QPoint position, QPoint *scroll)
{
    *scroll = QPoint();
    if (!state.pressed) {
        state.pressed = true;
        state.dragging = false;
        state.last = position;
        return true;
    }
    const QPoint delta = position - state.last;
    if (std::abs(delta.x()) <= 9 && std::abs(delta.y()) <= 9 && !state.dragging)
        return false;
    state.dragging = true;
    *scroll = delta;
    state.last = position;
    return true;
}

} // namespace ImageZoom
