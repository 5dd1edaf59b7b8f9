// Load, save and reload of the Ogg handler; the rewritten header pages must frame cleanly.
#include "fuzzhandler.h"
#include "oggtagformat.h"

#include <ogg/ogg.h>

#include <algorithm>

namespace {

// The pages from the comment packet's first page through its last follow each other with
// valid checksums.
bool HeaderPagesFrame(const std::vector<uint8_t> &bytes, int64_t first, int64_t last)
{
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    const size_t length = bytes.size() - static_cast<size_t>(first);
    char *buffer = ogg_sync_buffer(&sync, static_cast<long>(length));
    std::copy(bytes.begin() + first, bytes.end(), buffer);
    ogg_sync_wrote(&sync, static_cast<long>(length));
    bool framed = true;
    for (int64_t at = first; framed && at <= last;) {
        ogg_page page;
        const long result = ogg_sync_pageseek(&sync, &page);
        framed = result > 0;
        at += result;
    }
    ogg_sync_clear(&sync);
    return framed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    GrowableMemoryStream stream(std::vector<uint8_t>(data, data + size));
    int result = -1;
    OggTagFormat handler(&stream, &result);
    if (result < 0)
        return 0;
    const wchar_t title[] = L"fuzz title";
    handler.GetFieldSet()->Add(-1, 0, 0, sizeof title, title);
    if (handler.Save() != 0)
        return 0;
    if (!HeaderPagesFrame(stream.Bytes(), handler.CommentPageOffset(), handler.CommentEndOffset()) || handler.Reload() < 0)
        std::abort();
    return 0;
}
