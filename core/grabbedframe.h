#pragma once

#include "mmc.h"

#include <QImage>

// The frame at time t of an open media handle, decoded from the BMP the library grabs
// (w x h = 0 x 0: native size). A null image when the grab or the decode fails; the
// library's buffer is always released.
QImage grabFrameImage(MMC_Handle media, uint64_t t, uint32_t w, uint32_t h);

// Decodes a grabbed BMP buffer, whose length sits in its own header.
QImage imageFromGrabbedBmp(const unsigned char *bmp);
