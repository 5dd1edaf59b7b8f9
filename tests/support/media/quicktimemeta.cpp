#include "quicktimemeta.h"

#include "movieboxes.h"

#include <QFile>

namespace {

using Box = MovieBoxes::Box;

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

    const QVector<Box> top = MovieBoxes::topLevel(data);
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
    for (const Box &child : MovieBoxes::children(data, *moov)) {
        if (child.type != "udta") {
            children += data.mid(child.offset, child.size);
            continue;
        }
        QByteArray rest;
        for (const Box &inner : MovieBoxes::children(data, child)) {
            if (inner.type == "meta")
                meta = data.mid(inner.offset, inner.size);
            else
                rest += data.mid(inner.offset, inner.size);
        }
        if (!rest.isEmpty())
            children += MovieBoxes::header(8 + rest.size(), "udta") + rest;
    }
    if (meta.isEmpty())
        return fail(error, "no udta/meta box");
    const bool fullBox = meta.size() >= 20 && meta.mid(8, 4) == QByteArray(4, '\0') && meta.mid(16, 4) == "hdlr";
    if (fullBox)
        meta = MovieBoxes::header(meta.size() - 4, "meta") + meta.mid(12);
    children += meta;

    const QByteArray rebuilt = data.left(moov->offset) + MovieBoxes::header(8 + children.size(), "moov") + children
                               + data.mid(moov->offset + moov->size);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(rebuilt) != rebuilt.size())
        return fail(error, file.errorString());
    return true;
}
