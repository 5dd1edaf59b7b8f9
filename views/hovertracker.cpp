#include "hovertracker.h"

#include "qbasedetailsmodel.h"
#include "qzvbasesortmodel.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QTimer>
#include <QToolTip>

HoverTracker::HoverTracker(QAbstractItemView *view)
    : m_view(view),
      m_timer(new QTimer(view))
{
}

void HoverTracker::moveTo(const QModelIndex &index)
{
    const int row = index.isValid() ? index.row() : -1;
    const int column = index.isValid() ? index.column() : -1;
    if (row != m_row || column != m_column) {
        m_toolTipShown = false;
        m_sinceCellChange.start();
        QToolTip::hideText();
    }
    updateRow(row);
    m_column = column;
}

// Without a model pointer the row is not stored, so the delegate hears it on every move.
void HoverTracker::updateRow(int row)
{
    if (row == m_row)
        return;
    if (m_sortModel || m_sourceModel) {
        if (m_sortModel)
            m_sortModel->setHoverRow(row);
        if (m_sourceModel)
            m_sourceModel->setHoverRow(row);
        repaintRow(m_row);
        repaintRow(row);
        m_row = row;
    }
    if (m_delegateHover)
        m_delegateHover(row);
}

void HoverTracker::leave(ForgetCell forget)
{
    if (m_sortModel)
        m_sortModel->setHoverRow(-1);
    if (m_delegateHover)
        m_delegateHover(-1);
    if (m_sourceModel)
        m_sourceModel->setHoverRow(-1);
    const bool hasModel = m_view->model() != nullptr;
    if (hasModel)
        repaintRow(m_row);
    if (hasModel || forget == ForgetCell::Always) {
        m_row = -1;
        m_column = -1;
    }
}

void HoverTracker::repaintRow(int row) const
{
    QAbstractItemModel *model = m_view->model();
    if (!model || row < 0)
        return;
    for (int column = model->columnCount() - 1; column >= 0; --column)
        m_view->update(model->index(row, column));
}

void HoverTracker::setToolTipEnabled(bool enabled)
{
    m_toolTipEnabled = enabled;
    if (enabled)
        m_timer->start(100);
    else
        m_timer->stop();
}

bool HoverTracker::takeDueToolTip()
{
    if (m_toolTipShown || !m_sinceCellChange.isValid() || m_sinceCellChange.elapsed() <= m_toolTipDelay)
        return false;
    m_toolTipShown = true;
    return true;
}

QString HoverTracker::sourceText(const QModelIndex &index) const
{
    if (!index.isValid())
        return QString();
    QModelIndex source;
    if (m_sortModel)
        source = m_sortModel->mapToSource(index);
    else if (m_sourceModel)
        source = index;
    return source.data(Qt::DisplayRole).toString();
}

void HoverTracker::showToolTip(int row, int column, const std::function<QString(const QModelIndex &)> &textOf) const
{
    if (!m_toolTipEnabled || !m_view->model())
        return;
    const QModelIndex cell = m_view->model()->index(row, column);
    if (!cell.isValid())
        return;
    const QString text = textOf(cell);
    if (!text.isEmpty())
        QToolTip::showText(QCursor::pos(), text);
}
