#pragma once

#include <QPoint>
#include <QRect>
#include <QStyleOptionButton>

class QEvent;
class QPainter;
class QZVStyleButton;

// What the row and icon delegates share about events and in-cell buttons.
namespace DelegateSupport {

// The position of a mouse event; any other event lies outside every rectangle.
bool mousePosition(const QEvent *event, QPoint *position);
bool isMouseEvent(const QEvent *event);

// The look of one in-cell button: disabled when its column is off for the record,
// otherwise hover or pressed when the mouse is over it in that state.
QStyleOptionButton buttonOption(const QZVStyleButton &button, const QRect &rect, bool columnEnabled,
                                const QPoint &mousePoint);
void drawButton(QPainter *painter, QZVStyleButton &button, const QStyleOptionButton &option, bool selected);

} // namespace DelegateSupport
