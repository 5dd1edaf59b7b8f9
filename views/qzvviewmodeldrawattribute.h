#pragma once

#include <QColor>
#include <QFont>
#include <QSize>

// Row colours, hover row, font and item size shared by the record models and the sort
// proxy, so a view colours its rows the same way through either.
class QZVViewModelDrawAttribute
{
public:
    QZVViewModelDrawAttribute();

    void setHoverRow(int row) { m_hoverRow = row; }
    int hoverRow() const { return m_hoverRow; }
    void setHoverBgColor(const QColor &background, const QColor &text);
    // Backgrounds run (even, odd); texts run (odd, even).
    void setItemBgColor(const QColor &even, const QColor &odd);
    void setItemTextColor(const QColor &odd, const QColor &even);
    void setItemDeleteTextColor(const QColor &color) { m_deleteTextColor = color; }
    void setTextFont(const QFont &font) { m_textFont = font; }
    QFont textFont() const { return m_textFont; }
    void setItemSize(const QSize &size) { m_itemSize = size; }
    void setItemSize(int width, int height) { m_itemSize = QSize(width, height); }
    QSize itemSize() const { return m_itemSize; }

    // The colours a row at this position gets; a deleted record's text colour wins.
    QColor rowBackgroundColor(int row) const;
    QColor rowTextColor(int row, bool deleted) const;

private:
    int m_hoverRow = -1;
    QColor m_hoverBgColor;
    QColor m_hoverTextColor;
    QColor m_evenBgColor;
    QColor m_oddBgColor;
    QColor m_oddTextColor;
    QColor m_evenTextColor;
    QColor m_deleteTextColor;
    QFont m_textFont;
    QSize m_itemSize;
};
