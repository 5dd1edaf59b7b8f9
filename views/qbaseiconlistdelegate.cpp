#include "qbaseiconlistdelegate.h"

#include "cellgeometry.h"
#include "delegatesupport.h"
#include "ibasechunk.h"
#include "qbaseimagedraw.h"
#include "qdelegatecontrol.h"
#include "qzvstylebutton.h"
#include "recordroles.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

struct QBaseIconListDelegate::Private
{
    QColor selectedBackground{135, 135, 135};
    bool hideCtrl = false;
    QMargins imageMargins{0, 0, 0, 0};
    drawPhotoType drawType = FittedCentred;
    int frameWidth = 0;
    QColor frameColor{0, 0, 255};
    int hoverFrameWidth = 0;
    QColor hoverFrameColor{0, 0, 255};
    QFont font;
    QColor selectedText{255, 255, 255};
    QMargins textMargins{1, 1, 1, 1};
    Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    Qt::TextElideMode elideMode = Qt::ElideRight;
    QColor imageBackground{0, 0, 0};
    QRect shadowRect{0, 0, 0, 0};
    QColor shadowStart{0, 0, 0, 0};
    QColor shadowEnd{0, 0, 0, 255};
    bool shadowVertical = true;
    QPersistentModelIndex pressedIndex;
};

namespace {

QColor brushColour(const QModelIndex &index, int role)
{
    const QVariant value = index.data(role);
    return value.canConvert<QBrush>() ? value.value<QBrush>().color() : QColor(Qt::black);
}

void drawFrameBars(QPainter *painter, const QRect &cell, int width, const QColor &colour)
{
    painter->fillRect(QRect(cell.x(), cell.y(), cell.width(), width), colour);
    painter->fillRect(QRect(cell.x(), cell.y(), width, cell.height()), colour);
    painter->fillRect(QRect(cell.x() + cell.width() - width, cell.y(), width, cell.height()), colour);
    painter->fillRect(QRect(cell.x(), cell.y() + cell.height() - width, cell.width(), width), colour);
}

} // namespace

QBaseIconListDelegate::QBaseIconListDelegate(QObject *parent)
    : QCellControlDelegate(parent),
      d(std::make_unique<Private>())
{
}

QBaseIconListDelegate::~QBaseIconListDelegate() = default;

// The background fill covers the whole cell, so the base class's painting is left out.
void QBaseIconListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QStyleOptionViewItem look(option);
    look.state &= ~QStyle::State_HasFocus;
    emit const_cast<QBaseIconListDelegate *>(this)->emitPaintIndex(index);
    painter->save();
    DrawBackground(painter, look, index);
    drawImage(painter, look, index);
    DrawTextShadow(painter, look, index);
    DrawText(painter, look, index);
    drawControl(painter, look, index);
    DrawCheckbox(painter, look, index);
    painter->restore();
}

void QBaseIconListDelegate::DrawBackground(QPainter *painter, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
    if (!index.isValid())
        return;
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(cell, selected ? d->selectedBackground : brushColour(index, Qt::BackgroundRole));
    painter->save();
    if (selected && d->frameWidth > 0)
        drawFrameBars(painter, cell, d->frameWidth, d->frameColor);
    else if (d->hoverFrameWidth > 0 && index.row() == m_mouse.hoverRow)
        drawFrameBars(painter, cell, d->hoverFrameWidth, d->hoverFrameColor);
    painter->restore();
}

// Every text is a file path; a model that hands over an image in memory returns it as a
// QImage or QPixmap.
QImage QBaseIconListDelegate::cellImage(const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::DecorationRole);
    switch (value.userType()) {
    case QMetaType::QImage:
        return value.value<QImage>();
    case QMetaType::QPixmap:
        return value.value<QPixmap>().toImage();
    default:
        break;
    }
    const QString path = value.toString();
    return path.isEmpty() ? QImage() : QImage(path);
}

void QBaseIconListDelegate::drawImage(QPainter *painter, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    if (!index.isValid())
        return;
    QImage image = cellImage(index);
    if (!image.isNull()) {
        image.setDevicePixelRatio(2.0);
        const QRect area = option.rect.marginsRemoved(d->imageMargins);
        painter->fillRect(area, d->imageBackground);
        const QSize logical(image.width() / 2, image.height() / 2);
        switch (d->drawType) {
        case NaturalSize:
            QBaseImageDraw::drawImage(*painter, QRect(area.topLeft(), logical), QRect(QPoint(0, 0), logical), image);
            break;
        case Stretched:
            painter->drawImage(QRectF(area), image);
            break;
        case FittedCentred: {
            if (area.width() <= 0 || area.height() <= 0)
                break;
            const QImage scaled = image.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
            painter->drawImage(CellGeometry::centredRect(area, scaled.size()), scaled);
            break;
        }
        case CentreCrop: {
            const QRect source = CellGeometry::centreCropSource(area, logical);
            if (source.isValid())
                QBaseImageDraw::drawImage(*painter, area, source, image);
            break;
        }
        }
    }
    drawOverlay(painter, option.rect, index);
}

void QBaseIconListDelegate::drawOverlay(QPainter *painter, const QRect &cell, const QModelIndex &index) const
{
    const QString path = index.data(Qt::UserRole).toString();
    if (path.isEmpty())
        return;
    QImage overlay(path);
    if (overlay.isNull())
        return;
    overlay.setDevicePixelRatio(2.0);
    painter->drawImage(QRectF(cell), overlay.scaled(cell.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void QBaseIconListDelegate::DrawTextShadow(QPainter *painter, const QStyleOptionViewItem &option,
                                           const QModelIndex &) const
{
    if (d->shadowRect.width() <= 0)
        return;
    const QRect band = d->shadowRect.translated(option.rect.topLeft());
    QLinearGradient gradient = d->shadowVertical
                                   ? QLinearGradient(band.left() + band.width() / 2, band.top(),
                                                     band.left() + band.width() / 2, band.bottom())
                                   : QLinearGradient(band.left(), band.top() + band.height() / 2, band.right(),
                                                     band.top() + band.height() / 2);
    gradient.setColorAt(0.0, d->shadowStart);
    gradient.setColorAt(1.0, d->shadowEnd);
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawRect(band);
    painter->restore();
}

void QBaseIconListDelegate::DrawText(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    if (!index.isValid())
        return;
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setFont(d->font);
    const bool selected = option.state & QStyle::State_Selected;
    painter->setPen(selected && !RecordRoles::isDeleted(index) ? d->selectedText
                                                                : brushColour(index, Qt::ForegroundRole));
    const QRect textRect = option.rect.marginsRemoved(d->textMargins);
    const QString elided = QFontMetrics(d->font).elidedText(text, d->elideMode, textRect.width());
    painter->drawText(textRect, int(d->alignment), elided);
}

QDelegateControl *QBaseIconListDelegate::shownGroup(const QModelIndex &index) const
{
    if (d->hideCtrl || !index.isValid())
        return nullptr;
    IBaseChunk *record = RecordRoles::record(index);
    if (!record || !record->getControlShow())
        return nullptr;
    return controlForColumn(index.column());
}

void QBaseIconListDelegate::drawControl(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QDelegateControl *group = shownGroup(index);
    if (!group || group->customDraw() || (group->hoverShow() && index.row() != m_mouse.hoverRow))
        return;
    const bool selected = option.state & QStyle::State_Selected;
    const bool columnEnabled = index.data(Qt::EditRole).toBool();
    for (int i = 0; i < group->count(); ++i) {
        QZVStyleButton *button = group->widgetFromIndex(i);
        if (!button->isShow())
            continue;
        const QRect rect(option.rect.topLeft() + button->getPos(), button->size());
        DelegateSupport::drawButton(painter, *button,
                                    DelegateSupport::buttonOption(*button, rect, columnEnabled, m_mouse.point),
                                    selected);
    }
}

void QBaseIconListDelegate::DrawCheckbox(QPainter *painter, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    IBaseChunk *record = RecordRoles::record(index);
    if (!record)
        return;
    drawCheckImage(painter, option.rect, record);
}

bool QBaseIconListDelegate::editorEvent(QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &option,
                                        const QModelIndex &index)
{
    QPoint position;
    if (!DelegateSupport::mousePosition(event, &position))
        return false;
    IBaseChunk *record = RecordRoles::record(index);
    bool overControl = false;
    if (index.isValid() && checkboxEnable() && record) {
        overControl = checkboxHitRect(option.rect).contains(position);
        if (overControl && event->type() == QEvent::MouseButtonPress) {
            emit emitCheckStateChange(index, record->GetCheck() == 2 ? 0 : 2);
            return true;
        }
    }
    QDelegateControl *group = shownGroup(index);
    if (!group) {
        d->pressedIndex = QPersistentModelIndex();
        m_mouse.inCtrlRect = overControl;
        return false;
    }
    m_mouse.point = position;
    bool result = false;
    for (int i = 0; i < group->count(); ++i) {
        QZVStyleButton *button = group->widgetFromIndex(i);
        const QRect rect(option.rect.topLeft() + button->getPos(), button->size());
        if (!rect.contains(position)) {
            if (m_mouse.state != 0)
                result = true;
            m_mouse.state = 0;
            button->setBtnState(0);
            continue;
        }
        if (!button->isShow())
            continue;
        overControl = true;
        m_mouse.state = 0;
        button->setBtnState(0);
        result = true;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            d->pressedIndex = index;
            m_mouse.state = 2;
            button->setBtnState(2);
            break;
        case QEvent::MouseButtonRelease:
            m_mouse.state = 1;
            button->setBtnState(1);
            if (index.data(Qt::EditRole).toBool() && d->pressedIndex == index) {
                button->clickWidgt(index);
                emit clickWidgt(index);
            }
            break;
        case QEvent::MouseMove:
            m_mouse.state = 1;
            button->setBtnState(1);
            break;
        default:
            break;
        }
    }
    m_mouse.inCtrlRect = overControl;
    return result;
}

void QBaseIconListDelegate::setSelectedBackgroundColor(const QColor &color)
{
    d->selectedBackground = color;
}

void QBaseIconListDelegate::setHoverRow(int row)
{
    m_mouse.hoverRow = row;
}

void QBaseIconListDelegate::setHideCtrl(bool hide)
{
    d->hideCtrl = hide;
}

bool QBaseIconListDelegate::isHideCtrl() const
{
    return d->hideCtrl;
}

void QBaseIconListDelegate::setImageMargins(int left, int top, int right, int bottom)
{
    d->imageMargins = QMargins(left, top, right, bottom);
}

void QBaseIconListDelegate::setImageMargins(const QMargins &margins)
{
    d->imageMargins = margins;
}

QMargins QBaseIconListDelegate::ImageMargins() const
{
    return d->imageMargins;
}

void QBaseIconListDelegate::setImageDrawType(drawPhotoType type)
{
    d->drawType = type;
}

QBaseIconListDelegate::drawPhotoType QBaseIconListDelegate::getImageDrawType() const
{
    return d->drawType;
}

void QBaseIconListDelegate::setFrameWidth(int width)
{
    d->frameWidth = width;
}

int QBaseIconListDelegate::getFrameWidth() const
{
    return d->frameWidth;
}

void QBaseIconListDelegate::setFrameColor(const QColor &color)
{
    d->frameColor = color;
}

QColor QBaseIconListDelegate::getFrameColor() const
{
    return d->frameColor;
}

void QBaseIconListDelegate::setHoverFrameWidth(int width)
{
    d->hoverFrameWidth = width;
}

int QBaseIconListDelegate::getHoverFrameWidth() const
{
    return d->hoverFrameWidth;
}

void QBaseIconListDelegate::setHoverFrameColor(const QColor &color)
{
    d->hoverFrameColor = color;
}

QColor QBaseIconListDelegate::getHoverFrameColor() const
{
    return d->hoverFrameColor;
}

void QBaseIconListDelegate::setFont(const QFont &font)
{
    d->font = font;
}

void QBaseIconListDelegate::setSelectTextColor(const QColor &color)
{
    d->selectedText = color;
}

void QBaseIconListDelegate::setDrawTextMargins(int left, int top, int right, int bottom)
{
    d->textMargins = QMargins(left, top, right, bottom);
}

void QBaseIconListDelegate::setDrawTextMargins(const QMargins &margins)
{
    d->textMargins = margins;
}

QMargins QBaseIconListDelegate::drawTextMargins() const
{
    return d->textMargins;
}

void QBaseIconListDelegate::setAlignment(Qt::Alignment alignment)
{
    d->alignment = alignment;
}

void QBaseIconListDelegate::setTextElideMode(Qt::TextElideMode mode)
{
    d->elideMode = mode;
}

Qt::TextElideMode QBaseIconListDelegate::textElideMode() const
{
    return d->elideMode;
}

void QBaseIconListDelegate::setImageBgColor(const QColor &color)
{
    d->imageBackground = color;
}

QColor QBaseIconListDelegate::getImageBgColor() const
{
    return d->imageBackground;
}

void QBaseIconListDelegate::setTextShadowRect(const QRect &rect)
{
    d->shadowRect = rect;
}

QRect QBaseIconListDelegate::getTextShadowRect() const
{
    return d->shadowRect;
}

void QBaseIconListDelegate::setShadowGradualColor(const QColor &start, const QColor &end, bool vertical)
{
    d->shadowStart = start;
    d->shadowEnd = end;
    d->shadowVertical = vertical;
}

