#include "qdelegatecontrol.h"

#include "cellgeometry.h"
#include "qzvstylebutton.h"

struct QDelegateControl::Private
{
    QList<QWidget *> widgets;
    int column = 0;
    Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    int spacing = 0;
    int drawWidth = 0;
    int drawHeight = 0;
    int summedWidth = 0;
    bool hoverShow = true;
    bool customDraw = false;
};

QDelegateControl::QDelegateControl(int column)
    : d(std::make_unique<Private>())
{
    d->column = column;
}

QDelegateControl::~QDelegateControl() = default;

bool QDelegateControl::addButton(QZVStyleButton *button)
{
    if (!button)
        return false;
    d->widgets.append(button);
    d->summedWidth += button->width();
    return true;
}

void QDelegateControl::refreshAllWidgetWidth()
{
    d->summedWidth = 0;
    for (QWidget *widget : qAsConst(d->widgets))
        d->summedWidth += widget->width();
}

int QDelegateControl::column() const
{
    return d->column;
}

QList<QWidget *> QDelegateControl::getDrawWidgetList() const
{
    return d->widgets;
}

int QDelegateControl::count() const
{
    return d->widgets.size();
}

QZVStyleButton *QDelegateControl::widgetFromIndex(int index) const
{
    if (index < 0 || index >= d->widgets.size())
        return nullptr;
    return static_cast<QZVStyleButton *>(d->widgets.at(index));
}

int QDelegateControl::allWidgetWidth() const
{
    return d->summedWidth;
}

void QDelegateControl::setDrawAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
}

Qt::Alignment QDelegateControl::drawAlignment() const
{
    return d->alignment;
}

void QDelegateControl::setDrawSpacing(int spacing)
{
    d->spacing = spacing;
}

int QDelegateControl::drawSpacing() const
{
    return d->spacing;
}

void QDelegateControl::setDrawWidth(int width)
{
    d->drawWidth = width;
}

int QDelegateControl::drawWidth() const
{
    return d->drawWidth;
}

void QDelegateControl::setDrawHeight(int height)
{
    d->drawHeight = height;
}

int QDelegateControl::drawHeight() const
{
    return d->drawHeight;
}

void QDelegateControl::setHoverShow(bool hoverShow)
{
    d->hoverShow = hoverShow;
}

bool QDelegateControl::hoverShow() const
{
    return d->hoverShow;
}

void QDelegateControl::setCustomDraw(bool customDraw)
{
    d->customDraw = customDraw;
}

bool QDelegateControl::customDraw() const
{
    return d->customDraw;
}

QList<QRect> QDelegateControl::layout(const QRect &cell) const
{
    QList<QSize> sizes;
    for (QWidget *widget : qAsConst(d->widgets))
        sizes << widget->size();
    return CellGeometry::controlRects(cell, sizes, d->summedWidth, d->spacing, d->alignment);
}
