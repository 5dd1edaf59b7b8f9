#include "gif/picturepool.h"

#include <new>
#include <vector>

extern "C" {
#include <libavutil/mem.h>
}

struct PicturePool::Spares
{
    explicit Spares(size_t size) : bytes(size) {}
    ~Spares()
    {
        for (uint8_t *data : free)
            av_free(data);
    }

    const size_t bytes;
    std::mutex mutex;
    std::vector<uint8_t *> free;
};

AVBufferRef *PicturePool::take(size_t bytes)
{
    std::shared_ptr<Spares> spares;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_spares || m_spares->bytes != bytes)
            m_spares = std::make_shared<Spares>(bytes);
        spares = m_spares;
    }
    uint8_t *data = nullptr;
    {
        std::lock_guard<std::mutex> lock(spares->mutex);
        if (!spares->free.empty()) {
            data = spares->free.back();
            spares->free.pop_back();
        }
    }
    if (!data)
        data = static_cast<uint8_t *>(av_malloc(bytes));
    auto *holder = data ? new (std::nothrow) std::shared_ptr<Spares>(spares) : nullptr;
    AVBufferRef *buffer = holder ? av_buffer_create(data, bytes, &PicturePool::giveBack, holder, 0) : nullptr;
    if (!buffer) {
        delete holder;
        av_free(data);
    }
    return buffer;
}

void PicturePool::giveBack(void *opaque, uint8_t *data)
{
    // Called on whichever thread lets the buffer go.
    auto *holder = static_cast<std::shared_ptr<Spares> *>(opaque);
    Spares &spares = **holder;
    try {
        std::lock_guard<std::mutex> lock(spares.mutex);
        spares.free.push_back(data);
    } catch (...) {
        av_free(data);
    }
    delete holder;
}
