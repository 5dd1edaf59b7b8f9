#include "skinfixtures.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace SkinFixtures {

void initToolkitTestEnvironment()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
#if defined(__SANITIZE_ADDRESS__)
    // The offscreen platform never frees its screen; that is not ours to report.
    for (QScreen *screen : QGuiApplication::screens())
        __lsan_ignore_object(screen);
#endif
}

QImage solidStrip(const QList<QColor> &colors, QSize framePixels)
{
    QImage image(framePixels.width() * colors.size(), framePixels.height(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < colors.size(); ++i)
        painter.fillRect(QRect(QPoint(i * framePixels.width(), 0), framePixels), colors.at(i));
    return image;
}

QImage nineRegions(const QList<QColor> &colors, QSize cellPixels)
{
    QImage image(cellPixels.width() * 3, cellPixels.height() * 3, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QPoint origin(column * cellPixels.width(), row * cellPixels.height());
            painter.fillRect(QRect(origin, cellPixels), colors.at(row * 3 + column));
        }
    }
    return image;
}

QImage solid(QSize pixels, const QColor &color)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

QList<QColor> nineColors()
{
    return {QColor(255, 0, 0),   QColor(0, 255, 0),   QColor(0, 0, 255),
            QColor(255, 255, 0), QColor(0, 255, 255), QColor(255, 0, 255),
            QColor(128, 0, 0),   QColor(0, 128, 0),   QColor(0, 0, 128)};
}

QString save(const QTemporaryDir &dir, const QString &name, const QImage &image)
{
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

QString corruptFile(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("not an image at all");
    return path;
}

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance
        && qAbs(actual.green() - expected.green()) <= tolerance
        && qAbs(actual.blue() - expected.blue()) <= tolerance
        && qAbs(actual.alpha() - expected.alpha()) <= tolerance;
}

QRect inkBounds(const QImage &image, const QColor &background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 0 && !near(c, background, 8))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

void sendMouse(QWidget &widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void sendGlobalMouse(QWidget &widget, QEvent::Type type, QPoint global, Qt::MouseButton button,
                     Qt::MouseButtons buttons)
{
    QMouseEvent event(type, widget.mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

}
