#include <memory>

#include "api/handletable.h"
#include "mmc.h"
#include "still/imagefile.h"

namespace {

std::shared_ptr<ImageFile> image(MMC_Handle h)
{
    return HandleTable::get<ImageFile>(HandleTable::Family::Image, h);
}

} // namespace

extern "C" {

MMC_Handle MMC_ImageCreateWriter(int)
{
    return HandleTable::insert(HandleTable::Family::Writer, std::make_shared<ImageWriter>());
}

int MMC_ImageSetWriteCallback(MMC_Handle writer, MMC_ImageWriteFn callback, void *ctx)
{
    const auto target = HandleTable::get<ImageWriter>(HandleTable::Family::Writer, writer);
    if (!target)
        return 0;
    std::lock_guard<std::mutex> lock(target->mutex);
    target->callback = callback;
    target->context = ctx;
    return 1;
}

MMC_Handle MMC_ImageOpen(const char *path, int mode)
{
    if (!path || (mode != 0 && mode != 1))
        return 0;
    auto file = std::make_shared<ImageFile>();
    const bool opened = mode == 0 ? file->openForReading(path) : file->openForWriting(path);
    return opened ? HandleTable::insert(HandleTable::Family::Image, file) : 0;
}

int MMC_ImageSetKey(MMC_Handle h, int key)
{
    const auto file = image(h);
    if (!file)
        return 0;
    file->setKey(key);
    return 1;
}

uint64_t MMC_ImageGetEncodedSize(MMC_Handle h)
{
    const auto file = image(h);
    return file ? file->encodedSize() : 0;
}

int MMC_ImageReadEncoded(MMC_Handle h, void *buffer, uint64_t size)
{
    const auto file = image(h);
    return file && file->readEncoded(buffer, size) ? 1 : 0;
}

int MMC_ImageWriteFrame(MMC_Handle h, const void *data, uint32_t size)
{
    const auto file = image(h);
    return file && file->write(data, size) ? 1 : 0;
}

void MMC_ImageClose(MMC_Handle h)
{
    if (const auto file = HandleTable::remove<ImageFile>(HandleTable::Family::Image, h))
        file->close();
    else
        HandleTable::take(HandleTable::Family::Writer, h);
}

} // extern "C"
