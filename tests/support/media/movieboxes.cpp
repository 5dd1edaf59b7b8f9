#include "movieboxes.h"

#include <QtEndian>

QVector<MovieBoxes::Box> MovieBoxes::children(const QByteArray &data, qint64 begin, qint64 end)
{
    QVector<Box> found;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    qint64 offset = begin;
    while (offset + 8 <= end) {
        Box box;
        box.offset = offset;
        box.size = qFromBigEndian<quint32>(bytes + offset);
        box.type = data.mid(offset + 4, 4);
        if (box.size == 1) {
            if (offset + 16 > end)
                break;
            box.size = static_cast<qint64>(qFromBigEndian<quint64>(bytes + offset + 8));
            box.header = 16;
        } else if (box.size == 0) {
            box.size = end - offset;
        }
        if (box.size < box.header || box.size > end - offset)
            break;
        found.append(box);
        offset += box.size;
    }
    return found;
}

QVector<MovieBoxes::Box> MovieBoxes::children(const QByteArray &data, const Box &parent)
{
    return children(data, parent.payload(), parent.end());
}

QVector<MovieBoxes::Box> MovieBoxes::topLevel(const QByteArray &data)
{
    return children(data, 0, data.size());
}

MovieBoxes::Box MovieBoxes::child(const QByteArray &data, const Box &parent, const char *type)
{
    for (const Box &box : children(data, parent))
        if (box.type == type)
            return box;
    return Box();
}

QByteArray MovieBoxes::header(qint64 size, const char *type)
{
    return be32(static_cast<quint32>(size)) + QByteArray(type, 4);
}

QByteArray MovieBoxes::box(const char *type, const QByteArray &payload)
{
    return header(8 + payload.size(), type) + payload;
}

QByteArray MovieBoxes::largeBox(const char *type, const QByteArray &payload)
{
    return header(1, type) + be64(quint64(16 + payload.size())) + payload;
}

QByteArray MovieBoxes::be16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray MovieBoxes::be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray MovieBoxes::be64(quint64 value)
{
    QByteArray bytes(8, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}
