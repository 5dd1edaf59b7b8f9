#pragma once

#include <string>

// The chosen audio track and subtitle, as the panel hands it to the engine.
struct SubtitleValue_Info
{
    int audioTrackIndex = 0;
    int subtitleIndex = 0; // 0 = "No Subtitle"
    int embeddedSubtitleCount = 0;
    std::string externalPath; // UTF-8, the chosen side file
};
