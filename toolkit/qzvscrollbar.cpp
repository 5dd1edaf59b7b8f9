#include "qzvscrollbar.h"

#include "qzvscrollbarstyle.h"

QZVScrollBar::QZVScrollBar(QWidget *parent)
    : QScrollBar(parent)
{
    InitScrollBar();
}

QZVScrollBar::QZVScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
    setOrientation(orientation);
    InitScrollBar();
}

QZVScrollBar::~QZVScrollBar()
{
    delete m_style;
}

void QZVScrollBar::InitScrollBar()
{
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_style = new QZVScrollBarStyle(nullptr);
    setStyle(m_style);
}

void QZVScrollBar::setOrientation(Qt::Orientation orientation)
{
    QAbstractSlider::setOrientation(orientation);
    if (orientation == Qt::Horizontal) {
        setMinimumHeight(10);
        setMaximumHeight(10);
    } else {
        setMinimumWidth(10);
        setMaximumWidth(10);
    }
}

void QZVScrollBar::setStyleAttribute(const QZVScrollBarStyleAttribute &attribute)
{
    *m_style->attribute() = attribute;
    update();
}

QZVScrollBarStyleAttribute QZVScrollBar::styleAttribute() const
{
    return *m_style->attribute();
}
