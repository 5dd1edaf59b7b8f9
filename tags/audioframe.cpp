#include "audioframe.h"

#include "tagbytebuffer.h"
#include "tagstream.h"

#include <cstdint>
#include <cstring>

namespace {

const int kMpegSampleRates[4][3] = {
    {11025, 12000, 8000}, // MPEG-2.5
    {0, 0, 0},            // reserved
    {22050, 24000, 16000}, // MPEG-2
    {44100, 48000, 32000}, // MPEG-1
};

// Kilobits per second by bitrate index.
const int kMpeg1Layer1[16] = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
const int kMpeg1Layer2[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
const int kMpeg1Layer3[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
const int kMpeg2Layer1[16] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
const int kMpeg2Layer23[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

const int kAdtsSampleRates[12] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000};

constexpr int kMpegWindow = 1450;
constexpr int kAdtsWindow = 1552;
constexpr int kApeWindow = 4096;

enum MpegLayer { Layer3 = 1, Layer2 = 2, Layer1 = 3 };

// Checks shared by both MPEG decoders: sync, version, sample rate, bitrate and emphasis.
bool MpegCommonValid(const unsigned char *b)
{
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && ((b[1] >> 3) & 3) != 1 && ((b[2] >> 2) & 3) != 3
        && (b[2] >> 4) != 0 && (b[2] >> 4) != 15 && (b[3] & 3) != 2;
}

void FillMpegCommon(const unsigned char *b, AudioFrameHeader *h)
{
    h->version = (b[1] >> 3) & 3;
    h->sampleRate = kMpegSampleRates[h->version][(b[2] >> 2) & 3];
    h->channels = (b[3] >> 6) == 3 ? 1 : 2;
}

bool ReadAt(TagStream *stream, int64_t position, void *buffer, int count)
{
    return stream->Seek(position) == position && stream->Read(buffer, count) == count;
}

bool SameStream(const AudioFrameHeader &a, const AudioFrameHeader &b)
{
    return a.version == b.version && a.sampleRate == b.sampleRate && a.channels == b.channels
        && a.samplesPerFrame == b.samplesPerFrame;
}

int LeadingTagSize(TagStream *stream, const char *magic)
{
    if (!stream)
        return -1;
    unsigned char bytes[10];
    if (!ReadAt(stream, 0, bytes, 4) || std::memcmp(bytes, magic, 3) != 0)
        return -1;
    if (stream->Read(bytes + 4, 6) != 6)
        return -1;
    const int64_t offset = int64_t(ReadSynchsafe32(bytes + 6)) + ((bytes[5] & 0x10) ? 20 : 10);
    return stream->Seek(offset) == offset ? static_cast<int>(offset) : -1;
}

using HeaderParser = int (*)(const unsigned char *, AudioFrameHeader *);

// The shared frame scan: a candidate needs a second agreeing frame behind it, and behind that
// the end of the stream, a trailing tag or a third agreeing frame.
int FindAudioStart(TagStream *stream, HeaderParser parse, int headerBytes, int window, const char *apeMagic)
{
    if (!stream)
        return -1;
    const int leading = GetId3v2TagSize(stream);
    const int64_t base = leading < 0 ? 0 : leading;
    unsigned char bytes[8];
    for (int i = 0; i < window; ++i) {
        const int64_t p = base + i;
        if (!ReadAt(stream, p, bytes, headerBytes))
            return -1;
        AudioFrameHeader first;
        AudioFrameHeader second;
        if (parse(bytes, &first) != 0)
            continue;
        const int64_t secondAt = p + first.frameLength;
        if (!ReadAt(stream, secondAt, bytes, headerBytes) || parse(bytes, &second) != 0 || !SameStream(first, second))
            continue;
        const int64_t thirdAt = secondAt + second.frameLength;
        if (stream->Seek(thirdAt) != thirdAt)
            continue;
        if (stream->Read(bytes, headerBytes) < headerBytes)
            return static_cast<int>(p);
        AudioFrameHeader third;
        if (std::memcmp(bytes, "TAG", 3) == 0 || std::memcmp(bytes, apeMagic, std::strlen(apeMagic)) == 0
            || (parse(bytes, &third) == 0 && SameStream(first, third)))
            return static_cast<int>(p);
    }
    return -1;
}

bool ReadLe16At(TagStream *stream, int64_t position, uint32_t *value)
{
    unsigned char b[2];
    if (!ReadAt(stream, position, b, 2))
        return false;
    *value = ReadLe16(b);
    return true;
}

bool ReadLe32At(TagStream *stream, int64_t position, uint32_t *value)
{
    unsigned char b[4];
    if (!ReadAt(stream, position, b, 4))
        return false;
    *value = ReadLe32(b);
    return true;
}

bool PlausibleApeFormat(uint32_t channels, uint32_t sampleRate)
{
    return channels >= 1 && channels <= 8 && sampleRate >= 1 && sampleRate <= 655350;
}

bool ApeHeaderAt(TagStream *stream, int64_t p, uint32_t version)
{
    uint32_t channels = 0;
    uint32_t sampleRate = 0;
    if (version < 3980)
        return ReadLe16At(stream, p + 10, &channels) && ReadLe32At(stream, p + 12, &sampleRate)
            && PlausibleApeFormat(channels, sampleRate);
    uint32_t descriptorLength = 0;
    uint32_t bits = 0;
    if (!ReadLe32At(stream, p + 8, &descriptorLength) || descriptorLength < 12)
        return false;
    const int64_t header = p + descriptorLength;
    return ReadLe16At(stream, header + 16, &bits) && ReadLe16At(stream, header + 18, &channels)
        && ReadLe32At(stream, header + 20, &sampleRate)
        && (bits == 8 || bits == 16 || bits == 24 || bits == 32) && PlausibleApeFormat(channels, sampleRate);
}

} // namespace

int ParseMpegFrameHeader(const unsigned char *b, AudioFrameHeader *h)
{
    if (!b || !h || !MpegCommonValid(b) || ((b[1] >> 1) & 3) != Layer3)
        return -1;
    const int version = (b[1] >> 3) & 3;
    const int bitrateIndex = b[2] >> 4;
    if (version == 0 && bitrateIndex > 8)
        return -1;
    FillMpegCommon(b, h);
    h->bitrate = (version == 3 ? kMpeg1Layer3 : kMpeg2Layer23)[bitrateIndex] * 1000;
    const int coefficient = version == 3 ? 144 : 72;
    h->frameLength = coefficient * h->bitrate / h->sampleRate + ((b[2] >> 1) & 1);
    h->samplesPerFrame = coefficient * 8;
    return 0;
}

int ParseMpegFrameHeaderStrict(const unsigned char *b, AudioFrameHeader *h)
{
    if (!b || !h || !MpegCommonValid(b))
        return -1;
    const int layer = (b[1] >> 1) & 3;
    const int version = (b[1] >> 3) & 3;
    const int bitrateIndex = b[2] >> 4;
    const bool mono = (b[3] >> 6) == 3;
    if (layer == 0)
        return -1;
    if (version == 3 && layer == Layer2) {
        if (mono && bitrateIndex > 10)
            return -1;
        if (!mono && (bitrateIndex == 1 || bitrateIndex == 2 || bitrateIndex == 3 || bitrateIndex == 5))
            return -1;
    }
    if (version == 0 && layer == Layer3 && bitrateIndex > 8)
        return -1;
    FillMpegCommon(b, h);
    const int *table;
    if (version == 3)
        table = layer == Layer1 ? kMpeg1Layer1 : layer == Layer2 ? kMpeg1Layer2 : kMpeg1Layer3;
    else
        table = layer == Layer1 ? kMpeg2Layer1 : kMpeg2Layer23;
    h->bitrate = table[bitrateIndex] * 1000;
    const int padding = (b[2] >> 1) & 1;
    if (layer == Layer1) {
        h->samplesPerFrame = 384;
        h->frameLength = (12 * h->bitrate / h->sampleRate + padding) * 4;
    } else if (layer == Layer2) {
        h->samplesPerFrame = 1152;
        h->frameLength = 144 * h->bitrate / h->sampleRate + padding;
    } else {
        const int coefficient = version == 3 ? 144 : 72;
        h->samplesPerFrame = coefficient * 8;
        h->frameLength = coefficient * h->bitrate / h->sampleRate + padding;
    }
    return 0;
}

int ParseAdtsFrameHeader(const unsigned char *b, AudioFrameHeader *h)
{
    if (!b || !h || b[0] != 0xFF || (b[1] >> 4) != 0xF || ((b[1] >> 1) & 3) != 0)
        return -1;
    const int frequencyIndex = (b[2] >> 2) & 15;
    const int channels = ((b[2] & 1) << 2) | (b[3] >> 6);
    const int frameLength = ((b[3] & 3) << 11) | (b[4] << 3) | (b[5] >> 5);
    const bool protectionAbsent = b[1] & 1;
    if (frequencyIndex > 11 || channels == 0 || frameLength <= (protectionAbsent ? 7 : 9))
        return -1;
    h->version = (b[1] >> 3) & 1;
    h->sampleRate = kAdtsSampleRates[frequencyIndex];
    h->channels = channels;
    h->samplesPerFrame = 1024;
    h->bitrate = static_cast<int>(int64_t(frameLength) * 8 * h->sampleRate / 1024);
    h->frameLength = frameLength;
    return 0;
}

int GetId3v2TagSize(TagStream *stream)
{
    return LeadingTagSize(stream, "ID3");
}

int GetEa3TagSize(TagStream *stream)
{
    return LeadingTagSize(stream, "ea3");
}

int FindMpegAudioStartStrict(TagStream *stream)
{
    return FindAudioStart(stream, ParseMpegFrameHeaderStrict, 4, kMpegWindow, "APET");
}

int FindMpegAudioStart(TagStream *stream)
{
    return FindAudioStart(stream, ParseMpegFrameHeader, 4, kMpegWindow, "APET");
}

int FindAdtsAudioStart(TagStream *stream)
{
    return FindAudioStart(stream, ParseAdtsFrameHeader, 7, kAdtsWindow, "APETAGE");
}

int FindApeAudioStart(TagStream *stream)
{
    if (!stream)
        return -1;
    const int leading = GetId3v2TagSize(stream);
    const int64_t base = leading < 0 ? 0 : leading;
    for (int i = 0; i < kApeWindow; ++i) {
        const int64_t p = base + i;
        unsigned char bytes[6];
        if (!ReadAt(stream, p, bytes, 6))
            return -1;
        if (std::memcmp(bytes, "MAC ", 4) == 0 && ApeHeaderAt(stream, p, ReadLe16(bytes + 4)))
            return static_cast<int>(p);
    }
    return -1;
}

int CheckEa3Header(TagStream *stream)
{
    if (!stream)
        return -1;
    const int leading = GetEa3TagSize(stream);
    const int64_t offset = leading < 0 ? 0 : leading;
    if (stream->Seek(offset) != offset)
        return -1;
    unsigned char bytes[6];
    if (stream->Read(bytes, 6) != 6 || std::memcmp(bytes, "EA3", 3) != 0 || bytes[4] != 0 || bytes[5] != 0x60)
        return -1;
    return static_cast<int>(offset);
}
