#include "tabchain.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

namespace TabChain {

namespace {

bool operable(const QWidget *widget)
{
    if (!widget->isVisible() || !widget->isEnabled())
        return false;
    for (const QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox *>(parent) || qobject_cast<const QComboBox *>(parent)
            || parent->inherits("QZVBaseSlider"))
            return false;
    }
    return qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QLineEdit *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QComboBox *>(widget)
        || qobject_cast<const QAbstractItemView *>(widget) || qobject_cast<const QTextEdit *>(widget)
        || widget->inherits("QZVBaseSlider");
}

// Tab enters a group of exclusive choices once; the arrow keys move within it.
bool reachedThroughGroup(const QWidget *control, const QList<QWidget *> &reached)
{
    const auto *choice = qobject_cast<const QAbstractButton *>(control);
    if (!choice || !choice->autoExclusive())
        return false;
    for (const QWidget *widget : reached) {
        const auto *other = qobject_cast<const QAbstractButton *>(widget);
        if (other && other->autoExclusive() && other->parentWidget() == control->parentWidget())
            return true;
    }
    return false;
}

QString nameOf(const QWidget *widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

}

QList<QWidget *> operableControls(const QWidget &window)
{
    QList<QWidget *> controls;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->window() == &window && operable(widget))
            controls << widget;
    }
    return controls;
}

QList<QWidget *> visited(QWidget &window)
{
    QList<QWidget *> seen;
    const int bound = window.findChildren<QWidget *>().size() + 1;
    for (int step = 0; step < bound; ++step) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        if (!focus || seen.contains(focus))
            break;
        seen << focus;
    }
    return seen;
}

QStringList unreached(QWidget &window)
{
    const QList<QWidget *> reached = visited(window);
    QStringList names;
    for (const QWidget *control : operableControls(window)) {
        const QWidget *taker = control->focusProxy() ? control->focusProxy() : control;
        if (!reached.contains(const_cast<QWidget *>(taker)) && !reachedThroughGroup(control, reached))
            names << nameOf(control);
    }
    return names;
}

}
