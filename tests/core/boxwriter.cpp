#include "boxwriter.h"

#include <QtEndian>

namespace BoxWriter {

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray be64(quint64 value)
{
    QByteArray bytes(8, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray box(const char *type, const QByteArray &payload)
{
    return be32(quint32(8 + payload.size())) + QByteArray(type, 4) + payload;
}

QByteArray largeBox(const char *type, const QByteArray &payload)
{
    return be32(1) + QByteArray(type, 4) + be64(quint64(16 + payload.size())) + payload;
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
