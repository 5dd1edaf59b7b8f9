#pragma once

#include <QByteArray>
#include <QList>

// Builds box-structured movie files byte by byte, so tests can shape every size field.
namespace BoxWriter {

QByteArray be32(quint32 value);
QByteArray be64(quint64 value);
// size + type + payload, the size counting the header.
QByteArray box(const char *type, const QByteArray &payload);
// The same with size 1 and a 64-bit large size.
QByteArray largeBox(const char *type, const QByteArray &payload);
QByteArray ftyp();
// A keys payload: version/flags, entry count, then namespace "mdta" + name per key.
QByteArray keys(const QList<QByteArray> &names);
// ftyp, then moov holding the given children.
QByteArray movie(const QByteArray &moovPayload, const QByteArray &trailer = QByteArray());

} // namespace BoxWriter
