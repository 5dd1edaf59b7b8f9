#include "tagformatfactory.h"

#include "apetagformat.h"
#include "asftagformat.h"
#include "audioframe.h"
#include "flactagformat.h"
#include "mp4tagformat.h"
#include "oggtagformat.h"
#include "riffinfotagformat.h"
#include "tagbufferedstream.h"

#include <cwchar>

namespace {

const wchar_t *const kExtensions[TagFormats::kCount] = {L".wav", L".wma", L".mp3", L".aac",
                                                        L".m4a", L".ogg", L".ape", L".flac"};
const int kMainSlots[TagFormats::kCount] = {TagSlotRiffInfo, TagSlotAsf, TagSlotApe, TagSlotApe,
                                            TagSlotMp4, TagSlotOgg, TagSlotApe, TagSlotFlac};

enum Format { Wav, Wma, Mp3, Aac, M4a, Ogg, Ape, Flac };

bool HoldsAudio(int format, TagStream *stream)
{
    TagBufferedStream buffered(stream);
    switch (format) {
    case Mp3:
        return FindMpegAudioStartStrict(&buffered) >= 0;
    case Aac:
        return FindAdtsAudioStart(&buffered) >= 0;
    case Ape:
        return FindApeAudioStart(&buffered) >= 0;
    default:
        return true;
    }
}

template<typename Handler>
std::unique_ptr<ITagFormat> Build(TagStream *stream)
{
    int result = -1;
    auto handler = std::make_unique<Handler>(stream, &result);
    if (result < 0)
        return nullptr;
    return handler;
}

} // namespace

namespace TagFormats {

int FormatOfPath(const wchar_t *path)
{
    if (!path)
        return -1;
    const wchar_t *dot = std::wcsrchr(path, L'.');
    if (!dot)
        return -1;
    for (int format = 0; format < kCount; ++format) {
        if (wcscasecmp(dot, kExtensions[format]) == 0)
            return format;
    }
    return -1;
}

int MainSlot(int format)
{
    return format >= 0 && format < kCount ? kMainSlots[format] : -1;
}

bool HasId3Tags(int format)
{
    return format == Mp3 || format == Aac || format == Ape || format == Flac;
}

std::unique_ptr<ITagFormat> CreateMainHandler(int format, TagStream *stream)
{
    if (!stream)
        return nullptr;
    switch (format) {
    case Mp3:
    case Aac:
    case Ape:
        return HoldsAudio(format, stream) ? Build<ApeTagFormat>(stream) : nullptr;
    case Flac:
        return Build<FlacTagFormat>(stream);
    case Wav:
        return Build<RiffInfoTagFormat>(stream);
    case Wma:
        return Build<AsfTagFormat>(stream);
    case M4a:
        return Build<Mp4TagFormat>(stream);
    case Ogg:
        return Build<OggTagFormat>(stream);
    default:
        return nullptr;
    }
}

} // namespace TagFormats
