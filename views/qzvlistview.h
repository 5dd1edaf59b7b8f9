#pragma once

#include <QListView>

#include <memory>

class QBaseDetailsModel;
class QBaseIconListDelegate;
class QScrollBar;
class QZVBaseSortModel;

// The icon grid of the thumbnail dialogs: hover rows passed to the models and the icon
// delegate, a delayed tool tip with the cell text, Return and Backspace reported, and
// double clicks on a cell's check box or buttons kept from the view.
class QZVListView : public QListView
{
    Q_OBJECT

public:
    explicit QZVListView(QWidget *parent = nullptr);
    ~QZVListView() override;

    // Only remembered: the owner installs the model and the delegate itself.
    void setSourceModel(QBaseDetailsModel *model);
    void setSortModel(QZVBaseSortModel *model);
    void setStyleDelegate(QBaseIconListDelegate *delegate);
    void SetToolTip(bool enabled);
    void SetToolTipShowTime(int milliseconds);
    // Keeps the view scrolling, and fetching more rows, with a replacement (skinned) bar.
    void setVerticalScrollBar(QScrollBar *bar);
    void updateRow(int row);

public slots:
    void showToolTip(int row, int column);
    virtual QString showToolTipText(const QModelIndex &index);
    void OnToolTipTimer();

signals:
    void emitCurrentChanged(const QModelIndex &current);
    void emitEnterSelect();
    void emitKeyBackspace();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

protected slots:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
