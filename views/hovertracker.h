#pragma once

#include <QElapsedTimer>
#include <QModelIndex>
#include <QString>

#include <functional>

class QAbstractItemView;
class QBaseDetailsModel;
class QTimer;
class QZVBaseSortModel;

// Hover row and delayed tool tip of the table and list views. The view reports mouse moves
// and leaving; the tracker writes the hover row into the models' draw attributes and the
// delegate, repaints just the old and new rows, and says when a tool tip is due.
class HoverTracker
{
public:
    explicit HoverTracker(QAbstractItemView *view);

    void setSourceModel(QBaseDetailsModel *model) { m_sourceModel = model; }
    QBaseDetailsModel *sourceModel() const { return m_sourceModel; }
    void setSortModel(QZVBaseSortModel *model) { m_sortModel = model; }
    QZVBaseSortModel *sortModel() const { return m_sortModel; }
    void setDelegateHover(std::function<void(int)> setHoverRow) { m_delegateHover = std::move(setHoverRow); }

    int row() const { return m_row; }
    int column() const { return m_column; }

    // The mouse is over this index (invalid over empty space).
    void moveTo(const QModelIndex &index);
    void updateRow(int row);
    // The mouse left the view; the stored cell is forgotten always or only with a model.
    enum class ForgetCell
    {
        Always,
        WithModel
    };
    void leave(ForgetCell forget);

    // Tool tips poll every 100 ms once switched on.
    QTimer *timer() const { return m_timer; }
    void setToolTipEnabled(bool enabled);
    bool toolTipEnabled() const { return m_toolTipEnabled; }
    void setToolTipDelay(int milliseconds) { m_toolTipDelay = milliseconds; }
    // True once per cell visit, when the mouse has rested longer than the delay.
    bool takeDueToolTip();
    // The display text of the index's source cell; empty without a model pointer.
    QString sourceText(const QModelIndex &index) const;
    // Shows the text of the view's cell at the cursor, unless tool tips are off, the cell
    // does not exist or its text is empty.
    void showToolTip(int row, int column, const std::function<QString(const QModelIndex &)> &textOf) const;

private:
    void repaintRow(int row) const;

    QAbstractItemView *m_view;
    QBaseDetailsModel *m_sourceModel = nullptr;
    QZVBaseSortModel *m_sortModel = nullptr;
    std::function<void(int)> m_delegateHover;
    int m_row = -1;
    int m_column = -1;
    QTimer *m_timer;
    bool m_toolTipEnabled = false;
    int m_toolTipDelay = 1000;
    QElapsedTimer m_sinceCellChange;
    bool m_toolTipShown = false;
};
