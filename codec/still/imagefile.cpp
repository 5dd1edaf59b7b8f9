#include "still/imagefile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ImageFile::~ImageFile()
{
    close();
}

bool ImageFile::openForReading(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (m_fd < 0 || fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    m_path = path;
    m_size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool ImageFile::openForWriting(const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    m_path = path;
    m_writing = true;
    return m_fd >= 0;
}

int ImageFile::key()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_key;
}

void ImageFile::setKey(int key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_key = key;
}

uint64_t ImageFile::encodedSize()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writing ? 0 : m_size;
}

bool ImageFile::readEncoded(void *buffer, uint64_t size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fd < 0 || m_writing || !buffer || size > m_size)
        return false;
    auto *out = static_cast<uint8_t *>(buffer);
    uint64_t done = 0;
    while (done < size) {
        const ssize_t got = pread(m_fd, out + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<uint64_t>(got);
    }
    return true;
}

bool ImageFile::write(const void *data, uint32_t size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fd < 0 || !m_writing || (!data && size > 0))
        return false;
    const auto *in = static_cast<const uint8_t *>(data);
    uint32_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(m_fd, in + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<uint32_t>(put);
    }
    return true;
}

void ImageFile::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
