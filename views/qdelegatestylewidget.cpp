#include "qdelegatestylewidget.h"

#include "qbaseimagedraw.h"

#include <QPainter>
#include <QStyleOptionButton>

struct QDelegateStyleWidget::Private
{
    QImage image;
    bool grid = false;
    QRect buttonRect;
};

QDelegateStyleWidget::QDelegateStyleWidget(QStyle *base)
    : QProxyStyle(base),
      d(std::make_unique<Private>())
{
}

QDelegateStyleWidget::~QDelegateStyleWidget() = default;

void QDelegateStyleWidget::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                       const QWidget *widget) const
{
    if (element == CE_PushButton && !d->image.isNull())
        DrawButton(option, painter, widget);
    else
        QProxyStyle::drawControl(element, option, painter, widget);
}

void QDelegateStyleWidget::DrawButton(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (!qstyleoption_cast<const QStyleOptionButton *>(option))
        return;
    DrawBackground(option, painter, widget);
    DrawText(option, painter, widget);
}

void QDelegateStyleWidget::DrawBackground(const QStyleOption *option, QPainter *painter, const QWidget *) const
{
    const int frameWidth = d->image.width() / 4;
    QImage frame = d->image.copy(frameForState(option->state) * frameWidth, 0, frameWidth, d->image.height());
    // The nine-slice cut works in logical units, so the frame keeps the double resolution.
    frame.setDevicePixelRatio(2.0);
    painter->save();
    QBaseImageDraw::drawBtnImageBg(*painter, option->rect, frame, d->grid);
    painter->restore();
}

void QDelegateStyleWidget::DrawText(const QStyleOption *, QPainter *, const QWidget *) const
{
}

void QDelegateStyleWidget::setImage(const QImage &strip)
{
    d->image = strip;
}

QImage QDelegateStyleWidget::image() const
{
    return d->image;
}

void QDelegateStyleWidget::setGrid(bool grid)
{
    d->grid = grid;
}

void QDelegateStyleWidget::setButtonRect(const QRect &rect)
{
    d->buttonRect = rect;
}

int QDelegateStyleWidget::frameForState(QStyle::State state)
{
    if (state & State_MouseOver)
        return 1;
    if (state & State_Sunken)
        return 2;
    if (!(state & State_Enabled))
        return 3;
    return 0;
}
