#pragma once

#include <cstdint>

class TagStream;

// Makes the region of oldLength bytes at position newLength bytes long by moving everything
// behind it. 0 on success; -1 on bad arguments or at the first failed stream operation. The
// region's own bytes are not written: after growing, its new tail holds stale bytes.
int ResizeRegion(TagStream *stream, int64_t position, int64_t oldLength, int64_t newLength);
