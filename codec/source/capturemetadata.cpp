#include "source/capturemetadata.h"

#include <cstdio>

extern "C" {
#include <libavutil/dict.h>
}

namespace {

constexpr int kFractionDigits = 7;
// Texts longer than this are cut: a still's metadata block must stay small.
constexpr size_t kMaxText = 255;

std::string tag(const AVDictionary *tags, const char *key)
{
    const AVDictionaryEntry *entry = av_dict_get(tags, key, nullptr, 0);
    return entry && entry->value ? std::string(entry->value).substr(0, kMaxText) : std::string();
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A signed decimal with exactly wholeDigits digits before the point (any count up to 6
// when 0), in ten-millionths; extra fraction digits are dropped. Written by hand because
// the C library's number parsing follows the user's locale.
bool readSigned(const char *&p, int wholeDigits, int64_t &value)
{
    if (*p != '+' && *p != '-')
        return false;
    const bool negative = *p++ == '-';
    int64_t whole = 0;
    int digits = 0;
    for (; isDigit(*p) && digits < 7; ++p, ++digits)
        whole = whole * 10 + (*p - '0');
    if (digits == 0 || (wholeDigits ? digits != wholeDigits : digits > 6))
        return false;
    int64_t fraction = 0;
    int fractionDigits = 0;
    if (*p == '.') {
        for (++p; isDigit(*p); ++p)
            if (fractionDigits < kFractionDigits) {
                fraction = fraction * 10 + (*p - '0');
                ++fractionDigits;
            }
    }
    for (; fractionDigits < kFractionDigits; ++fractionDigits)
        fraction *= 10;
    value = whole * 10000000 + fraction;
    if (negative)
        value = -value;
    return true;
}

} // namespace

bool CaptureMetadata::empty() const
{
    return dateTime.empty() && !hasLocation && make.empty() && model.empty() && software.empty();
}

CaptureMetadata CaptureMetadata::fromTags(const AVDictionary *tags)
{
    CaptureMetadata metadata;
    if (!tags)
        return metadata;
    metadata.setCreationDate(tag(tags, "com.apple.quicktime.creationdate"));
    metadata.setLocation(tag(tags, "com.apple.quicktime.location.ISO6709"));
    metadata.make = tag(tags, "com.apple.quicktime.make");
    metadata.model = tag(tags, "com.apple.quicktime.model");
    metadata.software = tag(tags, "com.apple.quicktime.software");
    return metadata;
}

bool CaptureMetadata::setCreationDate(const std::string &text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &year, &month, &day, &hour, &minute, &second, &used) != 6
        || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 || year < 0
        || hour < 0 || minute < 0 || second < 0)
        return false;
    const char *rest = text.c_str() + used;
    if (*rest == '.')
        for (++rest; isDigit(*rest); ++rest) {
        }
    std::string offset;
    int offsetHours = 0, offsetMinutes = 0;
    if (*rest == 'Z') {
        offset = "+00:00";
    } else if ((*rest == '+' || *rest == '-')
               && (std::sscanf(rest + 1, "%2d:%2d", &offsetHours, &offsetMinutes) == 2
                   || std::sscanf(rest + 1, "%2d%2d", &offsetHours, &offsetMinutes) == 2)
               && offsetHours >= 0 && offsetHours <= 14 && offsetMinutes >= 0 && offsetMinutes <= 59) {
        char formatted[8];
        std::snprintf(formatted, sizeof formatted, "%c%02d:%02d", *rest, offsetHours, offsetMinutes);
        offset = formatted;
    }
    char formatted[24];
    std::snprintf(formatted, sizeof formatted, "%04d:%02d:%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    dateTime = formatted;
    timeOffset = offset;
    return true;
}

bool CaptureMetadata::setLocation(const std::string &text)
{
    const char *p = text.c_str();
    int64_t lat = 0, lon = 0, alt = 0;
    if (!readSigned(p, 2, lat) || !readSigned(p, 3, lon) || lat < -900000000 || lat > 900000000
        || lon < -1800000000 || lon > 1800000000)
        return false;
    hasAltitude = readSigned(p, 0, alt);
    altitude = hasAltitude ? alt : 0;
    latitude = lat;
    longitude = lon;
    hasLocation = true;
    return true;
}
