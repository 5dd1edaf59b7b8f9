#include "qboxfilereader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

QBoxFileReader::~QBoxFileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool QBoxFileReader::Open(const char *path)
{
    m_fd = ::open(path, O_RDONLY | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return false;
    const off_t end = ::lseek(m_fd, 0, SEEK_END);
    m_fileSize = end > 0 ? uint64_t(end) : 0;
    return ::lseek(m_fd, 0, SEEK_SET) == 0;
}

size_t QBoxFileReader::Read(void *dst, size_t n)
{
    auto *out = static_cast<unsigned char *>(dst);
    const size_t buffered = m_filled - m_pos;
    const size_t fromBuffer = std::min(n, buffered);
    std::memcpy(out, m_buffer + m_pos, fromBuffer);
    m_pos += fromBuffer;
    if (fromBuffer == n)
        return n;

    size_t got = fromBuffer;
    const size_t missing = n - got;
    m_pos = m_filled = 0;
    if (missing >= kBufferSize)
        return got + ReadFromFile(out + got, missing);

    m_filled = ReadFromFile(m_buffer, kBufferSize);
    const size_t take = std::min(missing, m_filled);
    std::memcpy(out + got, m_buffer, take);
    m_pos = take;
    return got + take;
}

bool QBoxFileReader::Seek(uint64_t offset)
{
    const uint64_t bufferStart = m_filePos - m_filled;
    if (offset >= bufferStart && offset <= m_filePos) {
        m_pos = size_t(offset - bufferStart);
        return true;
    }
    if (offset > uint64_t(std::numeric_limits<off_t>::max()))
        return false;
    m_pos = m_filled = 0;
    const off_t at = ::lseek(m_fd, off_t(offset), SEEK_SET);
    if (at < 0)
        return false;
    m_filePos = uint64_t(at);
    return true;
}

size_t QBoxFileReader::ReadFromFile(unsigned char *dst, size_t n)
{
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(m_fd, dst + got, n - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        got += size_t(r);
        m_filePos += uint64_t(r);
    }
    return got;
}
