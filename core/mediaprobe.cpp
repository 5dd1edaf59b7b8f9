#include "mediaprobe.h"

MediaProbe::MediaProbe()
    : m_handle(MMC_CreateMediaInfo(-1))
{
}

MediaProbe::~MediaProbe()
{
    if (!m_handle)
        return;
    MMC_CloseMedia(m_handle);
    MMC_DestroyMediaInfo(m_handle);
}

bool MediaProbe::OpenFile(const QString &path)
{
    return m_handle && !path.isEmpty() && MMC_OpenMediaFile(m_handle, path.toUtf8().constData()) != 0;
}

bool MediaProbe::OpenDvdFolder(const QString &path)
{
    return m_handle && !path.isEmpty() && MMC_OpenDvdFolder(m_handle, path.toUtf8().constData()) != 0;
}
