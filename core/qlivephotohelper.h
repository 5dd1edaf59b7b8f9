#pragma once

#include <QString>

// Tells the movie half of a Live Photo by its metadata keys, reading the file itself.
class QLivePhotoHelper
{
public:
    // True when the file starts with a QuickTime top-level box (ftyp, or wide, mdat and
    // the like where ftyp is left out) and its moov/meta/keys box lists the content
    // identifier key, or the Android version key with a top-level box typed by four
    // digits. Malformed, truncated or hostile files answer false. Safe on any thread.
    static bool FileIslivephoto(const QString &path);
};
