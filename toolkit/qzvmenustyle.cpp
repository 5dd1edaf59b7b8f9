#include "qzvmenustyle.h"

#include "qbaseimagedraw.h"

#include <QComboBox>
#include <QFontInfo>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>

QZVMenuStyle::QZVMenuStyle()
    : QProxyStyle(static_cast<QStyle *>(nullptr))
{
}

QZVMenuStyle::~QZVMenuStyle() = default;

QZVMenuStyleAttribute *QZVMenuStyle::attribute()
{
    return &m_attribute;
}

QColor QZVMenuStyle::mergedColors(const QColor &a, const QColor &b, int factor)
{
    QColor merged = a;
    merged.setRed(a.red() * factor / 100 + b.red() * (100 - factor) / 100);
    merged.setGreen(a.green() * factor / 100 + b.green() * (100 - factor) / 100);
    merged.setBlue(a.blue() * factor / 100 + b.blue() * (100 - factor) / 100);
    return merged;
}

void QZVMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    if (element != PE_FrameMenu) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    painter->save();
    if (m_attribute.backgroundImage.isNull()) {
        painter->fillRect(option->rect, m_attribute.frameColor);
    } else {
        QImage image = m_attribute.backgroundImage;
        QBaseImageDraw::drawBtnImageBg(*painter, option->rect, image, true);
    }
    painter->restore();
}

void QZVMenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    switch (element) {
    case CE_MenuItem:
        _DrawMenuItem(option, painter, widget);
        break;
    case CE_MenuEmptyArea:
        painter->save();
        painter->fillRect(option->rect, m_attribute.areaColor);
        painter->restore();
        break;
    default:
        QProxyStyle::drawControl(element, option, painter, widget);
        break;
    }
}

int QZVMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_SmallIconSize:
        return m_attribute.smallIconSize;
    case PM_MenuPanelWidth:
        return m_attribute.frameWidth;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize QZVMenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                     const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if ((m_attribute.itemWidth > 0 || m_attribute.itemHeight > 0) && type == CT_MenuItem && item)
        return menuItemSize(item, size, widget);
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

QSize QZVMenuStyle::menuItemSize(const QStyleOptionMenuItem *item, const QSize &size,
                                 const QWidget *widget) const
{
    int w = size.width();
    int h = size.height();
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        w = 10;
        h = 2;
    } else {
        h = item->fontMetrics.height() + 8;
        if (!item->icon.isNull()) {
            const int side = proxy()->pixelMetric(PM_SmallIconSize, item, widget);
            h = std::max(h, item->icon.actualSize(QSize(side, side)).height() + 4);
        }
    }
    if (item->text.contains(QLatin1Char('\t')))
        w += 32;
    if (item->maxIconWidth > 0)
        w += item->maxIconWidth + 6;
    if (item->menuHasCheckableItems && item->maxIconWidth < 20)
        w += 20 - item->maxIconWidth;
    if (item->menuHasCheckableItems || item->maxIconWidth > 0)
        w += 2;
    w += 52;
    if (m_attribute.itemWidth > 0)
        w = m_attribute.itemWidth;
    if (m_attribute.itemHeight > 0)
        h = m_attribute.itemHeight;
    return QSize(w, h);
}

int QZVMenuStyle::checkColumnWidth(const QStyleOptionMenuItem *item, const QWidget *widget) const
{
    if (qobject_cast<const QComboBox *>(widget))
        return item->icon.isNull() ? 0 : item->maxIconWidth;
    return std::max(item->maxIconWidth, 20);
}

void QZVMenuStyle::_DrawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    painter->save();
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!item) {
        painter->restore();
        return;
    }
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(m_attribute.itemColor, Qt::SolidPattern));
    painter->drawRect(item->rect);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        drawSeparator(item, painter);
        return;
    }
    const bool enabled = item->state & State_Enabled;
    if ((item->state & State_Selected) && enabled)
        painter->fillRect(item->rect, m_attribute.itemSelectColor);
    if (!qobject_cast<const QComboBox *>(widget))
        drawCheckState(item, painter, widget);
    if (!enabled) {
        painter->save();
        painter->setBrush(QBrush(m_attribute.itemDisabledColor, Qt::SolidPattern));
        painter->drawRect(item->rect);
        painter->restore();
    }
    drawIcon(item, painter, widget);
    drawText(item, painter, widget);
    drawArrow(item, painter, widget);
    painter->restore();
}

// Ends by restoring the painter state that _DrawMenuItem saved.
void QZVMenuStyle::drawSeparator(const QStyleOptionMenuItem *item, QPainter *painter) const
{
    int textWidth = 0;
    if (!item->text.isEmpty()) {
        painter->setFont(item->font);
        proxy()->drawItemText(painter, item->rect.adjusted(5, 0, -5, 0), Qt::AlignLeft | Qt::AlignVCenter,
                              item->palette, item->state & State_Enabled, item->text, QPalette::Text);
        textWidth = QFontMetrics(item->font).horizontalAdvance(item->text) + 5;
    }
    const bool leftToRight = item->direction == Qt::LeftToRight;
    painter->setPen(m_attribute.separatorColor);
    const int y = item->rect.center().y();
    painter->drawLine(item->rect.x() + 5 + (leftToRight ? textWidth : 0), y,
                      item->rect.right() - 5 - (leftToRight ? 0 : textWidth), y);
    painter->restore();
}

void QZVMenuStyle::drawCentredImage(QPainter *painter, const QRect &checkRect, QImage image) const
{
    const int width = image.width() / 2;
    const int height = image.height() / 2;
    const QSize drawn(std::min(checkRect.width(), width), std::min(checkRect.height(), height));
    const QPoint origin = checkRect.topLeft()
                        + QPoint((checkRect.width() - drawn.width()) / 2, (checkRect.height() - drawn.height()) / 2);
    QBaseImageDraw::drawImage(*painter, QRect(origin, drawn), QRect(0, 0, width, height), image);
}

void QZVMenuStyle::drawCheckState(const QStyleOptionMenuItem *item, QPainter *painter,
                                  const QWidget *widget) const
{
    if (item->checkType == QStyleOptionMenuItem::NotCheckable)
        return;
    const QRect checkRect = visualRect(item->direction, item->rect,
                                       QRect(item->rect.x() + 7, item->rect.center().y() - 6, 14, 14));
    const bool active = (item->state & State_Selected) && (item->state & State_Enabled);
    if (item->checkType & QStyleOptionMenuItem::Exclusive) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        if (item->checked) {
            painter->setPen(Qt::NoPen);
            if (!m_attribute.radioImage.isNull()) {
                drawCentredImage(painter, checkRect, m_attribute.radioImage);
            } else {
                painter->setBrush(active ? m_attribute.itemTextSelectColor : m_attribute.itemTextColor);
                painter->drawEllipse(checkRect.adjusted(4, 4, -4, -4));
            }
        }
        painter->restore();
        return;
    }
    if (!item->icon.isNull())
        return;
    QStyleOptionButton box;
    box.QStyleOption::operator=(*item);
    box.rect = checkRect;
    const QImage &image = item->checked ? m_attribute.checkedImage : m_attribute.uncheckedImage;
    if (!image.isNull()) {
        drawCentredImage(painter, checkRect, image);
        return;
    }
    if (item->checked)
        box.state |= State_On;
    proxy()->drawPrimitive(PE_IndicatorCheckBox, &box, painter, widget);
}

void QZVMenuStyle::drawIcon(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const
{
    const QRect checkRect = visualRect(item->direction, item->rect,
                                       QRect(item->rect.x() + 4, item->rect.y(),
                                             checkColumnWidth(item, widget), item->rect.height()));
    if (item->icon.isNull())
        return;
    const bool enabled = item->state & State_Enabled;
    const bool active = (item->state & State_Selected) && enabled;
    const QIcon::Mode mode = !enabled ? QIcon::Disabled : active ? QIcon::Active : QIcon::Normal;
    const int side = proxy()->pixelMetric(PM_SmallIconSize, item, widget);
    QSize iconSize(side, side);
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        iconSize = combo->iconSize();
    const QPixmap pixmap = item->icon.pixmap(iconSize, mode, item->checked ? QIcon::On : QIcon::Off);
    QRect pixmapRect(0, 0, pixmap.width(), pixmap.height());
    pixmapRect.moveCenter(checkRect.center());
    painter->setPen(m_attribute.itemTextColor);
    if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        QStyleOptionMenuItem panel = *item;
        if (active)
            panel.palette.setBrush(QPalette::Button,
                                   mergedColors(m_attribute.itemColor, m_attribute.itemSelectColor, 50));
        panel.state |= State_Sunken;
        panel.rect = checkRect;
        proxy()->drawPrimitive(PE_PanelButtonCommand, &panel, painter, widget);
    }
    painter->drawPixmap(pixmapRect.topLeft(), pixmap);
}

void QZVMenuStyle::drawText(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget) const
{
    const bool enabled = item->state & State_Enabled;
    const bool selected = item->state & State_Selected;
    const QColor disabled = m_attribute.itemTextDisabledColor;
    QColor pen = selected && enabled ? m_attribute.itemTextSelectColor : m_attribute.itemTextColor;
    if (!enabled)
        pen = disabled;
    painter->setPen(pen);
    const int margin = checkColumnWidth(item, widget) + 7;
    const QRect& r = item->rect;
    const QRect textRect(r.x() + margin, r.y() + 8, r.width() - margin - item->tabWidth - 14, r.height() - 16);
    const QRect visualText = visualRect(item->direction, r, textRect);
    QString text = item->text;
    if (text.isEmpty())
        return;
    painter->save();
    int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine;
    if (!styleHint(SH_UnderlineShortcut, item, widget))
        flags |= Qt::TextHideMnemonic;
    flags |= Qt::AlignLeft;
    const bool etched = !enabled && !selected && proxy()->styleHint(SH_EtchDisabledText, item, widget);
    const int tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        const QRect shortcutRect = visualRect(item->direction, r,
                                              QRect(textRect.topRight(), QPoint(r.right(), textRect.bottom())));
        const QString shortcut = text.mid(tab + 1);
        if (etched) {
            painter->setPen(m_attribute.itemTextColor);
            painter->drawText(shortcutRect.translated(1, 1), flags, shortcut);
            painter->setPen(disabled);
        }
        painter->drawText(shortcutRect, flags, shortcut);
        text = text.left(tab);
    }
    QFont font = item->font;
    font.setPointSizeF(QFontInfo(item->font).pointSizeF());
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    painter->setFont(font);
    if (etched) {
        painter->setPen(item->palette.light().color());
        painter->drawText(visualText.translated(1, 1), flags, text);
        painter->setPen(disabled);
    }
    painter->drawText(visualText, flags, text);
    painter->restore();
}

void QZVMenuStyle::drawArrow(const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *) const
{
    if (item->menuItemType != QStyleOptionMenuItem::SubMenu)
        return;
    const QRect &r = item->rect;
    const int dim = (r.height() - 4) / 2;
    const int x = r.x() + r.width() - 3 - dim;
    const QRect arrow = visualRect(item->direction, r, QRect(x, r.y() + r.height() / 2 - dim / 2, dim, dim));
    const bool active = (item->state & State_Selected) && (item->state & State_Enabled);
    painter->setPen(Qt::NoPen);
    painter->setBrush(active ? m_attribute.itemTextSelectColor : m_attribute.itemTextColor);
    painter->setRenderHint(QPainter::Antialiasing, true);
    QPolygonF triangle;
    if (item->direction == Qt::LeftToRight)
        triangle << QPointF(arrow.x(), arrow.y()) << QPointF(arrow.x() + arrow.width(), arrow.y() + arrow.height() / 2.0)
                 << QPointF(arrow.x(), arrow.y() + arrow.height());
    else
        triangle << QPointF(arrow.x() + arrow.width(), arrow.y()) << QPointF(arrow.x(), arrow.y() + arrow.height() / 2.0)
                 << QPointF(arrow.x() + arrow.width(), arrow.y() + arrow.height());
    painter->drawPolygon(triangle, Qt::OddEvenFill);
}
