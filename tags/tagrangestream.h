#pragma once

#include "tagstream.h"

// The part of another stream from a fixed offset on, seen as a stream of its own. With an
// end, reads stop there and the size is the window's; without one the window runs on.
class TagRangeStream : public TagStream
{
public:
    TagRangeStream(TagStream *source, int64_t offset, int64_t end = -1);

    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    int64_t Size() override;
    int64_t SetSize(int64_t size) override;
    int64_t Tell() override;
    int64_t Seek(int64_t position) override;

private:
    int64_t Shifted(int64_t sourceValue) const;

    TagStream *m_source;
    int64_t m_offset;
    int64_t m_end;
};
