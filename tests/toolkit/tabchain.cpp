#include "tabchain.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include <algorithm>

namespace TabChain {

namespace {

// Above this line lie the title band's buttons, which answer the mouse only, as a
// desktop's title bar does.
constexpr int kTitleBandHeight = 40;

bool inTitleBand(const QWidget *widget)
{
    return qobject_cast<const QAbstractButton *>(widget) && widget->focusPolicy() == Qt::NoFocus
        && widget->mapTo(widget->window(), QPoint(0, 0)).y() < kTitleBandHeight;
}

bool operable(const QWidget *widget)
{
    if (!widget->isVisible() || !widget->isEnabled() || inTitleBand(widget))
        return false;
    for (const QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox *>(parent) || qobject_cast<const QComboBox *>(parent)
            || parent->inherits("QZVBaseSlider"))
            return false;
    }
    // A table's header is part of the table, as the mouse's way to sort it.
    if (qobject_cast<const QHeaderView *>(widget))
        return false;
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

QRect placeOf(const QWidget *widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// Two controls share a line when the middle of either lies within the other's height.
bool readsBefore(const QWidget *first, const QWidget *second)
{
    const QRect a = placeOf(first);
    const QRect b = placeOf(second);
    const auto within = [](int y, const QRect &r) { return y >= r.top() && y <= r.bottom(); };
    if (within(a.center().y(), b) || within(b.center().y(), a))
        return a.left() < b.left();
    return a.center().y() < b.center().y();
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

QStringList againstReadingOrder(QWidget &window)
{
    QList<QWidget *> round = visited(window);
    if (round.isEmpty())
        return {};
    const auto first = std::min_element(round.cbegin(), round.cend(), readsBefore);
    std::rotate(round.begin(), round.begin() + (first - round.cbegin()), round.end());
    QStringList steps;
    for (int i = 1; i < round.size(); ++i) {
        if (readsBefore(round.at(i), round.at(i - 1)))
            steps << nameOf(round.at(i - 1)) + QStringLiteral(" -> ") + nameOf(round.at(i));
    }
    return steps;
}

}
