#include "qzvbasestyledelegate.h"

#include "cellgeometry.h"
#include "delegatesupport.h"
#include "ibasechunk.h"
#include "qdelegatecontrol.h"
#include "qzvstylebutton.h"
#include "recordroles.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

struct QZVBaseStyleDelegate::Private
{
    QColor selectedBackground{254, 202, 113};
    QColor selectedText{38, 38, 38};
    QColor bottomLine{28, 28, 28};
    bool drawBottomLine = true;
    int checkColumn = -1;
    int checkTextSpacing = 5;
};

QZVBaseStyleDelegate::QZVBaseStyleDelegate(QObject *parent)
    : QCellControlDelegate(parent),
      d(std::make_unique<Private>())
{
}

QZVBaseStyleDelegate::~QZVBaseStyleDelegate() = default;

void QZVBaseStyleDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    QStyleOptionViewItem look(option);
    look.state &= ~QStyle::State_HasFocus;
    look.palette.setColor(QPalette::All, QPalette::Highlight, d->selectedBackground);
    look.palette.setColor(QPalette::All, QPalette::HighlightedText, d->selectedText);
    // A deleted row keeps its own text colour when selected.
    if (RecordRoles::isDeleted(index))
        look.palette.setColor(QPalette::All, QPalette::HighlightedText,
                              index.data(Qt::ForegroundRole).value<QBrush>().color());
    QStyledItemDelegate::paint(painter, look, index);
    DrawCheckbox(painter, look, index);
    drawBottomLine(painter, look, index);
    drawControl(painter, look, index);
}

void QZVBaseStyleDelegate::DrawCheckbox(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    if (!index.isValid() || index.column() != d->checkColumn)
        return;
    IBaseChunk *record = RecordRoles::record(index);
    if (!record)
        return;
    const bool selected = option.state & QStyle::State_Selected;
    const QRect cell = option.rect;
    painter->fillRect(cell, selected ? d->selectedBackground
                                     : index.data(Qt::BackgroundRole).value<QBrush>().color());

    const QVariant fontValue = index.data(Qt::FontRole);
    const QFont font = fontValue.isValid() ? fontValue.value<QFont>() : option.font;
    const QVariant alignValue = index.data(Qt::TextAlignmentRole);
    const int alignment = alignValue.isValid() ? alignValue.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter);
    const QRect box = checkboxRect(cell);
    const QRect textRect =
        CellGeometry::checkTextRect(cell, box.left() - cell.left(), box.width(), d->checkTextSpacing);
    const bool ownColour = !selected || RecordRoles::isDeleted(index);
    painter->setPen(ownColour ? index.data(Qt::ForegroundRole).value<QBrush>().color() : d->selectedText);
    painter->setFont(font);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    const QString text = QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                       textRect.width());
    painter->drawText(textRect, alignment, text);

    drawCheckImage(painter, cell, record);
}

void QZVBaseStyleDelegate::drawBottomLine(QPainter *painter, const QStyleOptionViewItem &option,
                                          const QModelIndex &) const
{
    if (!d->drawBottomLine)
        return;
    const QPen pen = painter->pen();
    painter->setPen(d->bottomLine);
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->setPen(pen);
}

void QZVBaseStyleDelegate::drawControl(QPainter *painter, const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    QDelegateControl *control = controlForColumn(index.column());
    if (!control || control->customDraw())
        return;
    if (control->hoverShow() && index.row() != m_mouse.hoverRow)
        return;
    const bool selected = option.state & QStyle::State_Selected;
    const bool columnEnabled = index.data(Qt::EditRole).toBool();
    const QList<QRect> rects = control->layout(option.rect);
    for (int i = 0; i < rects.size(); ++i) {
        QZVStyleButton *button = control->widgetFromIndex(i);
        if (!button->isShow())
            continue;
        DelegateSupport::drawButton(painter, *button,
                                    DelegateSupport::buttonOption(*button, rects.at(i), columnEnabled, m_mouse.point),
                                    selected);
    }
}

bool QZVBaseStyleDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                       const QModelIndex &index)
{
    bool inCheckbox = false;
    if (index.isValid() && index.column() == d->checkColumn && checkboxEnable()) {
        if (IBaseChunk *record = RecordRoles::record(index)) {
            QPoint position;
            inCheckbox = DelegateSupport::mousePosition(event, &position)
                         && checkboxHitRect(option.rect).contains(position);
            if (event->type() == QEvent::MouseButtonPress && inCheckbox) {
                emit emitCheckStateChange(index, record->GetCheck() == 2 ? 0 : 2);
                return true;
            }
            if (event->type() == QEvent::MouseButtonRelease)
                return true;
        }
    }
    m_mouse.inCtrlRect = inCheckbox;
    return editorControlEvent(event, model, option, index);
}

bool QZVBaseStyleDelegate::editorControlEvent(QEvent *event, QAbstractItemModel *model,
                                              const QStyleOptionViewItem &option, const QModelIndex &index)
{
    QDelegateControl *control = controlForColumn(index.column());
    if (!control) {
        m_mouse.inCtrlRect = false;
        return baseEditorEvent(event, model, option, index);
    }
    QPoint position;
    const bool isMouse = DelegateSupport::mousePosition(event, &position);
    if (isMouse)
        m_mouse.point = position;
    bool result = false;
    bool hit = false;
    const QList<QRect> rects = control->layout(option.rect);
    for (int i = 0; i < rects.size(); ++i) {
        QZVStyleButton *button = control->widgetFromIndex(i);
        if (!isMouse || !rects.at(i).contains(position)) {
            m_mouse.state = 0;
            button->setBtnState(0);
            continue;
        }
        if (!button->isShow())
            continue;
        hit = true;
        result = true;
        m_mouse.state = 0;
        button->setBtnState(0);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_mouse.state = 2;
            button->setBtnState(2);
            break;
        case QEvent::MouseButtonRelease:
            m_mouse.state = 1;
            button->setBtnState(1);
            if (index.data(Qt::EditRole).toBool())
                button->clickWidgt(index);
            emit clickWidgt(index);
            break;
        case QEvent::MouseMove:
            m_mouse.state = 1;
            button->setBtnState(1);
            if (!button->toolTip().isEmpty())
                QToolTip::showText(static_cast<QMouseEvent *>(event)->globalPos(), button->toolTip());
            break;
        default:
            break;
        }
    }
    m_mouse.inCtrlRect = hit;
    return result;
}

// Qt's own handling would toggle a checkable cell through the model; a view never writes
// a record, so checkable cells get no fall-back.
bool QZVBaseStyleDelegate::baseEditorEvent(QEvent *event, QAbstractItemModel *model,
                                           const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (index.flags() & Qt::ItemIsUserCheckable)
        return false;
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void QZVBaseStyleDelegate::setSelectedBackgroundColor(const QColor &color)
{
    d->selectedBackground = color;
}

QColor QZVBaseStyleDelegate::getSelectedBackgroundColor() const
{
    return d->selectedBackground;
}

void QZVBaseStyleDelegate::setSelectedTextColor(const QColor &color)
{
    d->selectedText = color;
}

QColor QZVBaseStyleDelegate::getSelectedTextColor() const
{
    return d->selectedText;
}

void QZVBaseStyleDelegate::setBottomLineColor(const QColor &color)
{
    d->bottomLine = color;
}

void QZVBaseStyleDelegate::setDrawBottomLine(bool draw)
{
    d->drawBottomLine = draw;
}

void QZVBaseStyleDelegate::setMouseInCtrlRect(bool inside)
{
    m_mouse.inCtrlRect = inside;
}

void QZVBaseStyleDelegate::setHoverRow(int row)
{
    m_mouse.hoverRow = row;
    if (row == -1)
        QGuiApplication::restoreOverrideCursor();
}

void QZVBaseStyleDelegate::setMouseState(int state)
{
    m_mouse.state = state;
}

void QZVBaseStyleDelegate::setMousePoint(const QPoint &point)
{
    m_mouse.point = point;
}

void QZVBaseStyleDelegate::setCheckInColumn(int column)
{
    d->checkColumn = column;
}

void QZVBaseStyleDelegate::setCheckTextSpacing(int spacing)
{
    d->checkTextSpacing = spacing;
}

