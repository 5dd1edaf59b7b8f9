#pragma once

#include <QMap>
#include <QStyledItemDelegate>

#include <memory>

class QDelegateControl;

// Paints table rows in the skinned look: own selection colours without a focus frame, a
// line under every row, an image check box before the text of one column and rows of
// image buttons in chosen columns. Presses on the check box and clicks on buttons are
// reported by signals; records are never changed here.
class QZVBaseStyleDelegate : public QStyledItemDelegate
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
    // Whether the last mouse event hit a shown button; the view drops double clicks then.
    bool mouseInCtrlRect() const;
    // -1 (the mouse left the view) also pops one override cursor.
    void setHoverRow(int row);
    int hoverRow() const;
    void setMouseState(int state);
    int getMouseState() const;
    void setMousePoint(const QPoint &point);
    QPoint getMousePoint() const;
    void setCheckInColumn(int column);
    void setCheckboxEnable(bool enable);
    bool checkboxEnable() const;
    void setCheckboxImage(const QString &unchecked, const QString &partially, const QString &checked);
    QImage *unCheckedImage() const;
    QImage *partiallyImage() const;
    QImage *checkedImage() const;
    void setCheckboxOffest(int margin);
    void setCheckboxOffest(int left, int top, int right, int bottom);
    void getCheckboxOffest(int &left, int &top, int &right, int &bottom) const;
    // -1 in a coordinate: 5 from the left, or centred vertically.
    void setCheckboxPos(const QPoint &pos);
    QPoint checkboxPos() const;
    int checkboxWidth() const;
    int checkboxHeight() const;
    void setCheckTextSpacing(int spacing);
    // Replaces any earlier control of the same column; the caller keeps ownership.
    bool addButtonWidget(QDelegateControl *control);

signals:
    void clickWidgt(QModelIndex index);
    void emitCheckStateChange(QModelIndex index, int state);

private:
    QRect checkboxRect(const QRect &cell) const;
    QRect checkboxHitRect(const QRect &cell) const;
    bool baseEditorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                         const QModelIndex &index);

    QMap<int, QDelegateControl *> m_controls;
    struct Private;
    std::unique_ptr<Private> d;
};
