#include "skinimage.h"

#include "toolkitlog.h"

#include <QFile>

namespace SkinImage {

QImage load(const QString &path)
{
    if (path.isEmpty() || !QFile::exists(path))
        return QImage();
    QImage image(path);
    if (image.isNull()) {
        qCWarning(lcToolkit) << "skin image does not decode:" << path;
        return QImage();
    }
    image.setDevicePixelRatio(2.0);
    return image;
}

QImage frame(const QImage &strip, int index)
{
    const int width = strip.width() / 4;
    QImage part = strip.copy(index * width, 0, width, strip.height());
    part.setDevicePixelRatio(2.0);
    return part;
}

}
