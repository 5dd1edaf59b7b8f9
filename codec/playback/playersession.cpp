#include "playback/playersession.h"

extern "C" {
#include <libavutil/rational.h>
}

#include <algorithm>

namespace {

// Larger pictures are refused before any buffer is sized from them.
constexpr int kLargestSide = 16384;

uint64_t longestStreamUs(const AVFormatContext *format)
{
    int64_t longest = 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream *stream = format->streams[i];
        if (stream->duration > 0)
            longest = std::max(longest, av_rescale_q(stream->duration, stream->time_base, {1, 1000000}));
    }
    return static_cast<uint64_t>(longest);
}

} // namespace

bool PlayerSession::readFacts(const MediaSource &probe)
{
    const AVFormatContext *format = probe.format();
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVMediaType type = format->streams[i]->codecpar->codec_type;
        audioCount += type == AVMEDIA_TYPE_AUDIO;
        subtitleCount += type == AVMEDIA_TYPE_SUBTITLE;
    }
    hasAudio = audioCount > 0;
    hasVideo = probe.hasVideo();
    duration = format->duration > 0 ? static_cast<uint64_t>(format->duration) : longestStreamUs(format);
    if (!hasVideo)
        return hasAudio;
    const AVStream *stream = probe.videoStream();
    if (stream->codecpar->width > kLargestSide || stream->codecpar->height > kLargestSide)
        return false;
    width = static_cast<uint32_t>(probe.displayWidth());
    height = static_cast<uint32_t>(probe.displayHeight());
    AVRational sample = stream->sample_aspect_ratio;
    if (sample.num <= 0 || sample.den <= 0)
        sample = stream->codecpar->sample_aspect_ratio;
    if (sample.num <= 0 || sample.den <= 0)
        sample = {1, 1};
    int64_t across = int64_t(stream->codecpar->width) * sample.num;
    int64_t down = int64_t(stream->codecpar->height) * sample.den;
    if (probe.rotation() % 180)
        std::swap(across, down);
    int x = 0;
    int y = 0;
    av_reduce(&x, &y, across, down, INT32_MAX);
    aspectX = static_cast<uint32_t>(x);
    aspectY = static_cast<uint32_t>(y);
    return true;
}

int PlayerSession::firstAudioRate(const MediaSource &probe) const
{
    const AVFormatContext *format = probe.format();
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return format->streams[i]->codecpar->sample_rate;
    return 0;
}

void PlayerSession::startSound(const std::string &device, int rate, int volume)
{
    output = std::make_unique<AudioOutput>();
    if (output->open(device, rate)) {
        output->setVolume(volume);
        clock = std::make_unique<PlayerClock>(output.get());
        audio = std::make_unique<PlayerAudio>(*output, *clock);
        if (audio->open(path, 0))
            return;
        audio.reset();
    }
    // No sound: the media plays on the steady clock.
    output.reset();
    clock.reset();
}

bool PlayerSession::open(const std::string &mediaPath, const std::string &device, int volume,
                         PlayerVideo::Presenter presenter)
{
    path = mediaPath;
    {
        MediaSource probe;
        if (!probe.open(path, nullptr) || !probe.format() || !readFacts(probe))
            return false;
        if (hasAudio)
            startSound(device, firstAudioRate(probe), volume);
    }
    if (!clock)
        clock = std::make_unique<PlayerClock>(nullptr);
    if (hasVideo) {
        video = std::make_unique<PlayerVideo>(*clock, std::move(presenter));
        if (!video->open(path))
            return false;
        video->start();
    }
    if (audio)
        audio->start();
    return true;
}
