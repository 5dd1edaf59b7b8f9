#pragma once

#include <QList>
#include <QStringList>

class QWidget;

// Keyboard reach of a shown, active window.
namespace TabChain {

// The controls a user operates: visible and enabled buttons, fields, boxes, lists and
// sliders, without the parts that a field or box takes the focus for.
QList<QWidget *> operableControls(const QWidget &window);
// The controls that Tab visits from the current focus until it comes round again.
QList<QWidget *> visited(QWidget &window);
// The operable controls that Tab never reaches, by object name or class.
QStringList unreached(QWidget &window);
// Each step of Tab's round, from the control read first, that goes back against reading
// order (top to bottom, left to right along a line), as "from -> to".
QStringList againstReadingOrder(QWidget &window);

}
