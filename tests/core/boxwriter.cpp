#include "boxwriter.h"

#include "movieboxes.h"

namespace BoxWriter {

QByteArray be32(quint32 value)
{
    return MovieBoxes::be32(value);
}

QByteArray be64(quint64 value)
{
    return MovieBoxes::be64(value);
}

QByteArray box(const char *type, const QByteArray &payload)
{
    return MovieBoxes::box(type, payload);
}

QByteArray largeBox(const char *type, const QByteArray &payload)
{
    return MovieBoxes::largeBox(type, payload);
}

QByteArray ftyp()
{
    return box("ftyp", QByteArray("qt  ") + be32(0) + QByteArray("qt  "));
}

QByteArray keys(const QList<QByteArray> &names)
{
    QByteArray payload = be32(0) + be32(quint32(names.size()));
    for (const QByteArray &name : names)
        payload += be32(quint32(8 + name.size())) + QByteArray("mdta") + name;
    return box("keys", payload);
}

QByteArray movie(const QByteArray &moovPayload, const QByteArray &trailer)
{
    return ftyp() + box("moov", moovPayload) + trailer;
}

} // namespace BoxWriter
