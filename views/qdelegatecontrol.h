#pragma once

#include <QList>
#include <QRect>

#include <memory>

class QWidget;
class QZVStyleButton;

// The in-cell buttons of one column with their layout. The buttons are not owned.
class QDelegateControl
{
public:
    explicit QDelegateControl(int column);
    ~QDelegateControl();
    QDelegateControl(const QDelegateControl &) = delete;
    QDelegateControl &operator=(const QDelegateControl &) = delete;

    bool addButton(QZVStyleButton *button);
    // Buttons sized by their images after they were added need this.
    void refreshAllWidgetWidth();

    int column() const;
    QList<QWidget *> getDrawWidgetList() const;
    int count() const;
    // Null outside 0 to count() - 1.
    QZVStyleButton *widgetFromIndex(int index) const;
    int allWidgetWidth() const;

    void setDrawAlignment(Qt::Alignment alignment);
    Qt::Alignment drawAlignment() const;
    void setDrawSpacing(int spacing);
    int drawSpacing() const;
    void setDrawWidth(int width);
    int drawWidth() const;
    void setDrawHeight(int height);
    int drawHeight() const;
    // Drawn only in the hover row.
    void setHoverShow(bool hoverShow);
    bool hoverShow() const;
    // Left to the owner to draw.
    void setCustomDraw(bool customDraw);
    bool customDraw() const;

    // Each widget's rectangle in a cell, in widget order.
    QList<QRect> layout(const QRect &cell) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
