#pragma once

#include <string>
#include <vector>

// Runs the ffmpeg tool quietly; true when it succeeded.
bool ffmpeg(std::vector<std::string> arguments);

// A noisy test picture, so no encoder gets an easy ride.
extern const char *const kNoisyPicture;
// A still gradient behind a 240 px test picture that crosses it.
extern const char *const kStillBackground;

// Makes (unless it exists) a 30 fps movie coded 1920x1440 from the lavfi picture, with
// the given video encoder arguments, optionally a sine tone, and turned by `rotate` degrees.
bool makeMovie(const std::string &path, int seconds, const std::vector<std::string> &video, bool sound,
               const std::string &rotate, const std::string &picture = kNoisyPicture);

// A Live Photo's usual kind: HEVC with sound, shown portrait.
bool makePortraitMovie(const std::string &path, int seconds, bool sound = true,
                       const std::string &picture = kNoisyPicture);
