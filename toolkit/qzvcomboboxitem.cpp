#include "qzvcomboboxitem.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>

class QZVComboBoxItemPrivate
{
public:
    QListWidgetItem *item = nullptr;
    QComboBoxItemAttribute attribute;
    bool hover = false;
    QWidget *widget = nullptr;
    int separatorHeight = 0;
};

QZVComboBoxItem::QZVComboBoxItem(QWidget *parent, QListWidgetItem *item)
    : QWidget(parent)
    , QZVBaseRectImageDraw(this)
    , d(new QZVComboBoxItemPrivate)
{
    d->item = item;
    setDrawTextMargins(5, 0, 0, 0);
    setBtnMode(true);
}

QZVComboBoxItem::~QZVComboBoxItem()
{
    delete d;
}

void QZVComboBoxItem::setItemAttribute(QComboBoxItemAttribute attribute)
{
    d->attribute = attribute;
    update();
}

void QZVComboBoxItem::setWidgt(QWidget *widget)
{
    d->widget = widget;
}

QWidget *QZVComboBoxItem::getWidgt() const
{
    return d->widget;
}

void QZVComboBoxItem::setWidgtPos(const QPoint &pos)
{
    d->attribute.itemWidgetPos = pos;
}

void QZVComboBoxItem::setSeparatorHeight(int height)
{
    d->separatorHeight = height;
}

int QZVComboBoxItem::separatorHeight() const
{
    return d->separatorHeight;
}

int QZVComboBoxItem::index() const
{
    if (!d->item || !d->item->listWidget())
        return -1;
    return d->item->listWidget()->row(d->item);
}

int QZVComboBoxItem::calcItemWidth(const QString &text, const QFont &font) const
{
    const QMargins margins = drawTextMargins();
    return QFontMetrics(font).horizontalAdvance(text) + margins.left() + margins.right();
}

bool QZVComboBoxItem::isCurrentRow() const
{
    return d->item && d->item->listWidget() && d->item->listWidget()->currentItem() == d->item;
}

void QZVComboBoxItem::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    drawBackgroundColor(painter);
    drawSpacing(painter);
    painter.setPen(pen);
    painter.setBrush(brush);
    if (d->item) {
        setDrawText(d->item->text());
        drawIcon(painter);
        if (d->attribute.alignment != alignment())
            setAlignment(d->attribute.alignment);
        drawRectText(painter);
    }
    const int h = d->separatorHeight;
    if (h > 0)
        painter.fillRect(QRect(1, height() - h, width() - 2, h), d->attribute.separatorColor);
}

void QZVComboBoxItem::drawBackgroundColor(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    setCheckState(false);
    QColor color = d->hover ? d->attribute.selectedColor : d->attribute.itemColor;
    if (d->attribute.hoverColorSet) {
        if (isCurrentRow()) {
            // The current row takes the pressed text colour with its selected background.
            color = d->attribute.selectedColor;
            setCheckState(true);
        } else {
            color = d->hover ? d->attribute.hoverColor : d->attribute.itemColor;
        }
    }
    painter.setBrush(QBrush(color, Qt::SolidPattern));
    painter.drawRect(rect());
}

void QZVComboBoxItem::drawSpacing(QPainter &painter)
{
    const int spacing = d->attribute.spacing;
    if (spacing < 1)
        return;
    painter.setPen(Qt::NoPen);
    if (!d->item || !d->item->listWidget())
        return;
    const int row = d->item->listWidget()->row(d->item);
    if (row != 0 && spacing > 1)
        painter.fillRect(QRect(0, 0, width(), spacing / 2), d->attribute.spacingColor);
    if (row + 1 < d->item->listWidget()->count()) {
        const int lower = (spacing + 1) / 2;
        painter.fillRect(QRect(0, height() - lower - d->separatorHeight, width(), lower),
                         d->attribute.spacingColor);
    }
}

void QZVComboBoxItem::mousePressEvent(QMouseEvent *event)
{
    mousePressEventDraw(event);
    QWidget::mousePressEvent(event);
}

void QZVComboBoxItem::mouseReleaseEvent(QMouseEvent *event)
{
    mouseReleaseEventDraw(event);
    QWidget::mouseReleaseEvent(event);
}

void QZVComboBoxItem::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
}

void QZVComboBoxItem::enterEvent(QEvent *event)
{
    enterEventDraw(event);
    QWidget::enterEvent(event);
    d->hover = true;
    update();
}

void QZVComboBoxItem::leaveEvent(QEvent *event)
{
    leaveEventDraw(event);
    QWidget::leaveEvent(event);
    d->hover = false;
    update();
}

void QZVComboBoxItem::changeEvent(QEvent *event)
{
    changeEventDraw(event);
    QWidget::changeEvent(event);
}

void QZVComboBoxItem::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!d->widget)
        return;
    QPoint pos = d->attribute.itemWidgetPos;
    if (pos.x() < 0)
        pos.setX(2);
    if (pos.y() < 0)
        pos.setY((height() - d->widget->height()) / 2);
    d->widget->move(pos);
}
