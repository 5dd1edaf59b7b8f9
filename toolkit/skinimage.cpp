#include "skinimage.h"

#include "toolkitlog.h"

#include <QFile>
#include <QPainter>

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

void drawIcon(QPainter &painter, QRect &iconRect, int hostHeight, const QImage &image)
{
    if (iconRect.width() == 0)
        iconRect.setWidth(image.width() / 2);
    const int h = iconRect.height() != 0 ? iconRect.height() : image.height() / 2;
    QRect target = iconRect;
    if (target.y() == -1)
        target.moveTop((hostHeight - h) / 2);
    iconRect.setHeight(h);
    target.setHeight(h);
    QImage scaled = image.scaled(target.size() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(2.0);
    painter.drawImage(target.topLeft(), scaled);
}

}
