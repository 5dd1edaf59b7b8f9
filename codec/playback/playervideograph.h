#pragma once

#include <string>

#include "source/mediasource.h"

struct AVFilterGraph;
struct AVFilterContext;

// Which subtitles the picture carries.
struct SubtitleChoice
{
    // -1 none, else the index among the media's subtitle streams; ignored with a file.
    int track = -1;
    std::string file;

    bool none() const { return track < 0 && file.empty(); }
    bool operator==(const SubtitleChoice &other) const { return track == other.track && file == other.file; }
};

// The player's video graph: upright turn, conversion to limited-range BT.601 4:2:0 when
// the decoder gives anything else, then the subtitles. Every filter is made and set
// through the API, so paths with any character work.
class PlayerVideoGraph
{
public:
    PlayerVideoGraph() = default;
    ~PlayerVideoGraph();
    PlayerVideoGraph(const PlayerVideoGraph &) = delete;
    PlayerVideoGraph &operator=(const PlayerVideoGraph &) = delete;

    // mediaPath feeds an embedded subtitle track.
    bool build(const VideoParams &input, int rotation, const std::string &mediaPath,
               const SubtitleChoice &subtitles, AVColorSpace matrix, AVColorRange range);
    bool push(AVFrame *frame);
    // 1 a frame, 0 none yet, negative at the end or on error.
    int pull(AVFrame *frame);
    AVRational outputTimeBase() const;

private:
    AVFilterContext *add(const char *filter, const char *options);
    bool chain(AVFilterContext *&last, AVFilterContext *next);
    bool addSubtitles(AVFilterContext *&last, const std::string &mediaPath, const SubtitleChoice &subtitles);

    AVFilterGraph *m_graph = nullptr;
    AVFilterContext *m_source = nullptr;
    AVFilterContext *m_sink = nullptr;
};
