#pragma once

#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// Placement inside a cell, shared by painting and hit testing.
namespace CellGeometry {

// Offsets of a check box: a coordinate of -1 means 5 from the left, or centred vertically.
QPoint checkboxOffset(const QRect &cell, const QPoint &position, const QSize &box);
QRect checkboxRect(const QRect &cell, const QPoint &position, const QSize &box);
// The check box grown by its hit margins.
QRect checkboxHitRect(const QRect &box, const QMargins &margins);
// The text beside a check box: from its offset plus its width and the spacing, 5 short of
// the right edge.
QRect checkTextRect(const QRect &cell, int checkOffsetX, int boxWidth, int spacing);

// A row of widgets in a cell. summedWidth is the width sum the caller stored, which may be
// stale on purpose; hidden widgets still take their place.
QList<QRect> controlRects(const QRect &cell, const QList<QSize> &sizes, int summedWidth, int spacing,
                          Qt::Alignment alignment);

// A scaled copy of this size, centred in area.
QRect centredRect(const QRect &area, const QSize &size);
// The logical source rectangle of an image of this logical size that fills area with its
// centre; empty when area has no surface.
QRect centreCropSource(const QRect &area, const QSize &logicalSize);

} // namespace CellGeometry
