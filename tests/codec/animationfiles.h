#pragma once

#include <QByteArray>
#include <QSize>

// What a test needs to know of a written GIF or animated WebP, read from its bytes.
struct AnimationFacts
{
    bool valid = false;
    QSize size;
    int frames = 0;
    int loopCount = -1;   // -1: no loop record
    int totalDelayMs = 0; // sum of the frame delays
};

AnimationFacts readGif(const QByteArray &data);
AnimationFacts readWebp(const QByteArray &data);
