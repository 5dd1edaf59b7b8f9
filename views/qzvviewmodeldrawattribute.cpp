#include "qzvviewmodeldrawattribute.h"

QZVViewModelDrawAttribute::QZVViewModelDrawAttribute()
    : m_hoverBgColor(51, 51, 51),
      m_hoverTextColor(255, 255, 255),
      m_evenBgColor(35, 35, 35),
      m_oddBgColor(35, 35, 35),
      m_oddTextColor(205, 196, 180),
      m_evenTextColor(205, 196, 180),
      m_deleteTextColor(255, 140, 71),
      m_textFont(QStringLiteral("Tahoma")),
      m_itemSize(50, 50)
{
    m_textFont.setPixelSize(12);
    m_textFont.setBold(false);
}

void QZVViewModelDrawAttribute::setHoverBgColor(const QColor &background, const QColor &text)
{
    m_hoverBgColor = background;
    m_hoverTextColor = text;
}

void QZVViewModelDrawAttribute::setItemBgColor(const QColor &even, const QColor &odd)
{
    m_evenBgColor = even;
    m_oddBgColor = odd;
}

void QZVViewModelDrawAttribute::setItemTextColor(const QColor &odd, const QColor &even)
{
    m_oddTextColor = odd;
    m_evenTextColor = even;
}

QColor QZVViewModelDrawAttribute::rowBackgroundColor(int row) const
{
    if (row == m_hoverRow)
        return m_hoverBgColor;
    return (row % 2) ? m_oddBgColor : m_evenBgColor;
}

QColor QZVViewModelDrawAttribute::rowTextColor(int row, bool deleted) const
{
    if (deleted)
        return m_deleteTextColor;
    if (row == m_hoverRow)
        return m_hoverTextColor;
    return (row % 2) ? m_oddTextColor : m_evenTextColor;
}
