#include "playback/subtitlecheck.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

bool isText(const AVCodecParameters *parameters)
{
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(parameters->codec_id);
    return descriptor && (descriptor->props & AV_CODEC_PROP_TEXT_SUB)
           && avcodec_find_decoder(parameters->codec_id) != nullptr;
}

// The track-th subtitle stream of path is text, or false.
bool textTrack(const std::string &path, int track)
{
    AVFormatContext *format = nullptr;
    const std::string url = "file:" + path;
    if (avformat_open_input(&format, url.c_str(), nullptr, nullptr) < 0)
        return false;
    bool found = false;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        int seen = 0;
        for (unsigned i = 0; i < format->nb_streams && !found; ++i) {
            const AVCodecParameters *parameters = format->streams[i]->codecpar;
            if (parameters->codec_type == AVMEDIA_TYPE_SUBTITLE && seen++ == track)
                found = isText(parameters);
        }
    }
    avformat_close_input(&format);
    return found;
}

} // namespace

namespace SubtitleCheck {

bool embeddedTrackShowable(const std::string &mediaPath, int track)
{
    return track >= 0 && textTrack(mediaPath, track);
}

bool sideFileShowable(const std::string &path)
{
    return !path.empty() && textTrack(path, 0);
}

} // namespace SubtitleCheck
