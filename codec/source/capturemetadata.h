#pragma once

#include <cstdint>
#include <string>

struct AVDictionary;

// When, where and with what a movie was taken, as phones record it in the movie's
// QuickTime metadata keys. Empty texts and no location where the movie says nothing.
struct CaptureMetadata
{
    std::string dateTime;   // "YYYY:MM:DD HH:MM:SS", local time of the capture
    std::string timeOffset; // "+HH:MM" from UTC, or empty when unknown
    bool hasLocation = false;
    int64_t latitude = 0;  // ten-millionths of a degree, north positive
    int64_t longitude = 0; // ten-millionths of a degree, east positive
    bool hasAltitude = false;
    int64_t altitude = 0; // ten-millionths of a metre above sea level
    std::string make;
    std::string model;
    std::string software;

    bool empty() const;

    static CaptureMetadata fromTags(const AVDictionary *tags);
    // "2023-06-05T14:30:12+0200"; false leaves the record untouched.
    bool setCreationDate(const std::string &text);
    // ISO 6709 in decimal degrees: "+37.3349-122.0090+010.000/"; false leaves it untouched.
    bool setLocation(const std::string &text);
};
