#pragma once

#include <QTableView>

#include <memory>

class QBaseDetailsModel;
class QZVBaseSortModel;
class QZVBaseStyleDelegate;

// The record table: whole-row selection without grid or frame, hover rows passed to the
// models and the row delegate, a delayed tool tip with the cell text, Return reported on a
// selection, and double clicks on in-cell buttons kept from the view.
class QZVTableView : public QTableView
{
    Q_OBJECT

public:
    explicit QZVTableView(QWidget *parent = nullptr);
    ~QZVTableView() override;

    void InitView();
    // Only remembered: the owner installs the model and the delegate itself.
    void setSourceModel(QBaseDetailsModel *model);
    void setSortModel(QZVBaseSortModel *model);
    void setStyleDelegate(QZVBaseStyleDelegate *delegate);
    void SetToolTip(bool enabled);
    void SetToolTipShowTime(int milliseconds);

public slots:
    virtual QString showToolTipText(const QModelIndex &index);
    void showToolTip(int row, int column);
    void OnToolTipTimer();

signals:
    void emitCurrentChanged(QModelIndex current);
    void emitEnterSelect();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

protected slots:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
