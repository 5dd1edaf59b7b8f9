#pragma once

#include <cstdint>

// The one byte-stream interface every tag parser and writer works through, so the same code
// serves files, windows of other streams and memory blocks. Positions are absolute; callers
// check a seek by its returned position and a read or write by its count.
class TagStream
{
public:
    virtual int Read(void *buffer, int count) = 0;
    virtual int Write(const void *buffer, int count) = 0;
    virtual int64_t Size() = 0;
    virtual int64_t SetSize(int64_t size) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Seek(int64_t position) = 0;
    virtual ~TagStream() = default;
};
