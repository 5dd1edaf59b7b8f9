#pragma once

#include <QString>

// The two descriptive values of a catalogue format, as written.
struct FileFormatInfo
{
    QString vFormat;
    QString vExtend;
};
