#pragma once

#include <string>
#include <vector>

// Runs the ffmpeg tool quietly; true when it succeeded.
bool ffmpeg(std::vector<std::string> arguments);

// Makes (unless it exists) a 30 fps movie coded 1920x1440 from a noisy test picture, so
// no encoder gets an easy ride, with the given video encoder arguments, optionally a
// sine tone, and turned by `rotate` degrees.
bool makeMovie(const std::string &path, int seconds, const std::vector<std::string> &video, bool sound,
               const std::string &rotate);

// A Live Photo's usual kind: HEVC with sound, shown portrait.
bool makePortraitMovie(const std::string &path, int seconds);

// Like a phone's movie: smooth gradients in slow motion, with little noise for an
// encoder to fight; HEVC with sound, shown portrait.
bool makeSmoothMovie(const std::string &path, int seconds);

// A still gradient behind a 240 px test picture that crosses it, as from a phone on a
// stand; HEVC without sound, shown portrait.
bool makeStillBackgroundMovie(const std::string &path, int seconds);

// A still textured background, noise frozen over a test pattern, with two 240 px test
// pictures apart crossing it: what lies between them stays, and would cost much to paint
// again; HEVC without sound, shown portrait.
bool makeTexturedStillMovie(const std::string &path, int seconds);

// A photo-like still background, smooth and detailed areas under a frozen grain,
// carrying a camera's sensor noise of a few levels in every frame, with a 240 px subject
// crossing it: a phone on a steady hand; HEVC with sound, shown portrait.
bool makeNoisyStillMovie(const std::string &path, int seconds);

// Low light: a dark moving test picture under strong noise, coded at a high bitrate as
// phones do in the dark; HEVC with sound, shown portrait.
bool makeDarkNoisyMovie(const std::string &path, int seconds);

// A screen recording: flat colours, boxes and text standing still while a pointer
// moves; H.264 without sound, landscape.
bool makeScreenMovie(const std::string &path, int seconds);

// Noisy colour bars at 60 fps, coded 1080x1920: every still's rows noisy; H.264 without sound.
bool makeNoisyBarsMovie(const std::string &path, int seconds);
