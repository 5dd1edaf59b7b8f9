// Rasterises the skin's SVG sources into the double-resolution PNGs the toolkit loads,
// and optionally lays every produced image out on one contact sheet for review.
#include "skinmanifest.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

struct Context
{
    SkinManifest manifest;
    QString svgDir;
    QString outDir;
};

bool fail(const QString &message)
{
    std::fprintf(stderr, "skingen: %s\n", qPrintable(message));
    return false;
}

int frameCount(const SkinOutput &output)
{
    if (output.kind == QLatin1String("s4"))
        return 4;
    if (output.kind == QLatin1String("g4x2") || output.kind == QLatin1String("i4x2"))
        return 8;
    if (output.kind == QLatin1String("v3"))
        return 3;
    return 1;
}

QSize gridOf(const SkinOutput &output)
{
    if (output.kind == QLatin1String("s4"))
        return QSize(4, 1);
    if (output.kind == QLatin1String("g4x2") || output.kind == QLatin1String("i4x2"))
        return QSize(4, 2);
    if (output.kind == QLatin1String("v3"))
        return QSize(1, 3);
    return QSize(1, 1);
}

// Which scheme and which of its frames colour cell i, and which SVG draws it.
struct Cell
{
    QString scheme;
    int schemeFrame = 0;
    QString svg;
};

Cell cellOf(const SkinOutput &output, int index)
{
    Cell cell;
    cell.svg = output.svgs.first();
    cell.scheme = output.schemes.value(0);
    cell.schemeFrame = index;
    if (output.kind == QLatin1String("g4x2")) {
        // Row 0 is the selected look, row 1 the normal one; both follow the four states.
        cell.scheme = output.schemes.value(index / 4, cell.scheme);
        cell.schemeFrame = index % 4;
    } else if (output.kind == QLatin1String("i4x2")) {
        cell.svg = output.svgs.value(index % 4, output.svgs.last());
        cell.schemeFrame = index / 4;
    } else if (frameCount(output) == 1) {
        cell.schemeFrame = 0;
    }
    return cell;
}

bool renderCell(const Context &context, const SkinOutput &output, const Cell &cell, QPainter &painter,
                const QRectF &target)
{
    QFile file(QDir(context.svgDir).filePath(cell.svg));
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("line %1: cannot read %2").arg(output.line).arg(cell.svg));
    QByteArray svg = file.readAll();
    if (!cell.scheme.isEmpty()) {
        if (!context.manifest.schemes.contains(cell.scheme))
            return fail(QStringLiteral("line %1: unknown scheme %2").arg(output.line).arg(cell.scheme));
        const SkinScheme &scheme = context.manifest.schemes.value(cell.scheme);
        const auto colours = scheme.value(cell.schemeFrame);
        for (auto it = colours.cbegin(); it != colours.cend(); ++it)
            svg.replace(it.key().toUtf8(), it.value().toUtf8());
    }
    if (svg.contains("\"@"))
        return fail(QStringLiteral("line %1: %2 keeps an unreplaced colour token").arg(output.line).arg(cell.svg));
    QSvgRenderer renderer(svg);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    if (!renderer.isValid())
        return fail(QStringLiteral("line %1: %2 is not valid SVG").arg(output.line).arg(cell.svg));
    renderer.render(&painter, target);
    return true;
}

bool produce(const Context &context, const SkinOutput &output)
{
    const int scale = output.kind == QLatin1String("x1") ? 1 : 2;
    const QSize grid = gridOf(output);
    const QSize framePixels = output.frame * scale;
    QImage image(framePixels.width() * grid.width(), framePixels.height() * grid.height(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 0; i < frameCount(output); ++i) {
        const QPointF origin((i % grid.width()) * framePixels.width(),
                             (i / grid.width()) * framePixels.height());
        if (!renderCell(context, output, cellOf(output, i), painter, QRectF(origin, QSizeF(framePixels))))
            return false;
    }
    painter.end();
    const QString path = context.outDir + output.path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, "png");
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32)))
        return fail(QStringLiteral("%1: %2").arg(path, writer.errorString()));
    return true;
}

// One cell per image, checkerboard behind it so transparency shows, path beneath.
bool writeContactSheet(const Context &context, const QString &sheetPath)
{
    const int cell = 200;
    const int label = 28;
    const int columns = 8;
    const int count = context.manifest.outputs.size();
    const int rows = (count + columns - 1) / columns;
    QImage sheet(columns * cell, rows * (cell + label), QImage::Format_ARGB32);
    sheet.fill(QColor(250, 250, 250));
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (int i = 0; i < count; ++i) {
        const SkinOutput &output = context.manifest.outputs.at(i);
        const QRect box((i % columns) * cell + 6, (i / columns) * (cell + label) + 6, cell - 12, cell - 12);
        for (int y = box.top(); y < box.bottom(); y += 8)
            for (int x = box.left(); x < box.right(); x += 8)
                painter.fillRect(QRect(x, y, 8, 8).intersected(box),
                                 ((x - box.left()) / 8 + (y - box.top()) / 8) % 2 ? QColor(220, 220, 220)
                                                                                    : Qt::white);
        const QImage image(context.outDir + output.path);
        if (image.isNull())
            return fail(QStringLiteral("contact sheet: %1 missing").arg(output.path));
        const QSize fitted = image.size().scaled(box.size(), Qt::KeepAspectRatio).boundedTo(image.size() * 2);
        const QRect target(box.center() - QPoint(fitted.width() / 2, fitted.height() / 2), fitted);
        painter.drawImage(target, image);
        painter.setPen(QColor(53, 53, 53));
        painter.drawText(QRect(box.left(), box.bottom() + 4, box.width(), label), Qt::AlignHCenter | Qt::TextWrapAnywhere,
                         output.path);
    }
    painter.end();
    return sheet.save(sheetPath, "PNG") || fail(QStringLiteral("cannot write %1").arg(sheetPath));
}

}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 && !(args.size() == 6 && args.at(4) == QLatin1String("--sheet"))) {
        fail(QStringLiteral("usage: skingen <manifest> <svg folder> <resource folder> [--sheet <png>]"));
        return 2;
    }
    Context context;
    context.manifest = SkinManifest::read(args.at(1));
    context.svgDir = args.at(2);
    context.outDir = args.at(3);
    if (!context.manifest.error.isEmpty()) {
        fail(context.manifest.error);
        return 1;
    }
    if (args.size() == 6)
        return writeContactSheet(context, args.at(5)) ? 0 : 1;
    for (const SkinOutput &output : context.manifest.outputs) {
        if (!produce(context, output))
            return 1;
    }
    return 0;
}
