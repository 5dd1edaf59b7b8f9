#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "mmc.h"

// An encoded image on disk, opened for reading (size known at open, bytes read on
// demand) or for writing (a new file, made at open: stills go into a folder the job made,
// so a file or link already under the name is never written through). The key tags the
// file and never changes its bytes.
class ImageFile
{
public:
    ~ImageFile();

    bool openForReading(const std::string &path);
    bool openForWriting(const std::string &path);
    std::string path() const { return m_path; }
    int key();
    void setKey(int key);
    uint64_t encodedSize();
    bool readEncoded(void *buffer, uint64_t size);
    bool write(const void *data, uint32_t size);
    void close();

private:
    std::mutex m_mutex;
    std::string m_path;
    int m_fd = -1;
    bool m_writing = false;
    uint64_t m_size = 0;
    int m_key = 0;
};

// Where a conversion hands each encoded still: a callback and its context.
struct ImageWriter
{
    std::mutex mutex;
    MMC_ImageWriteFn callback = nullptr;
    void *context = nullptr;
};
