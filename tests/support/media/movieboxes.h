#pragma once

#include <QByteArray>
#include <QVector>

// Walks and builds the boxes of a movie file held in memory, for the tools that reshape
// generated movies the way phones lay them out.
class MovieBoxes
{
public:
    struct Box
    {
        qint64 offset = 0;
        qint64 size = 0;
        qint64 header = 8;
        QByteArray type;
        qint64 payload() const { return offset + header; }
        qint64 end() const { return offset + size; }
    };

    // Boxes between begin and end; stops at the first box that does not fit.
    static QVector<Box> children(const QByteArray &data, qint64 begin, qint64 end);
    static QVector<Box> children(const QByteArray &data, const Box &parent);
    static QVector<Box> topLevel(const QByteArray &data);
    // The first child of that type; an empty type when there is none.
    static Box child(const QByteArray &data, const Box &parent, const char *type);

    static QByteArray header(qint64 size, const char *type);
    static QByteArray box(const char *type, const QByteArray &payload);
    // The same with size 1 and a 64-bit large size.
    static QByteArray largeBox(const char *type, const QByteArray &payload);
    static QByteArray be16(quint16 value);
    static QByteArray be32(quint32 value);
    static QByteArray be64(quint64 value);
};
