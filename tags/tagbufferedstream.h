#pragma once

#include "tagstream.h"

#include <vector>

// Read-ahead over another stream for the byte-by-byte scans of tag parsers: small reads come
// from memory and a backward seek within the fetched bytes costs no call on the source.
// Read-only; the source is not owned and must not be moved by anyone else meanwhile.
class TagBufferedStream : public TagStream
{
public:
    explicit TagBufferedStream(TagStream *source);

    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    int64_t Size() override;
    int64_t SetSize(int64_t size) override;
    int64_t Tell() override;
    int64_t Seek(int64_t position) override;

private:
    int64_t SourcePosition();
    int ReadSource(void *buffer, int count);

    TagStream *m_source;
    std::vector<char> m_buffer;
    int m_capacity = 4096;
    int m_position = 0;
    int m_available = 0;
    // The source's position as last seen, so Tell and short seeks need no call on it.
    int64_t m_sourcePosition = -1;
};
