#include "delegatesupport.h"

#include "qzvstylebutton.h"

#include <QMouseEvent>
#include <QStyle>

namespace DelegateSupport {

bool isMouseEvent(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

bool mousePosition(const QEvent *event, QPoint *position)
{
    if (!isMouseEvent(event))
        return false;
    *position = static_cast<const QMouseEvent *>(event)->pos();
    return true;
}

QStyleOptionButton buttonOption(const QZVStyleButton &button, const QRect &rect, bool columnEnabled,
                                const QPoint &mousePoint)
{
    QStyleOptionButton option;
    option.rect = rect;
    option.state = QStyle::State_Enabled;
    option.iconSize = QSize(19, 17);
    option.text = button.text();
    if (!columnEnabled) {
        option.state &= ~QStyle::State_Enabled;
    } else if (rect.contains(mousePoint)) {
        if (button.getBtnState() == 1)
            option.state |= QStyle::State_MouseOver;
        else if (button.getBtnState() == 2)
            option.state |= QStyle::State_Sunken;
    }
    return option;
}

void drawButton(QPainter *painter, QZVStyleButton &button, const QStyleOptionButton &option, bool selected)
{
    button.SetBgSelected(selected);
    button.style()->drawControl(QStyle::CE_PushButton, &option, painter, &button);
}

} // namespace DelegateSupport
