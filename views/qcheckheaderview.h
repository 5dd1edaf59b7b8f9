#pragma once

#include <QHeaderView>

#include <memory>

// The header of the record tables: sections painted from images (background, pressed
// background, separator, sort arrow) in its own text colour, an optional tri-state
// check-all box in one column, and columns that can be made unsortable.
class QCheckHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    QCheckHeaderView(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~QCheckHeaderView() override;

    // Each gives false, leaving the slot empty, for a missing file or one that is no picture.
    // The background also fixes the header's height to its pixel height.
    bool setBackgroundImage(const QString &path);
    bool setSlipImage(const QString &path);
    bool setSelBackgroundImage(const QString &path);
    // The arrow for ascending order; descending draws it upside down.
    bool setOrderFlagsImage(const QString &path);

    void setCheckVisable(bool visible);
    bool getCheckVisable() const;
    void setCheckboxEnable(bool enable);
    bool checkboxEnable() const;
    void setCheckState(Qt::CheckState state);
    Qt::CheckState getCheckState() const;
    void setTristate(bool tristate);
    bool isTristate() const;
    void setCheckImage(const QString &checked, const QString &unchecked, const QString &partially);
    // A y of -1 centres the box vertically.
    void setCheckPos(int x, int y);
    void setCheckInColumn(int column);

    void setTextColor(const QColor &color);
    QColor getTextColor() const;
    void setOrderRightWidth(int width);
    void setSortEnable(int column, bool enable);
    bool sortEnable(int column) const;

signals:
    void checkChange(bool checkAll);

public slots:
    // 0 none, 1 some, 2 all checked, as the models report it.
    void OnStateChanged(int state);
    void OnClickCheckBox();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    void InitControls();
    QString title(int section) const;
    bool separatesTitles(int section) const;
    void drawArrow(QPainter *painter, const QRect &rect, int logicalIndex) const;
    void placeCheckBox(const QRect &rect) const;

    struct Private;
    std::unique_ptr<Private> d;
};
