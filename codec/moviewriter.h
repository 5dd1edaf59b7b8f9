#pragma once

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "encodeconfig.h"

// An output file written by one libavformat muxer with one video stream. The encoder
// opens with the first frame, when the picture size is known.
class MovieWriter
{
public:
    MovieWriter() = default;
    ~MovieWriter();
    MovieWriter(const MovieWriter &) = delete;
    MovieWriter &operator=(const MovieWriter &) = delete;

    // format is the muxer's exact name. Chooses the encoder; nothing is written yet.
    bool prepare(const std::string &format, const EncodeSettings &settings);
    AVPixelFormat pixelFormat() const { return m_pixelFormat; }
    bool isGif() const { return m_codec && m_codec->id == AV_CODEC_ID_GIF; }

    bool open(const std::string &path);
    // frame->pts in timeBase.
    bool write(const AVFrame *frame, AVRational timeBase);
    bool finish();
    bool hasFrames() const { return m_frames > 0; }

private:
    bool openEncoder(const AVFrame *frame, AVRational timeBase);
    bool drain();

    std::string m_path;
    EncodeSettings m_settings;
    const AVCodec *m_codec = nullptr;
    AVPixelFormat m_pixelFormat = AV_PIX_FMT_NONE;
    AVFormatContext *m_muxer = nullptr;
    AVCodecContext *m_encoder = nullptr;
    AVStream *m_stream = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    int64_t m_frames = 0;
    int64_t m_lastPts = AV_NOPTS_VALUE;
};
