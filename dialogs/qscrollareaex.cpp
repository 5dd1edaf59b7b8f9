#include "qscrollareaex.h"

#include <QMouseEvent>
#include <QScrollBar>

QScrollAreaEx::QScrollAreaEx(QWidget *parent)
    : QScrollArea(parent)
{
    installEventFilter(this);
}

bool QScrollAreaEx::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        m_drag.pressed = false;
        return false;
    }
    if (event->type() == QEvent::MouseMove) {
        auto *move = static_cast<QMouseEvent *>(event);
        if (move->buttons() & Qt::LeftButton) {
            QPoint scroll;
            const bool consumed = ImageZoom::dragMove(m_drag, move->screenPos().toPoint(), &scroll);
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - scroll.x());
            verticalScrollBar()->setValue(verticalScrollBar()->value() - scroll.y());
            return consumed;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}
