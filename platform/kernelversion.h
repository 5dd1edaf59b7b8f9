#pragma once

#include <QString>

// The leading "major.minor.patch" of a kernel release text such as "6.1.0-18-amd64".
struct KernelVersion
{
    unsigned int major = 0;
    unsigned int minor = 0;
    unsigned int patch = 0;

    // Reads the leading digits of up to three dot-separated parts; missing parts are 0.
    // False when the text does not start with a number.
    static bool parse(const QString &release, KernelVersion &version);
};
