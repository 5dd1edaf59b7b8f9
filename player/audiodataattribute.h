#pragma once

#include <QColor>

// The look of the audio level bars, copied by the widget at construction.
struct AudioDataAttribute
{
    int barWidth = 1;
    int blockHeight = 1;
    int barGap = 0;
    int blockGap = 0;
    bool showPeak = false;
    // 0: a peak sinks 1 px per block; otherwise it sinks ever faster.
    int peakFall = 0;
    double cornerRadius = 0.0;
    QColor barColor = QColor(255, 255, 255);
    QColor peakColor = QColor(255, 0, 0);
    // 0: bars of blocks; 1: one connected line; anything else: no bars.
    int style = 0;
};
