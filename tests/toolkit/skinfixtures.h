#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QMouseEvent>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

class QWidget;

// Synthetic skins written at test time, and helpers to read rendered pixels back.
namespace SkinFixtures {

// Fusion and a Tahoma substitute, so text metrics are stable on any machine.
void initToolkitTestEnvironment();

// A strip of frames side by side, one solid colour per frame (frame size in pixels).
QImage solidStrip(const QList<QColor> &colors, QSize framePixels);
// A frame cut in a 3 x 3 grid of solid colours; cells are given in pixels.
QImage nineRegions(const QList<QColor> &colors, QSize cellPixels);
QImage solid(QSize pixels, const QColor &color);
QList<QColor> nineColors();
QString save(const QTemporaryDir &dir, const QString &name, const QImage &image);
// A file that exists but holds no image.
QString corruptFile(const QTemporaryDir &dir, const QString &name);

// The widget rendered with its children onto a transparent image, without its window
// background, at one device pixel per logical pixel.
QImage render(QWidget &widget);
// Colours within the tolerance per channel, alpha included.
bool near(const QColor &actual, const QColor &expected, int tolerance = 2);
// The smallest rectangle holding every pixel whose alpha is above zero and that differs
// from the background colour.
QRect inkBounds(const QImage &image, const QColor &background = QColor(0, 0, 0, 0));

void sendMouse(QWidget &widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons);
// A move whose global position is given explicitly (the frame works in global positions).
void sendGlobalMouse(QWidget &widget, QEvent::Type type, QPoint global, Qt::MouseButton button,
                     Qt::MouseButtons buttons);

}
