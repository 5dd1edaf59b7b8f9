#pragma once

#include <QString>

// FFmpeg stores the QuickTime metadata keys in moov/udta/meta as an ISO full box; movies
// from phones carry them in moov/meta without version and flags. This moves the box to
// where phones put it. The movie's moov must follow its mdat, so no sample data moves.
class QuickTimeMeta
{
public:
    static bool moveToMovieBox(const QString &path, QString *error = nullptr);
};
