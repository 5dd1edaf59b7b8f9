#include "qlivephotohelper.h"

#include "qboxfilereader.h"

#include <QFile>

#include <cstring>
#include <strings.h>

namespace {

constexpr uint64_t kUnlimited = ~uint64_t(0);
// The wanted keys are 42 and 23 bytes long; anything longer is skipped, never read.
constexpr uint32_t kLongestKeyRead = 256;

const char kIdentifierKey[] = "mdtacom.apple.quicktime.content.identifier";
const char kAndroidKey[] = "mdtacom.android.version";

struct BoxHeader
{
    uint64_t start = 0;
    uint64_t size = 0;
    uint64_t headerSize = 8;
    char type[4] = {};
};

uint32_t ReadBe32(const unsigned char *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

uint64_t ReadBe64(const unsigned char *p)
{
    return uint64_t(ReadBe32(p)) << 32 | ReadBe32(p + 4);
}

bool ReadBoxHeader(QBoxFileReader &reader, BoxHeader &box)
{
    unsigned char bytes[8];
    box.start = reader.Offset();
    if (reader.Read(bytes, 8) != 8)
        return false;
    const uint32_t size = ReadBe32(bytes);
    if (size < 8 && size != 1)
        return false;
    std::memcpy(box.type, bytes + 4, 4);
    box.size = size;
    box.headerSize = 8;
    if (size == 1) {
        if (reader.Read(bytes, 8) != 8)
            return false;
        box.size = ReadBe64(bytes);
        if (box.size < 16)
            return false;
        box.headerSize = 16;
    }
    return true;
}

bool SkipBox(QBoxFileReader &reader, const BoxHeader &box)
{
    const uint64_t end = box.start + box.size;
    if (end < box.start)
        return false; // a size that wraps would send the walk back to the start
    return reader.Seek(end);
}

// Searches the direct children of the area the reader stands in. On success the reader
// stands at the found box's payload and limit holds the payload size.
bool FindBox(QBoxFileReader &reader, uint64_t &limit, const char *type)
{
    const bool bounded = limit != kUnlimited;
    if (bounded && limit < 8)
        return false;
    uint64_t consumed = 0;
    for (;;) {
        BoxHeader box;
        if (!ReadBoxHeader(reader, box))
            return false;
        if (std::memcmp(box.type, type, 4) == 0) {
            limit = box.size - box.headerSize;
            return true;
        }
        if (!SkipBox(reader, box))
            return false;
        consumed += box.size;
        if (consumed < box.size)
            return false;
        if (bounded && (consumed > limit || limit - consumed < 8))
            return false;
    }
}

bool IsDigitType(const char *type)
{
    for (int i = 0; i < 4; ++i) {
        if (type[i] < '0' || type[i] > '9')
            return false;
    }
    return true;
}

bool HasDigitTopLevelBox(QBoxFileReader &reader)
{
    if (!reader.Seek(0))
        return false;
    for (;;) {
        BoxHeader box;
        if (!ReadBoxHeader(reader, box))
            return false;
        if (IsDigitType(box.type))
            return true;
        if (!SkipBox(reader, box))
            return false;
    }
}

bool KeyEquals(const char *key, size_t length, const char *wanted)
{
    return length == std::strlen(wanted) && strncasecmp(key, wanted, length) == 0;
}

// Phones, and the tools that copy movies off them, often leave out ftyp and start with
// wide or mdat; a file that starts with anything but a QuickTime top-level box is no
// movie and is not walked.
bool StartsWithMovieBox(QBoxFileReader &reader)
{
    static const char kFirstBoxTypes[][5] = {"ftyp", "moov", "mdat", "wide", "free", "skip", "junk", "pnot", "uuid"};
    BoxHeader box;
    if (!ReadBoxHeader(reader, box))
        return false;
    for (const char *type : kFirstBoxTypes) {
        if (std::memcmp(box.type, type, 4) == 0)
            return true;
    }
    return false;
}

bool FindKeysPayload(QBoxFileReader &reader, uint64_t &payload)
{
    payload = kUnlimited;
    return reader.Seek(0) && FindBox(reader, payload, "moov") && FindBox(reader, payload, "meta")
        && FindBox(reader, payload, "keys");
}

bool ScanKeys(QBoxFileReader &reader, uint64_t payload)
{
    unsigned char head[8];
    if (payload < 8 || reader.Read(head, 8) != 8)
        return false;
    const uint32_t entries = ReadBe32(head + 4);
    uint64_t consumed = 8;
    for (uint32_t i = 0; i < entries; ++i) {
        unsigned char sizeBytes[4];
        if (consumed + 4 > payload || reader.Read(sizeBytes, 4) != 4)
            return false;
        const uint32_t keySize = ReadBe32(sizeBytes);
        if (keySize < 4)
            return false;
        consumed += keySize;
        if (consumed > payload)
            return false;
        const uint32_t textSize = keySize - 4;
        if (textSize > kLongestKeyRead) {
            if (!reader.Seek(reader.Offset() + textSize))
                return false;
            continue;
        }
        char key[kLongestKeyRead];
        if (reader.Read(key, textSize) != textSize)
            return false;
        if (KeyEquals(key, textSize, kIdentifierKey))
            return true;
        if (KeyEquals(key, textSize, kAndroidKey))
            return HasDigitTopLevelBox(reader);
    }
    return false;
}

} // namespace

bool QLivePhotoHelper::FileIslivephoto(const QString &path)
{
    QBoxFileReader reader;
    if (!reader.Open(QFile::encodeName(path).constData()))
        return false;
    uint64_t payload = 0;
    return StartsWithMovieBox(reader) && FindKeysPayload(reader, payload) && ScanKeys(reader, payload);
}
