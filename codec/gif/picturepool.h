#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

extern "C" {
#include <libavutil/buffer.h>
}

// Buffers of one size for pictures made anew for every frame and freed on other threads:
// each comes back here when its last reference goes, instead of leaving the allocator
// holding more and more memory. Unlike FFmpeg's own pool it hands buffers over through
// locks the thread checker sees. Safe to use from several threads.
class PicturePool
{
public:
    PicturePool() = default;
    PicturePool(const PicturePool &) = delete;
    PicturePool &operator=(const PicturePool &) = delete;

    // Null when out of memory. Buffers of another size start a new pool.
    AVBufferRef *take(size_t bytes);

private:
    struct Spares;
    static void giveBack(void *opaque, uint8_t *data);

    std::mutex m_mutex;
    // Also held by every buffer out, so it outlives the pool if they do.
    std::shared_ptr<Spares> m_spares;
};
