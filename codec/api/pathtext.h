#pragma once

#include <cstdint>
#include <cstring>
#include <string>

// Hands a path across the C interface into the caller's buffer, with its terminating
// null. Returns the path's length; 0, with nothing written, for an empty path or one that
// does not fit.
inline uint32_t copyPath(const std::string &path, char *buffer, uint32_t size)
{
    if (path.empty() || !buffer || path.size() >= size)
        return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<uint32_t>(path.size());
}
