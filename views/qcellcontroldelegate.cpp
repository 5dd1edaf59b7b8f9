#include "qcellcontroldelegate.h"

#include "cellgeometry.h"
#include "checkboximages.h"
#include "ibasechunk.h"
#include "qbaseimagedraw.h"
#include "qdelegatecontrol.h"

struct QCellControlDelegate::Private
{
    bool checkboxEnabled = true;
    CheckBoxImages checkImages;
    QPoint checkPos{5, -1};
    QMargins checkOffsets;
};

QCellControlDelegate::QCellControlDelegate(QObject *parent)
    : QStyledItemDelegate(parent),
      d(std::make_unique<Private>())
{
}

QCellControlDelegate::~QCellControlDelegate() = default;

bool QCellControlDelegate::mouseInCtrlRect() const
{
    return m_mouse.inCtrlRect;
}

QPoint QCellControlDelegate::getMousePoint() const
{
    return m_mouse.point;
}

int QCellControlDelegate::getMouseState() const
{
    return m_mouse.state;
}

int QCellControlDelegate::hoverRow() const
{
    return m_mouse.hoverRow;
}

void QCellControlDelegate::setCheckboxEnable(bool enable)
{
    d->checkboxEnabled = enable;
}

bool QCellControlDelegate::checkboxEnable() const
{
    return d->checkboxEnabled;
}

void QCellControlDelegate::setCheckboxImage(const QString &unchecked, const QString &partially,
                                            const QString &checked)
{
    d->checkImages.load(unchecked, partially, checked);
}

QImage *QCellControlDelegate::unCheckedImage() const
{
    return d->checkImages.unchecked();
}

QImage *QCellControlDelegate::partiallyImage() const
{
    return d->checkImages.partially();
}

QImage *QCellControlDelegate::checkedImage() const
{
    return d->checkImages.checked();
}

int QCellControlDelegate::checkboxWidth() const
{
    return d->checkImages.boxSize().width();
}

int QCellControlDelegate::checkboxHeight() const
{
    return d->checkImages.boxSize().height();
}

void QCellControlDelegate::setCheckboxPos(const QPoint &pos)
{
    d->checkPos = pos;
}

void QCellControlDelegate::setCheckboxPos(int x, int y)
{
    d->checkPos = QPoint(x, y);
}

QPoint QCellControlDelegate::checkboxPos() const
{
    return d->checkPos;
}

void QCellControlDelegate::setCheckboxOffest(int offset)
{
    d->checkOffsets = QMargins(offset, offset, offset, offset);
}

void QCellControlDelegate::setCheckboxOffest(int left, int top, int right, int bottom)
{
    d->checkOffsets = QMargins(left, top, right, bottom);
}

void QCellControlDelegate::getCheckboxOffest(int &left, int &top, int &right, int &bottom) const
{
    left = d->checkOffsets.left();
    top = d->checkOffsets.top();
    right = d->checkOffsets.right();
    bottom = d->checkOffsets.bottom();
}

bool QCellControlDelegate::addButtonWidget(QDelegateControl *group)
{
    if (!group)
        return false;
    m_controls.insert(group->column(), group);
    return true;
}

QRect QCellControlDelegate::checkboxRect(const QRect &cell) const
{
    return CellGeometry::checkboxRect(cell, d->checkPos, d->checkImages.boxSize());
}

QRect QCellControlDelegate::checkboxHitRect(const QRect &cell) const
{
    return CellGeometry::checkboxHitRect(checkboxRect(cell), d->checkOffsets);
}

void QCellControlDelegate::drawCheckImage(QPainter *painter, const QRect &cell, IBaseChunk *record) const
{
    if (QImage *image = d->checkImages.forState(record->GetCheck()))
        QBaseImageDraw::drawImage(*painter, checkboxRect(cell), QRect(0, 0, image->width() / 2, image->height() / 2),
                                  *image);
}

QDelegateControl *QCellControlDelegate::controlForColumn(int column) const
{
    return m_controls.value(column);
}
