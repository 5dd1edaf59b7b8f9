#include "animationfiles.h"

namespace {

int le16(const QByteArray &data, int at)
{
    return quint8(data[at]) | quint8(data[at + 1]) << 8;
}

int le24(const QByteArray &data, int at)
{
    return le16(data, at) | quint8(data[at + 2]) << 16;
}

quint32 le32(const QByteArray &data, int at)
{
    return quint32(le16(data, at)) | quint32(le16(data, at + 2)) << 16;
}

// Skips GIF data sub-blocks; returns the offset after the terminator or -1.
int skipSubBlocks(const QByteArray &data, int at)
{
    while (at < data.size()) {
        const int length = quint8(data[at]);
        at += 1 + length;
        if (length == 0)
            return at;
    }
    return -1;
}

} // namespace

AnimationFacts readGif(const QByteArray &data)
{
    AnimationFacts facts;
    if (data.size() < 13 || !data.startsWith("GIF89a"))
        return facts;
    facts.size = QSize(le16(data, 6), le16(data, 8));
    const quint8 flags = quint8(data[10]);
    int at = 13 + ((flags & 0x80) ? 3 * (2 << (flags & 7)) : 0);
    while (at >= 0 && at < data.size()) {
        const quint8 block = quint8(data[at]);
        if (block == 0x3B) {
            facts.valid = true;
            return facts;
        }
        if (block == 0x21 && at + 2 < data.size()) {
            const quint8 label = quint8(data[at + 1]);
            if (label == 0xF9 && at + 6 < data.size())
                facts.totalDelayMs += le16(data, at + 4) * 10;
            if (label == 0xFF && data.mid(at + 3, 11) == "NETSCAPE2.0" && at + 18 < data.size())
                facts.loopCount = le16(data, at + 16);
            at = skipSubBlocks(data, at + 2);
        } else if (block == 0x2C && at + 10 < data.size()) {
            ++facts.frames;
            const quint8 local = quint8(data[at + 9]);
            at += 10 + ((local & 0x80) ? 3 * (2 << (local & 7)) : 0) + 1; // descriptor, table, LZW size
            at = skipSubBlocks(data, at);
        } else {
            return facts;
        }
    }
    return facts;
}

AnimationFacts readWebp(const QByteArray &data)
{
    AnimationFacts facts;
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WEBP")
        return facts;
    for (qint64 at = 12; at + 8 <= data.size();) {
        const QByteArray type = data.mid(int(at), 4);
        const qint64 size = le32(data, int(at) + 4);
        const int payload = int(at) + 8;
        if (payload + size > data.size())
            return facts;
        if (type == "VP8X" && size >= 10)
            facts.size = QSize(le24(data, payload + 4) + 1, le24(data, payload + 7) + 1);
        else if (type == "ANIM" && size >= 6)
            facts.loopCount = le16(data, payload + 4);
        else if (type == "ANMF" && size >= 16) {
            ++facts.frames;
            facts.totalDelayMs += le24(data, payload + 12);
        }
        at = payload + size + (size & 1);
    }
    facts.valid = true;
    return facts;
}
