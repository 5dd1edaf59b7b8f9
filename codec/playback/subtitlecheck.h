#pragma once

#include <string>

// Whether the subtitles filter can show a track: only text subtitles are drawn, and a
// choice is accepted only after its source was opened and parsed.
namespace SubtitleCheck {

// track = the index among the subtitle streams of the media.
bool embeddedTrackShowable(const std::string &mediaPath, int track);
bool sideFileShowable(const std::string &path);

} // namespace SubtitleCheck
