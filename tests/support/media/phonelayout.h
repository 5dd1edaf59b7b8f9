#pragma once

#include <QString>

// Lays a movie out as phones write it and USB copying hands it over: an optional ftyp,
// then wide, the samples' mdat, a second mdat with a 64-bit size holding the samples of
// a timed-metadata (mebx) track, and moov last with that track added. The movie's moov
// must follow its mdat.
class PhoneLayout
{
public:
    static bool rewrite(const QString &path, bool withFtyp, QString *error = nullptr);
};
