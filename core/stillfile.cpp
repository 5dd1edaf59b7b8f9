#include "stillfile.h"

#include "imagewriteinfo.h"
#include "mmc.h"

#include <QString>

#include <cerrno>

unsigned int writeStillFile(void *context, const unsigned char *data, unsigned int size)
{
    auto *info = static_cast<ImageWriteInfo *>(context);
    ++info->counter;
    // One multi-argument arg(), so a '%' in a folder or base name is never taken for a marker.
    const QString path =
        QStringLiteral("%1/%2_%3.%4")
            .arg(info->folder, info->baseName,
                 QStringLiteral("%1").arg(info->counter, 3, 10, QLatin1Char('0')), info->extension);
    const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 1);
    if (!image) {
        info->systemError = errno;
        return 0;
    }
    const int written = MMC_ImageWriteFrame(image, data, size);
    if (written <= 0) // the library reports 1 for a stored frame, 0 for a failure
        info->systemError = errno;
    MMC_ImageClose(image);
    if (written <= 0)
        return 0;
    info->framePath = path;
    return size;
}
