#pragma once

#include "qzvscrollbarstyleattribute.h"

#include <QScrollBar>

class QZVScrollBarStyle;

// A scroll bar with Qt's behaviour and geometry, painted by its own QZVScrollBarStyle.
class QZVScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit QZVScrollBar(QWidget *parent = nullptr);
    QZVScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~QZVScrollBar() override;

    void InitScrollBar();
    // Also fixes the bar's thickness at 10.
    void setOrientation(Qt::Orientation orientation);
    void setStyleAttribute(const QZVScrollBarStyleAttribute &attribute);
    QZVScrollBarStyleAttribute styleAttribute() const;

private:
    QZVScrollBarStyle *m_style = nullptr;
};
