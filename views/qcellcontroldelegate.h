#pragma once

#include <QMap>
#include <QStyledItemDelegate>

#include <memory>

class IBaseChunk;
class QDelegateControl;

// What the row and icon delegates share: an image check box placed in the cell, groups of
// in-cell buttons by column, and what the last mouse event hit. Clicks are reported by
// signals; records are never changed here.
class QCellControlDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit QCellControlDelegate(QObject *parent = nullptr);
    ~QCellControlDelegate() override;

    // Whether the last mouse event hit the check box or a shown button; the views drop
    // double clicks then.
    bool mouseInCtrlRect() const;
    QPoint getMousePoint() const;
    // 0 none, 1 hover, 2 pressed.
    int getMouseState() const;
    int hoverRow() const;

    void setCheckboxEnable(bool enable);
    bool checkboxEnable() const;
    // Replaces all three images; an empty path leaves that state without an image. The
    // box takes the logical size of the checked image.
    void setCheckboxImage(const QString &unchecked, const QString &partially, const QString &checked);
    QImage *unCheckedImage() const;
    QImage *partiallyImage() const;
    QImage *checkedImage() const;
    int checkboxWidth() const;
    int checkboxHeight() const;
    // -1 in a coordinate: 5 from the left, or centred vertically.
    void setCheckboxPos(const QPoint &pos);
    void setCheckboxPos(int x, int y);
    QPoint checkboxPos() const;
    // Margins that widen the box's hit area.
    void setCheckboxOffest(int offset);
    void setCheckboxOffest(int left, int top, int right, int bottom);
    void getCheckboxOffest(int &left, int &top, int &right, int &bottom) const;
    // Replaces any earlier group of the same column; the caller keeps ownership.
    bool addButtonWidget(QDelegateControl *group);

signals:
    void clickWidgt(const QModelIndex &index);
    void emitCheckStateChange(const QModelIndex &index, int state);

protected:
    struct MouseTrack
    {
        QPoint point;
        bool inCtrlRect = false;
        int state = 0;
        int hoverRow = -1;
    };
    MouseTrack m_mouse;

    QRect checkboxRect(const QRect &cell) const;
    QRect checkboxHitRect(const QRect &cell) const;
    // The image of the record's check state, drawn whole into the box.
    void drawCheckImage(QPainter *painter, const QRect &cell, IBaseChunk *record) const;
    QDelegateControl *controlForColumn(int column) const;

private:
    QMap<int, QDelegateControl *> m_controls;
    struct Private;
    std::unique_ptr<Private> d;
};
