#include "quicktimemeta.h"

#include <QFile>
#include <QVector>
#include <QtEndian>

namespace {

struct Box
{
    qint64 offset = 0;
    qint64 size = 0;
    qint64 header = 8;
    QByteArray type;
};

// Boxes between begin and end; stops at the first box that does not fit.
QVector<Box> boxes(const QByteArray &data, qint64 begin, qint64 end)
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

QByteArray boxHeader(qint64 size, const char *type)
{
    QByteArray header(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(size), reinterpret_cast<uchar *>(header.data()));
    return header + QByteArray(type, 4);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

bool QuickTimeMeta::moveToMovieBox(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    const QByteArray data = file.readAll();
    file.close();

    const QVector<Box> top = boxes(data, 0, data.size());
    const Box *moov = nullptr;
    for (const Box &box : top)
        if (box.type == "moov")
            moov = &box;
    if (!moov)
        return fail(error, "no moov box");
    for (const Box &box : top)
        if (box.type == "mdat" && box.offset > moov->offset)
            return fail(error, "moov precedes mdat");

    QByteArray children;
    QByteArray meta;
    for (const Box &child : boxes(data, moov->offset + moov->header, moov->offset + moov->size)) {
        if (child.type != "udta") {
            children += data.mid(child.offset, child.size);
            continue;
        }
        QByteArray rest;
        for (const Box &inner : boxes(data, child.offset + child.header, child.offset + child.size)) {
            if (inner.type == "meta")
                meta = data.mid(inner.offset, inner.size);
            else
                rest += data.mid(inner.offset, inner.size);
        }
        if (!rest.isEmpty())
            children += boxHeader(8 + rest.size(), "udta") + rest;
    }
    if (meta.isEmpty())
        return fail(error, "no udta/meta box");
    const bool fullBox = meta.size() >= 20 && meta.mid(8, 4) == QByteArray(4, '\0') && meta.mid(16, 4) == "hdlr";
    if (fullBox)
        meta = boxHeader(meta.size() - 4, "meta") + meta.mid(12);
    children += meta;

    const QByteArray rebuilt = data.left(moov->offset) + boxHeader(8 + children.size(), "moov") + children
                               + data.mid(moov->offset + moov->size);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rebuilt) != rebuilt.size())
        return fail(error, file.errorString());
    return true;
}
