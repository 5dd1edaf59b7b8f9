#pragma once

#include "mmc.h"

#include <QString>

// One media handle of the codec library, closed and destroyed with the object, so no
// early return can leak it.
class MediaProbe
{
public:
    MediaProbe();
    ~MediaProbe();

    MediaProbe(const MediaProbe &) = delete;
    MediaProbe &operator=(const MediaProbe &) = delete;

    bool OpenFile(const QString &path);
    bool OpenDvdFolder(const QString &path);
    MMC_Handle handle() const { return m_handle; }

private:
    MMC_Handle m_handle = 0;
};
