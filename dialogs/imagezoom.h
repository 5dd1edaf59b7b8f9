#pragma once

#include <QPoint>
#include <QSize>

// The rules of the zooming image view and the frame viewer, free of widgets.
namespace ImageZoom {

// A picture of size picture fitted into widget, keeping its aspect; (0,0) for an empty
// picture, the picture's own size when the widget has no ratio (0 x 0).
QSize fitSize(QSize picture, QSize widget);
// The largest label a picture may zoom to on a screen; (0,0) forbids zooming in.
QSize maximumSize(QSize picture, QSize screen);
// Zooming out stops below a quarter of the fitted size.
double zoomOutScale(double scale, double factor);
// The label at a scale of its fitted size, capped at the maximum width when one exists.
QSize zoomedLabelSize(QSize base, double scale, QSize maximum);
// Keeps the centre of the visible part in the centre after zooming by factor.
int correctedBarValue(int value, int pageStep, double factor);
// The container after a zoom: at least the visible area, at least the label.
QSize zoomedContainerSize(QSize container, QSize label);
// The container after the visible area became view; current when it is left as it is.
QSize viewContainerSize(QSize current, QSize view, QSize label);
// Bars needed when label is shown in view: horizontal in width(), vertical in height().
inline bool needsHorizontalBar(QSize view, QSize label) { return view.width() < label.width(); }
inline bool needsVerticalBar(QSize view, QSize label) { return view.height() < label.height(); }
// The top-left corner that centres inner in outer.
QPoint centred(QSize outer, QSize inner);

// A left-button drag with a dead zone around its start.
struct DragState
{
    bool pressed = false;
    bool dragging = false;
    QPoint last;
};
// One move with the left button held at a global position; true when it is consumed,
// with scroll set to the amount the bars move back.
bool dragMove(DragState &state, QPoint position, QPoint *scroll);

// In full screen the button bar shows while the cursor is in the bottom band.
inline bool inBottomBand(int y, int height) { return height - 50 < y && y < height; }
// X of the first control of the viewer's centred button row.
inline int buttonRowStart(int barWidth, int controlsWidth) { return (barWidth - controlsWidth - 100) / 2; }

} // namespace ImageZoom
