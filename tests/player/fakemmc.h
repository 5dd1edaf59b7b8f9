#pragma once

#include <QByteArray>
#include <QStringList>

#include <string>
#include <vector>

#include "mmc.h"

// A scripted stand-in for the codec library's player and media-information calls, linked
// in place of the real library. It logs every action in order; queries answer from the
// script. Refreshes are only counted, since they come from the engine's own thread.
namespace FakeMmc {

struct Track
{
    std::string language, title, codec;
};

struct Script
{
    MMC_Handle player = 7; // 0: creation fails
    bool openOk = true, mediaOpenOk = true, hasVideo = true, hasAudio = true;
    bool ended = false, playOk = true;
    uint64_t duration = 83500000, position = 0;
    uint32_t width = 1440, height = 1080, aspectX = 16, aspectY = 9;
    QByteArray capture; // empty: no capture
    std::vector<Track> audio, subtitles;
};

Script &script();
void reset();
// A line of the test's own, to place an event among the calls.
void note(const QString &line);
QStringList calls();
int refreshes();
int liveAudioBlocks();
// Calls the registered frame callback once from a new thread; -1 without one.
int sendFrame(int format, int width, int height, unsigned char **planes, const int *strides);

} // namespace FakeMmc
