#pragma once

#include "mmc.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>

#include <vector>

// A scriptable stand-in for the codec library, linked into core unit tests in its place.
// It logs calls, counts live handles and plays back scripted job states, and can
// misbehave on purpose.
namespace FakeCodec {

struct Poll
{
    int finished = 0;
    int failed = 0;
    quint64 done = 0;
    quint64 total = 100;
};

struct Packet
{
    MMC_Handle track;
    quint64 pts;
    quint64 dts;
    quint32 duration;
    quint32 flags;
    quint32 size;
};

enum class CancelReport { Failed, Finished };

struct Chapter
{
    quint64 start;
    quint64 length;
    QByteArray title; // null: untitled
};

struct Script
{
    // One entry per IsFinished call; the last one repeats.
    std::vector<Poll> polls{Poll{1, 0, 100, 100}};
    CancelReport cancelReport = CancelReport::Failed;
    bool createConverterFails = false;
    int openResult = 1;
    int startResult = 1;
    quint64 trackTime = 0;

    int mediaOpenResult = 1;
    QByteArray formatName = "MP4"; // null: no name
    quint64 duration = 0;
    quint32 width = 0;
    quint32 height = 0;
    QMap<QByteArray, QByteArray> tags; // "cover_image" holds the picture bytes

    std::vector<Chapter> chapters;
    bool scanBlocks = false; // OpenMediaFile waits until its handle is closed
    int mergerOpenResult = 1;
    int mergerAddResult = 1;
};

void reset(const Script &script = Script());
Script &script(); // change only while no job runs

QStringList calls();
// Calls whose text starts with prefix.
QStringList callsStartingWith(const QString &prefix);
std::vector<Packet> packets();
int liveHandles(); // every kind together
int cancelCount();
int mergerPollerThreads(); // distinct threads that asked whether a merge finished

} // namespace FakeCodec
