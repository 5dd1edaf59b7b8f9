// libFuzzer entry for the Live Photo test: every input is served as a file, because the
// test reads files by path with its own buffered reader.
#include "qlivephotohelper.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace {

int InputFile()
{
    static const int fd = memfd_create("livephoto-input", 0);
    if (fd < 0)
        std::abort();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int fd = InputFile();
    if (ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != ssize_t(size)))
        std::abort();
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    QLivePhotoHelper::FileIslivephoto(path);
    return 0;
}
