#pragma once

#include <QImage>
#include <QString>

// Skin images are double-resolution files. A file that exists but does not decode
// counts as missing, so a broken skin never shrinks a window or claims success.
namespace SkinImage {

// Loads path with device pixel ratio 2; null when the file is missing or unreadable.
QImage load(const QString &path);

// Frame i of a four-frame state strip, cut at i * (width / 4), device pixel ratio 2.
QImage frame(const QImage &strip, int index);

}
