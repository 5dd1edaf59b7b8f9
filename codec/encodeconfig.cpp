#include "encodeconfig.h"

EncodeSettings EncodeConfig::snapshot()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}
