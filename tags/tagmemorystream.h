#pragma once

#include "tagstream.h"

// A caller's fixed memory block as a stream: writes, seeks and sizes clip to the block.
class TagMemoryStream : public TagStream
{
public:
    TagMemoryStream(void *data, int size);

    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    int64_t Size() override;
    int64_t SetSize(int64_t size) override;
    int64_t Tell() override;
    int64_t Seek(int64_t position) override;

private:
    unsigned char *m_data;
    int m_capacity;
    int m_size;
    int m_position = 0;
};
