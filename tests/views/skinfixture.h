#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

// Synthetic skin images written at test time: solid colours so that any pixel well inside
// a drawn area tells which image, frame or half was drawn.
class SkinFixture
{
public:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Four frames side by side, frame k filled with colours[k].
    QString strip(const QString &name, QSize size, const QList<QColor> &colours) const
    {
        QImage image(size, QImage::Format_ARGB32);
        QPainter painter(&image);
        const int frame = size.width() / 4;
        for (int k = 0; k < 4; ++k)
            painter.fillRect(k * frame, 0, frame, size.height(), colours.value(k));
        painter.end();
        return save(name, image);
    }

    QString solid(const QString &name, QSize size, const QColor &colour) const
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        return save(name, image);
    }

    // Left half in one colour, right half in the other.
    QString halves(const QString &name, QSize size, const QColor &left, const QColor &right) const
    {
        QImage image(size, QImage::Format_ARGB32);
        QPainter painter(&image);
        painter.fillRect(0, 0, size.width() / 2, size.height(), left);
        painter.fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), right);
        painter.end();
        return save(name, image);
    }

    // Top half in one colour, bottom half in the other.
    QString topBottom(const QString &name, QSize size, const QColor &top, const QColor &bottom) const
    {
        QImage image(size, QImage::Format_ARGB32);
        QPainter painter(&image);
        painter.fillRect(0, 0, size.width(), size.height() / 2, top);
        painter.fillRect(0, size.height() / 2, size.width(), size.height() - size.height() / 2, bottom);
        painter.end();
        return save(name, image);
    }

    QString text(const QString &name, const QByteArray &content) const
    {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path(name);
    }

private:
    QString save(const QString &name, const QImage &image) const
    {
        image.save(path(name));
        return path(name);
    }

    QTemporaryDir m_dir;
};

inline QImage blankCanvas(QSize size)
{
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

const QList<QColor> StripColours{QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200), QColor(90, 90, 90)};
