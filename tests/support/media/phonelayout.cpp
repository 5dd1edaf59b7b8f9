#include "phonelayout.h"

#include "movieboxes.h"

#include <QFile>
#include <QtEndian>

namespace {

using Box = MovieBoxes::Box;
using M = MovieBoxes;

// The still-image time phones mark in their metadata track, as a signed 8-bit value.
const QByteArray kStillTimeKey("com.apple.quicktime.still-image-time");
constexpr quint32 kSigned8Bit = 65;
constexpr quint32 kLocalKeyId = 1;

struct MovieTimes
{
    quint32 timescale = 0;
    quint32 duration = 0;
    quint32 nextTrack = 0;
    qint64 nextTrackAt = 0; // where mvhd stores the next track id
};

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

quint32 be32At(const QByteArray &data, qint64 offset)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(data.constData()) + offset);
}

// Version 0 mvhd: timescale and duration after the two dates, next track id last.
bool readTimes(const QByteArray &data, const Box &moov, MovieTimes &times)
{
    const Box mvhd = M::child(data, moov, "mvhd");
    if (mvhd.type.isEmpty() || mvhd.size < 108 || data.at(mvhd.payload()) != 0)
        return false;
    times.timescale = be32At(data, mvhd.payload() + 12);
    times.duration = be32At(data, mvhd.payload() + 16);
    times.nextTrackAt = mvhd.end() - 4;
    times.nextTrack = be32At(data, times.nextTrackAt);
    return true;
}

// Moves every chunk offset of every track by shift, in the children of moov given.
void shiftChunkOffsets(QByteArray &moov, qint64 shift)
{
    for (const Box &trak : M::children(moov, 0, moov.size())) {
        if (trak.type != "trak")
            continue;
        const Box stbl = M::child(moov, M::child(moov, M::child(moov, trak, "mdia"), "minf"), "stbl");
        for (const Box &table : M::children(moov, stbl)) {
            const bool wide = table.type == "co64";
            if (table.type != "stco" && !wide)
                continue;
            const quint32 count = be32At(moov, table.payload() + 4);
            auto *entry = reinterpret_cast<uchar *>(moov.data()) + table.payload() + 8;
            for (quint32 i = 0; i < count; ++i, entry += wide ? 8 : 4) {
                if (wide)
                    qToBigEndian<quint64>(quint64(qint64(qFromBigEndian<quint64>(entry)) + shift), entry);
                else
                    qToBigEndian<quint32>(quint32(qint64(qFromBigEndian<quint32>(entry)) + shift), entry);
            }
        }
    }
}

QByteArray fullBox(const char *type, const QByteArray &payload)
{
    return M::box(type, M::be32(0) + payload);
}

QByteArray identityMatrix()
{
    return M::be32(0x10000) + M::be32(0) + M::be32(0) + M::be32(0) + M::be32(0x10000) + M::be32(0) + M::be32(0)
           + M::be32(0) + M::be32(0x40000000);
}

QByteArray sampleDescription()
{
    const QByteArray key = M::box("keyd", QByteArray("mdta") + kStillTimeKey)
                           + M::box("dtyp", M::be32(0) + M::be32(kSigned8Bit));
    const QByteArray keys = M::box("keys", M::header(8 + key.size(), "\0\0\0\1") + key);
    const QByteArray entry = M::box("mebx", QByteArray(6, '\0') + M::be16(1) + keys);
    return fullBox("stsd", M::be32(1) + entry);
}

// One sample: the local key's value -1, as phones store it.
QByteArray metadataSample()
{
    return M::be32(9) + M::be32(kLocalKeyId) + QByteArray(1, '\xFF');
}

QByteArray metadataTrack(const MovieTimes &times, quint64 sampleOffset, quint32 sampleSize)
{
    const QByteArray tkhd = M::box("tkhd", M::be32(1) + M::be32(0) + M::be32(0) + M::be32(times.nextTrack) + M::be32(0)
                                               + M::be32(times.duration) + QByteArray(16, '\0') + identityMatrix()
                                               + M::be32(0) + M::be32(0));
    const QByteArray mdhd = fullBox("mdhd", M::be32(0) + M::be32(0) + M::be32(times.timescale)
                                                + M::be32(times.duration) + M::be16(0x7FFF) + M::be16(0));
    const QByteArray hdlr = fullBox("hdlr", QByteArray("mhlrmeta") + QByteArray(13, '\0'));
    const QByteArray dinf = M::box("dinf", fullBox("dref", M::be32(1) + M::box("url ", M::be32(1))));
    const QByteArray stbl =
        M::box("stbl", sampleDescription() + fullBox("stts", M::be32(1) + M::be32(1) + M::be32(times.duration))
                           + fullBox("stsc", M::be32(1) + M::be32(1) + M::be32(1) + M::be32(1))
                           + fullBox("stsz", M::be32(sampleSize) + M::be32(1))
                           + fullBox("co64", M::be32(1) + M::be64(sampleOffset)));
    const QByteArray minf = M::box("minf", fullBox("nmhd", QByteArray()) + dinf + stbl);
    return M::box("trak", tkhd + M::box("mdia", mdhd + hdlr + minf));
}

} // namespace

bool PhoneLayout::rewrite(const QString &path, bool withFtyp, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    const QByteArray data = file.readAll();
    file.close();

    const QVector<Box> top = M::topLevel(data);
    const auto first = [&top](const char *type) {
        for (const Box &box : top)
            if (box.type == type)
                return box;
        return Box();
    };
    const Box ftyp = first("ftyp");
    const Box mdat = first("mdat");
    const Box moov = first("moov");
    if (mdat.type.isEmpty() || moov.type.isEmpty() || moov.offset < mdat.end())
        return fail(error, "no mdat before moov");
    MovieTimes times;
    if (!readTimes(data, moov, times))
        return fail(error, "no version 0 mvhd");

    QByteArray out = withFtyp && !ftyp.type.isEmpty() ? data.mid(ftyp.offset, ftyp.size) : QByteArray();
    out += M::box("wide", QByteArray());
    const qint64 samples = out.size() + 8;
    out += M::header(mdat.size, "mdat") + data.mid(mdat.payload(), mdat.size - mdat.header);
    const QByteArray sample = metadataSample();
    out += M::largeBox("mdat", sample);

    QByteArray children = data.mid(moov.payload(), moov.size - moov.header);
    shiftChunkOffsets(children, samples - mdat.payload());
    qToBigEndian<quint32>(times.nextTrack + 1,
                          reinterpret_cast<uchar *>(children.data()) + (times.nextTrackAt - moov.payload()));
    children += metadataTrack(times, quint64(out.size() - sample.size()), quint32(sample.size()));
    out += M::box("moov", children);

    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size())
        return fail(error, file.errorString());
    return true;
}
