#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

// Skin images are double-resolution files. A file that exists but does not decode
// counts as missing, so a broken skin never shrinks a window or claims success.
namespace SkinImage {

// Loads path with device pixel ratio 2; null when the file is missing or unreadable.
QImage load(const QString &path);

// Frame i of a four-frame state strip, cut at i * (width / 4), device pixel ratio 2.
QImage frame(const QImage &strip, int index);

// Draws an icon into iconRect, filling in a zero width or height from the image (kept in
// iconRect) and centring a top of -1 in hostHeight; the image keeps its aspect ratio.
void drawIcon(QPainter &painter, QRect &iconRect, int hostHeight, const QImage &image);

}
