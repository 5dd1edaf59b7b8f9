#pragma once

#include <QString>

// One video/audio preset of an output format, as the texts shown to the user.
struct QualitySet
{
    bool onlyAudio = false;
    QString vEncoder;
    QString vResolution;
    QString vFrameRate;
    QString vBitRate;
    QString aEncoder;
    QString aChannel;
    QString aSampleRate;
    QString aBitRate;
};
