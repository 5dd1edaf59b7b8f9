#pragma once

#include "qcellcontroldelegate.h"

#include <memory>

// Paints table rows in the skinned look: own selection colours without a focus frame, a
// line under every row, an image check box before the text of one column and rows of
// image buttons in chosen columns.
class QZVBaseStyleDelegate : public QCellControlDelegate
{
    Q_OBJECT

public:
    explicit QZVBaseStyleDelegate(QObject *parent = nullptr);
    ~QZVBaseStyleDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    virtual bool editorControlEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                    const QModelIndex &index);
    virtual void drawBottomLine(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const;
    virtual void drawControl(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    virtual void DrawCheckbox(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    void setSelectedBackgroundColor(const QColor &color);
    QColor getSelectedBackgroundColor() const;
    void setSelectedTextColor(const QColor &color);
    QColor getSelectedTextColor() const;
    void setBottomLineColor(const QColor &color);
    void setDrawBottomLine(bool draw);
    void setMouseInCtrlRect(bool inside);
    // -1 (the mouse left the view) also pops one override cursor.
    void setHoverRow(int row);
    void setMouseState(int state);
    void setMousePoint(const QPoint &point);
    void setCheckInColumn(int column);
    void setCheckTextSpacing(int spacing);

private:
    bool baseEditorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                         const QModelIndex &index);

    struct Private;
    std::unique_ptr<Private> d;
};
