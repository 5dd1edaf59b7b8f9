#include "qzvtableview.h"

#include "hovertracker.h"
#include "qzvbasestyledelegate.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

struct QZVTableView::Private
{
    explicit Private(QAbstractItemView *view)
        : hover(view)
    {
    }
    HoverTracker hover;
    QZVBaseStyleDelegate *delegate = nullptr;
};

QZVTableView::QZVTableView(QWidget *parent)
    : QTableView(parent),
      d(std::make_unique<Private>(this))
{
    InitView();
    connect(d->hover.timer(), SIGNAL(timeout()), this, SLOT(OnToolTipTimer()));
}

QZVTableView::~QZVTableView() = default;

void QZVTableView::InitView()
{
    setAcceptDrops(true);
    setMouseTracking(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setDragDropMode(DragDrop);
    verticalHeader()->setHidden(true);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setShowGrid(false);
    setSortingEnabled(true);
    setFrameStyle(0);
    verticalHeader()->setDefaultSectionSize(27);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab moves the focus on; Qt's cell-to-cell tabbing would move the current row first.
    setTabKeyNavigation(false);
}

void QZVTableView::setSourceModel(QBaseDetailsModel *model)
{
    d->hover.setSourceModel(model);
}

void QZVTableView::setSortModel(QZVBaseSortModel *model)
{
    d->hover.setSortModel(model);
}

void QZVTableView::setStyleDelegate(QZVBaseStyleDelegate *delegate)
{
    d->delegate = delegate;
    if (delegate)
        d->hover.setDelegateHover([delegate](int row) { delegate->setHoverRow(row); });
    else
        d->hover.setDelegateHover(nullptr);
}

void QZVTableView::SetToolTip(bool enabled)
{
    d->hover.setToolTipEnabled(enabled);
}

void QZVTableView::SetToolTipShowTime(int milliseconds)
{
    d->hover.setToolTipDelay(milliseconds);
}

QString QZVTableView::showToolTipText(const QModelIndex &index)
{
    return d->hover.sourceText(index);
}

void QZVTableView::showToolTip(int row, int column)
{
    d->hover.showToolTip(row, column, [this](const QModelIndex &cell) { return showToolTipText(cell); });
}

void QZVTableView::OnToolTipTimer()
{
    if (d->hover.takeDueToolTip())
        showToolTip(d->hover.row(), d->hover.column());
}

void QZVTableView::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    d->hover.moveTo(indexAt(event->pos()));
}

void QZVTableView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (d->delegate && d->delegate->mouseInCtrlRect())
        return;
    QAbstractItemView::mouseDoubleClickEvent(event);
}

void QZVTableView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
        QWidget::keyPressEvent(event);
        break;
    case Qt::Key_Return:
        if (selectionModel() && !selectionModel()->selectedRows(1).isEmpty())
            emit emitEnterSelect();
        event->accept();
        break;
    default:
        QAbstractItemView::keyPressEvent(event);
    }
}

void QZVTableView::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
}

void QZVTableView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    d->hover.leave(HoverTracker::ForgetCell::Always);
}

void QZVTableView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        emit emitCurrentChanged(current);
}
