#pragma once

#include <QByteArray>
#include <QSize>
#include <QStringList>

#include <string>
#include <vector>

#include "mmc.h"

// A scripted stand-in for the codec library's player and media-information calls,
// linked in place of the real library. It logs every action in order; queries only
// answer from the script. Script and log belong to the test's GUI thread, except
// refreshes (counted) and frames (sent from a thread of its own).
namespace FakeMmc {

struct Track
{
    std::string language, title, codec;
};

struct Script
{
    MMC_Handle player = 7; // 0: creation fails
    bool openOk = true;
    bool mediaOpenOk = true;
    bool hasVideo = true;
    bool hasAudio = true;
    uint64_t duration = 83500000;
    uint64_t position = 0;
    bool ended = false;
    bool playOk = true;
    bool pauseOk = true;
    bool stopOk = true;
    uint32_t width = 1440, height = 1080, aspectX = 16, aspectY = 9;
    QByteArray capture; // empty: no capture
    uint32_t doubledRate = 88200;
    bool audioBlock = true;
    std::vector<Track> audio, subtitles;
};

Script &script();
void reset();
// Adds a line of the test's own to the log, to place events among the calls.
void note(const QString &line);
QStringList calls();
int refreshes();
int liveAudioBlocks();
// Calls the registered frame callback once from a new thread and waits for it.
int sendFrame(int format, int width, int height, unsigned char **planes, const int *strides);

} // namespace FakeMmc
