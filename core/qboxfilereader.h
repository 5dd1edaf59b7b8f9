#pragma once

#include <cstddef>
#include <cstdint>

// Buffered reader over one file descriptor, for walking box-structured movie files:
// reads are served from a 4096-byte buffer, skips are seeks.
class QBoxFileReader
{
public:
    static constexpr size_t kBufferSize = 4096;

    QBoxFileReader() = default;
    ~QBoxFileReader();

    QBoxFileReader(const QBoxFileReader &) = delete;
    QBoxFileReader &operator=(const QBoxFileReader &) = delete;

    bool Open(const char *path);
    uint64_t FileSize() const { return m_fileSize; }

    // Delivers up to n bytes; fewer only at the end of the file or on a read error.
    size_t Read(void *dst, size_t n);
    bool Seek(uint64_t offset);
    uint64_t Offset() const { return m_filePos - (m_filled - m_pos); }

private:
    size_t ReadFromFile(unsigned char *dst, size_t n);

    int m_fd = -1;
    uint64_t m_fileSize = 0;
    uint64_t m_filePos = 0; // where the descriptor stands
    unsigned char m_buffer[kBufferSize];
    size_t m_filled = 0; // bytes in the buffer
    size_t m_pos = 0;    // bytes of the buffer already consumed
};
