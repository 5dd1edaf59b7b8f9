#include "probe/mediainfo.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "codecids.h"
#include "framefilter.h"
#include "still/stillencoder.h"

extern "C" {
#include <libavutil/mem.h>
}

namespace {

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string upperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string dictValue(const AVDictionary *dict, const char *key)
{
    const AVDictionaryEntry *entry = av_dict_get(dict, key, nullptr, 0);
    return entry && entry->value ? entry->value : "";
}

uint32_t clampToU32(int64_t value)
{
    return value <= 0 ? 0 : static_cast<uint32_t>(std::min<int64_t>(value, UINT32_MAX));
}

uint64_t microseconds(int64_t value, AVRational timeBase)
{
    return value <= 0 ? 0 : static_cast<uint64_t>(av_rescale_q(value, timeBase, {1, 1000000}));
}

// Decodes from the current position until the frame shown at target; past the end the
// last frame stands in.
bool decodeAt(MediaSource &source, uint64_t target, const std::atomic<bool> &cancel, AVFrame *result)
{
    AVFrame *frame = av_frame_alloc();
    bool found = false;
    while (frame && !cancel.load() && source.nextFrame(frame) > 0) {
        av_frame_unref(result);
        av_frame_move_ref(result, frame);
        found = true;
        if (source.frameTimeUs(result) >= static_cast<int64_t>(target))
            break;
    }
    av_frame_free(&frame);
    return found && !cancel.load();
}

bool filterFrame(const VideoParams &params, const std::string &chain, AVFrame *frame)
{
    FrameFilter filter;
    return filter.build(params, chain, AV_PIX_FMT_BGR24) && filter.transform(frame);
}

std::string scaleChain(int rotation, uint32_t width, uint32_t height)
{
    std::string chain = FrameFilter::rotationChain(rotation);
    if (width > 0 && height > 0) {
        if (!chain.empty())
            chain += ",";
        chain += "scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=bicubic";
    }
    return chain;
}

} // namespace

bool MediaInfo::open(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_source = std::make_unique<MediaSource>();
    m_path = path;
    m_decodedSinceOpen = false;
    if (!m_source->open(path, &m_cancel)) {
        m_source.reset();
        return false;
    }
    cacheFacts();
    cacheTags();
    cacheTracks();
    return true;
}

void MediaInfo::close()
{
    m_cancel.store(true);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_source.reset();
    m_cancel.store(false);
}

void MediaInfo::cacheFacts()
{
    const AVFormatContext *format = m_source->format();
    if (m_source->isAnimatedWebp())
        m_formatName = "WEBP";
    else {
        const std::string name = format->iformat->name;
        const std::string first = name.substr(0, name.find(','));
        m_formatName = first == "mov" ? "MP4" : upperCase(first);
    }
    m_chapters.clear();
    // Chapter times count from the media's start, as every other time of the library.
    const int64_t mediaStart = format && format->start_time != AV_NOPTS_VALUE ? format->start_time : 0;
    for (unsigned i = 0; format && i < format->nb_chapters; ++i) {
        const AVChapter *source = format->chapters[i];
        Chapter chapter;
        const int64_t start = av_rescale_q(source->start, source->time_base, {1, 1000000}) - mediaStart;
        chapter.startUs = start > 0 ? static_cast<uint64_t>(start) : 0;
        chapter.durationUs = microseconds(source->end - source->start, source->time_base);
        const AVDictionaryEntry *title = av_dict_get(source->metadata, "title", nullptr, 0);
        chapter.hasTitle = title && title->value;
        chapter.title = chapter.hasTitle ? title->value : "";
        m_chapters.push_back(chapter);
    }
    m_video = VideoFacts();
    const AVStream *stream = m_source->videoStream();
    if (!stream)
        return;
    const AVCodecParameters *codec = stream->codecpar;
    m_video.codec = CodecIds::fromAv(codec->codec_id);
    m_video.bitRate = clampToU32(codec->bit_rate > 0 ? codec->bit_rate : format->bit_rate);
    const AVRational sar = codec->sample_aspect_ratio.num > 0 ? codec->sample_aspect_ratio : AVRational{1, 1};
    int num = 0;
    int den = 0;
    av_reduce(&num, &den, int64_t(m_source->displayWidth()) * (m_source->rotation() % 180 ? sar.den : sar.num),
              int64_t(m_source->displayHeight()) * (m_source->rotation() % 180 ? sar.num : sar.den), INT32_MAX);
    m_video.aspectNum = clampToU32(num);
    m_video.aspectDen = clampToU32(den);
    m_video.frameCount = clampToU32(stream->nb_frames);
    const AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    m_video.rateNum = clampToU32(rate.num);
    m_video.rateDen = clampToU32(rate.den);
}

void MediaInfo::cacheTags()
{
    m_tags.clear();
    m_coverBytes.clear();
    const AVFormatContext *format = m_source->format();
    const AVStream *video = m_source->videoStream();
    for (const AVDictionary *dict : {format ? format->metadata : nullptr, video ? video->metadata : nullptr}) {
        const AVDictionaryEntry *entry = nullptr;
        while ((entry = av_dict_get(dict, "", entry, AV_DICT_IGNORE_SUFFIX)))
            m_tags.emplace(lowerCase(entry->key), entry->value ? entry->value : "");
    }
    const auto date = m_tags.find("date");
    if (!m_tags.count("year") && date != m_tags.end() && date->second.size() >= 4)
        m_tags.emplace("year", date->second.substr(0, 4));
    if (const AVStream *picture = m_source->attachedPicture())
        m_coverBytes.assign(picture->attached_pic.data, picture->attached_pic.data + picture->attached_pic.size);
    m_cover = {m_coverBytes.data(), static_cast<unsigned>(m_coverBytes.size())};
}

void MediaInfo::cacheTracks()
{
    m_audio.clear();
    m_subtitles.clear();
    m_selectedAudio = 0;
    m_selectedSubtitle = 0;
    const AVFormatContext *format = m_source->format();
    for (unsigned i = 0; format && i < format->nb_streams; ++i) {
        const AVStream *stream = format->streams[i];
        const AVCodecParameters *codec = stream->codecpar;
        Track track;
        track.language = dictValue(stream->metadata, "language");
        track.title = dictValue(stream->metadata, "title");
        track.codec = avcodec_get_name(codec->codec_id);
        if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
            track.sampleRate = clampToU32(codec->sample_rate);
            track.channels = clampToU32(codec->ch_layout.nb_channels);
            track.bitRate = clampToU32(codec->bit_rate);
            track.bitsPerSample = clampToU32(codec->bits_per_coded_sample > 0
                                                 ? codec->bits_per_coded_sample
                                                 : av_get_bytes_per_sample(AVSampleFormat(codec->format)) * 8);
            track.durationUs = microseconds(stream->duration, stream->time_base);
            m_audio.push_back(track);
        } else if (codec->codec_type == AVMEDIA_TYPE_SUBTITLE) {
            m_subtitles.push_back(track);
        }
    }
}

const char *MediaInfo::formatName()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? m_formatName.c_str() : nullptr;
}

uint64_t MediaInfo::durationUs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? m_source->durationUs() : 0;
}

uint32_t MediaInfo::width()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? clampToU32(m_source->displayWidth()) : 0;
}

uint32_t MediaInfo::height()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? clampToU32(m_source->displayHeight()) : 0;
}

bool MediaInfo::hasVideo()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source && m_source->hasVideo();
}

bool MediaInfo::hasAudio()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source && m_source->audioStreamCount() > 0;
}

const char *MediaInfo::tag(const std::string &key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_source)
        return nullptr;
    const std::string name = lowerCase(key);
    if (name == "cover_image")
        return m_coverBytes.empty() ? nullptr : reinterpret_cast<const char *>(&m_cover);
    const auto it = m_tags.find(name);
    return it == m_tags.end() ? nullptr : it->second.c_str();
}

bool MediaInfo::reopenForGrab()
{
    m_source = std::make_unique<MediaSource>();
    return m_source->open(m_path, &m_cancel);
}

unsigned char *MediaInfo::grabBmp(uint64_t t, uint32_t width, uint32_t height)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_source || !m_source->hasVideo() || !m_source->openDecoder())
        return nullptr;
    if ((t > 0 || m_decodedSinceOpen) && !m_source->seek(t) && !(reopenForGrab() && m_source->openDecoder()))
        return nullptr;
    m_decodedSinceOpen = true;
    AVFrame *frame = av_frame_alloc();
    unsigned char *result = nullptr;
    const VideoParams params = m_source->videoParams();
    if (frame && decodeAt(*m_source, t, m_cancel, frame)) {
        VideoParams actual = params;
        actual.width = frame->width;
        actual.height = frame->height;
        actual.format = AVPixelFormat(frame->format);
        StillEncoder encoder;
        std::vector<uint8_t> bmp;
        if (filterFrame(actual, scaleChain(m_source->rotation(), width, height), frame)
            && encoder.open(AV_CODEC_ID_BMP, frame->width, frame->height, AV_PIX_FMT_BGR24, 0)
            && encoder.encode(frame, bmp) && (result = static_cast<unsigned char *>(av_malloc(bmp.size()))))
            std::memcpy(result, bmp.data(), bmp.size());
    }
    av_frame_free(&frame);
    return result;
}

uint32_t MediaInfo::chapterCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? static_cast<uint32_t>(m_chapters.size()) : 0;
}

const MediaInfo::Chapter *MediaInfo::chapter(uint32_t index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source && index < m_chapters.size() ? &m_chapters[index] : nullptr;
}

MediaInfo::VideoFacts MediaInfo::videoFacts()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? m_video : VideoFacts();
}

int MediaInfo::audioTrackCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? static_cast<int>(m_audio.size()) : 0;
}

bool MediaInfo::selectAudioTrack(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_source || index < 0 || index >= static_cast<int>(m_audio.size()))
        return false;
    m_selectedAudio = index;
    return true;
}

const MediaInfo::Track *MediaInfo::selectedAudioTrack()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source && m_selectedAudio < static_cast<int>(m_audio.size()) ? &m_audio[m_selectedAudio] : nullptr;
}

int MediaInfo::subtitleTrackCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source ? static_cast<int>(m_subtitles.size()) : 0;
}

bool MediaInfo::selectSubtitleTrack(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_source || index < 0 || index >= static_cast<int>(m_subtitles.size()))
        return false;
    m_selectedSubtitle = index;
    return true;
}

const MediaInfo::Track *MediaInfo::selectedSubtitleTrack()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_source && m_selectedSubtitle < static_cast<int>(m_subtitles.size()) ? &m_subtitles[m_selectedSubtitle]
                                                                                  : nullptr;
}
