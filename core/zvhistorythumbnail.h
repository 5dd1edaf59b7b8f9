#pragma once

#include <QString>

// The cached picture of a history entry: application data + "/Temp/" + the MD5 of the
// output path + ".JPG". The name is always computed from the path, never read from a record.
class ZVHistoryThumbnail
{
public:
    ZVHistoryThumbnail() = delete;

    static QString pathFor(const QString &outputPath);
    // The picture an output shows: a file is its own source; a folder of stills gives its
    // first entry by name, when that entry is a file. Empty otherwise.
    static QString sourceFor(const QString &outputPath);
    // Makes the thumbnail, within 200 x 200, unless one exists already; returns its path
    // either way. A source that gives no picture leaves no file.
    static QString make(const QString &outputPath);
    // Makes it afresh: a new output may have the path of an earlier one, deleted since.
    static QString renew(const QString &outputPath);
    static bool remove(const QString &outputPath);
};
