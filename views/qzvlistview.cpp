#include "qzvlistview.h"

#include "hovertracker.h"
#include "qbaseiconlistdelegate.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>

struct QZVListView::Private
{
    explicit Private(QAbstractItemView *view)
        : hover(view)
    {
    }
    HoverTracker hover;
    QBaseIconListDelegate *delegate = nullptr;
};

QZVListView::QZVListView(QWidget *parent)
    : QListView(parent),
      d(std::make_unique<Private>(this))
{
    setAcceptDrops(true);
    setMouseTracking(true);
    setViewMode(QListView::IconMode);
    setFrameStyle(0);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(d->hover.timer(), SIGNAL(timeout()), this, SLOT(OnToolTipTimer()));
}

QZVListView::~QZVListView() = default;

void QZVListView::setSourceModel(QBaseDetailsModel *model)
{
    d->hover.setSourceModel(model);
}

void QZVListView::setSortModel(QZVBaseSortModel *model)
{
    d->hover.setSortModel(model);
}

void QZVListView::setStyleDelegate(QBaseIconListDelegate *delegate)
{
    d->delegate = delegate;
    if (delegate)
        d->hover.setDelegateHover([delegate](int row) { delegate->setHoverRow(row); });
    else
        d->hover.setDelegateHover(nullptr);
}

void QZVListView::SetToolTip(bool enabled)
{
    d->hover.setToolTipEnabled(enabled);
}

void QZVListView::SetToolTipShowTime(int milliseconds)
{
    d->hover.setToolTipDelay(milliseconds);
}

void QZVListView::setVerticalScrollBar(QScrollBar *bar)
{
    QAbstractScrollArea::setVerticalScrollBar(bar);
    connect(bar, SIGNAL(actionTriggered(int)), this, SLOT(verticalScrollbarAction(int)), Qt::UniqueConnection);
    connect(bar, SIGNAL(valueChanged(int)), this, SLOT(verticalScrollbarValueChanged(int)), Qt::UniqueConnection);
}

void QZVListView::updateRow(int row)
{
    d->hover.updateRow(row);
}

void QZVListView::showToolTip(int row, int column)
{
    d->hover.showToolTip(row, column, [this](const QModelIndex &cell) { return showToolTipText(cell); });
}

QString QZVListView::showToolTipText(const QModelIndex &index)
{
    return d->hover.sourceText(index);
}

void QZVListView::OnToolTipTimer()
{
    if (d->hover.takeDueToolTip())
        showToolTip(d->hover.row(), d->hover.column());
}

void QZVListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (d->delegate && d->delegate->mouseInCtrlRect())
        return;
    QAbstractItemView::mouseDoubleClickEvent(event);
}

void QZVListView::mouseMoveEvent(QMouseEvent *event)
{
    QListView::mouseMoveEvent(event);
    d->hover.moveTo(indexAt(event->pos()));
}

void QZVListView::keyPressEvent(QKeyEvent *event)
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
    case Qt::Key_Backspace:
        emit emitKeyBackspace();
        event->accept();
        break;
    default:
        QAbstractItemView::keyPressEvent(event);
    }
}

void QZVListView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    d->hover.leave(HoverTracker::ForgetCell::WithModel);
}

void QZVListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    if (current.isValid())
        emit emitCurrentChanged(current);
}
