#include "resizeregion.h"

#include "tagstream.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr int64_t kStep = 8192;

bool MoveBlock(TagStream *stream, std::vector<char> &buffer, int64_t from, int64_t to, int count)
{
    return stream->Seek(from) == from && stream->Read(buffer.data(), count) == count
        && stream->Seek(to) == to && stream->Write(buffer.data(), count) == count;
}

int Grow(TagStream *stream, std::vector<char> &buffer, int64_t regionEnd, int64_t size, int64_t d)
{
    if (stream->SetSize(size + d) != size + d)
        return -1;
    for (int64_t end = size; end > regionEnd;) {
        const int count = static_cast<int>(std::min(kStep, end - regionEnd));
        end -= count;
        if (!MoveBlock(stream, buffer, end, end + d, count))
            return -1;
    }
    return 0;
}

int Shrink(TagStream *stream, std::vector<char> &buffer, int64_t regionEnd, int64_t size, int64_t d)
{
    for (int64_t from = regionEnd; from < size;) {
        const int count = static_cast<int>(std::min(kStep, size - from));
        if (!MoveBlock(stream, buffer, from, from - d, count))
            return -1;
        from += count;
    }
    return stream->SetSize(size - d) == size - d ? 0 : -1;
}

} // namespace

int ResizeRegion(TagStream *stream, int64_t position, int64_t oldLength, int64_t newLength)
{
    if (!stream || position < 0 || oldLength < 0 || newLength < 0)
        return -1;
    if (newLength > INT64_MAX / 4 || oldLength > INT64_MAX / 4 || position > INT64_MAX / 4)
        return -1;
    const int64_t size = stream->Size();
    if (size < 0 || position + oldLength > size)
        return -1;
    if (oldLength == newLength)
        return 0;
    try {
        std::vector<char> buffer(kStep);
        const int64_t regionEnd = position + oldLength;
        if (newLength > oldLength)
            return Grow(stream, buffer, regionEnd, size, newLength - oldLength);
        return Shrink(stream, buffer, regionEnd, size, oldLength - newLength);
    } catch (const std::bad_alloc &) {
        return -1;
    }
}
