#include "qzvbasestyledelegate.h"

#include "cellgeometry.h"
#include "checkboximages.h"
#include "delegatesupport.h"
#include "ibasechunk.h"
#include "qdelegatecontrol.h"
#include "qzvstylebutton.h"
#include "recordroles.h"
#include "qbaseimagedraw.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

struct QZVBaseStyleDelegate::Private
{
    QColor selectedBackground{254, 202, 113};
    QColor selectedText{38, 38, 38};
    QColor bottomLine{28, 28, 28};
    int hoverRow = -1;
    bool drawBottomLine = true;
    QPoint mousePoint;
    bool mouseInCtrlRect = false;
    int mouseState = 0;
    bool checkboxEnabled = true;
    int checkColumn = -1;
    CheckBoxImages checkImages;
    QMargins checkMargins;
    QPoint checkPos{5, -1};
    int checkTextSpacing = 5;
};

QZVBaseStyleDelegate::QZVBaseStyleDelegate(QObject *parent)
    : QStyledItemDelegate(parent),
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
    const QSize box = d->checkImages.boxSize();
    const QPoint offset = CellGeometry::checkboxOffset(cell, d->checkPos, box);
    const QRect textRect = CellGeometry::checkTextRect(cell, offset.x(), box.width(), d->checkTextSpacing);
    const bool ownColour = !selected || RecordRoles::isDeleted(index);
    painter->setPen(ownColour ? index.data(Qt::ForegroundRole).value<QBrush>().color() : d->selectedText);
    painter->setFont(font);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    const QString text = QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                       textRect.width());
    painter->drawText(textRect, alignment, text);

    if (QImage *image = d->checkImages.forState(record->GetCheck()))
        QBaseImageDraw::drawImage(*painter, checkboxRect(cell), QRect(0, 0, image->width() / 2, image->height() / 2),
                             *image);
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
    QDelegateControl *control = m_controls.value(index.column());
    if (!control || control->customDraw())
        return;
    if (control->hoverShow() && index.row() != d->hoverRow)
        return;
    const bool selected = option.state & QStyle::State_Selected;
    const bool columnEnabled = index.data(Qt::EditRole).toBool();
    const QList<QRect> rects = control->layout(option.rect);
    for (int i = 0; i < rects.size(); ++i) {
        QZVStyleButton *button = control->widgetFromIndex(i);
        if (!button->isShow())
            continue;
        DelegateSupport::drawButton(painter, *button,
                                    DelegateSupport::buttonOption(*button, rects.at(i), columnEnabled, d->mousePoint),
                                    selected);
    }
}

bool QZVBaseStyleDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                       const QModelIndex &index)
{
    bool inCheckbox = false;
    if (index.isValid() && index.column() == d->checkColumn && d->checkboxEnabled) {
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
    d->mouseInCtrlRect = inCheckbox;
    return editorControlEvent(event, model, option, index);
}

bool QZVBaseStyleDelegate::editorControlEvent(QEvent *event, QAbstractItemModel *model,
                                              const QStyleOptionViewItem &option, const QModelIndex &index)
{
    QDelegateControl *control = m_controls.value(index.column());
    if (!control) {
        d->mouseInCtrlRect = false;
        return baseEditorEvent(event, model, option, index);
    }
    QPoint position;
    const bool isMouse = DelegateSupport::mousePosition(event, &position);
    if (isMouse)
        d->mousePoint = position;
    bool result = false;
    bool hit = false;
    const QList<QRect> rects = control->layout(option.rect);
    for (int i = 0; i < rects.size(); ++i) {
        QZVStyleButton *button = control->widgetFromIndex(i);
        if (!isMouse || !rects.at(i).contains(position)) {
            d->mouseState = 0;
            button->setBtnState(0);
            continue;
        }
        if (!button->isShow())
            continue;
        hit = true;
        result = true;
        d->mouseState = 0;
        button->setBtnState(0);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            d->mouseState = 2;
            button->setBtnState(2);
            break;
        case QEvent::MouseButtonRelease:
            d->mouseState = 1;
            button->setBtnState(1);
            if (index.data(Qt::EditRole).toBool())
                button->clickWidgt(index);
            emit clickWidgt(index);
            break;
        case QEvent::MouseMove:
            d->mouseState = 1;
            button->setBtnState(1);
            if (!button->toolTip().isEmpty())
                QToolTip::showText(static_cast<QMouseEvent *>(event)->globalPos(), button->toolTip());
            break;
        default:
            break;
        }
    }
    d->mouseInCtrlRect = hit;
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

QRect QZVBaseStyleDelegate::checkboxRect(const QRect &cell) const
{
    return CellGeometry::checkboxRect(cell, d->checkPos, d->checkImages.boxSize());
}

QRect QZVBaseStyleDelegate::checkboxHitRect(const QRect &cell) const
{
    return CellGeometry::checkboxHitRect(checkboxRect(cell), d->checkMargins);
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
    d->mouseInCtrlRect = inside;
}

bool QZVBaseStyleDelegate::mouseInCtrlRect() const
{
    return d->mouseInCtrlRect;
}

void QZVBaseStyleDelegate::setHoverRow(int row)
{
    d->hoverRow = row;
    if (row == -1)
        QGuiApplication::restoreOverrideCursor();
}

int QZVBaseStyleDelegate::hoverRow() const
{
    return d->hoverRow;
}

void QZVBaseStyleDelegate::setMouseState(int state)
{
    d->mouseState = state;
}

int QZVBaseStyleDelegate::getMouseState() const
{
    return d->mouseState;
}

void QZVBaseStyleDelegate::setMousePoint(const QPoint &point)
{
    d->mousePoint = point;
}

QPoint QZVBaseStyleDelegate::getMousePoint() const
{
    return d->mousePoint;
}

void QZVBaseStyleDelegate::setCheckInColumn(int column)
{
    d->checkColumn = column;
}

void QZVBaseStyleDelegate::setCheckboxEnable(bool enable)
{
    d->checkboxEnabled = enable;
}

bool QZVBaseStyleDelegate::checkboxEnable() const
{
    return d->checkboxEnabled;
}

void QZVBaseStyleDelegate::setCheckboxImage(const QString &unchecked, const QString &partially,
                                            const QString &checked)
{
    d->checkImages.load(unchecked, partially, checked);
}

QImage *QZVBaseStyleDelegate::unCheckedImage() const
{
    return d->checkImages.unchecked();
}

QImage *QZVBaseStyleDelegate::partiallyImage() const
{
    return d->checkImages.partially();
}

QImage *QZVBaseStyleDelegate::checkedImage() const
{
    return d->checkImages.checked();
}

void QZVBaseStyleDelegate::setCheckboxOffest(int margin)
{
    d->checkMargins = QMargins(margin, margin, margin, margin);
}

void QZVBaseStyleDelegate::setCheckboxOffest(int left, int top, int right, int bottom)
{
    d->checkMargins = QMargins(left, top, right, bottom);
}

void QZVBaseStyleDelegate::getCheckboxOffest(int &left, int &top, int &right, int &bottom) const
{
    left = d->checkMargins.left();
    top = d->checkMargins.top();
    right = d->checkMargins.right();
    bottom = d->checkMargins.bottom();
}

void QZVBaseStyleDelegate::setCheckboxPos(const QPoint &pos)
{
    d->checkPos = pos;
}

QPoint QZVBaseStyleDelegate::checkboxPos() const
{
    return d->checkPos;
}

int QZVBaseStyleDelegate::checkboxWidth() const
{
    return d->checkImages.boxSize().width();
}

int QZVBaseStyleDelegate::checkboxHeight() const
{
    return d->checkImages.boxSize().height();
}

void QZVBaseStyleDelegate::setCheckTextSpacing(int spacing)
{
    d->checkTextSpacing = spacing;
}

bool QZVBaseStyleDelegate::addButtonWidget(QDelegateControl *control)
{
    if (!control)
        return false;
    m_controls.insert(control->column(), control);
    return true;
}
