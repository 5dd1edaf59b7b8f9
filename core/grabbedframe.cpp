#include "grabbedframe.h"

#include "corelog.h"

#include <cstring>

namespace {

// A grab is a whole picture; a header claiming more is corrupt, not a picture.
constexpr uint32_t kLargestGrab = 1u << 30;

uint32_t ReadLe32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

QImage imageFromGrabbedBmp(const unsigned char *bmp)
{
    if (!bmp || std::memcmp(bmp, "BM", 2) != 0)
        return QImage();
    const uint32_t length = ReadLe32(bmp + 2);
    if (length < 14 || length > kLargestGrab)
        return QImage();
    QImage image;
    image.loadFromData(bmp, int(length), "BMP");
    return image;
}

QImage grabFrameImage(MMC_Handle media, uint64_t t, uint32_t w, uint32_t h)
{
    unsigned char *bmp = MMC_GrabFrameImage(media, t, 1, w, h, 0);
    if (!bmp) {
        qCDebug(lcCore) << "no frame grabbed at" << t;
        return QImage();
    }
    QImage image = imageFromGrabbedBmp(bmp);
    MMC_FreeFrameImage(media, bmp);
    return image;
}
