#include "taborder.h"

#include <QWidget>

void TabOrder::chain(const QList<QWidget *> &controls)
{
    for (int i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls.at(i - 1), controls.at(i));
}

void TabOrder::chainLast(QWidget *window, const QList<QWidget *> &controls)
{
    QWidget *last = window->previousInFocusChain();
    while (last != window && (controls.contains(last) || !(last->focusPolicy() & Qt::TabFocus)))
        last = last->previousInFocusChain();
    if (last != window)
        chain(QList<QWidget *>{last} + controls);
}
