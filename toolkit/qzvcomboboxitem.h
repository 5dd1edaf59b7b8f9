#pragma once

#include "qcomboboxitemattribute.h"
#include "qzvbaserectimagedraw.h"

#include <QWidget>

class QListWidgetItem;
class QZVComboBoxItemPrivate;

// The widget of one popup row of a skinned combo box: background by hover and current
// row, spacing strips, icon and text, an optional separator and embedded widget.
class QZVComboBoxItem : public QWidget, public QZVBaseRectImageDraw
{
    Q_OBJECT

public:
    QZVComboBoxItem(QWidget *parent, QListWidgetItem *item);
    ~QZVComboBoxItem() override;

    void setItemAttribute(QComboBoxItemAttribute attribute);
    void setWidgt(QWidget *widget);
    QWidget *getWidgt() const;
    void setWidgtPos(const QPoint &pos);
    void setSeparatorHeight(int height);
    int separatorHeight() const;
    int index() const;
    int calcItemWidth(const QString &text, const QFont &font) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

    void drawBackgroundColor(QPainter &painter);
    void drawSpacing(QPainter &painter);

private:
    bool isCurrentRow() const;

    QZVComboBoxItemPrivate *d;
};
