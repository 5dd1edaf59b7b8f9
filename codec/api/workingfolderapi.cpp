#include <string>
#include <unistd.h>

#include "api/pathtext.h"
#include "mmc.h"
#include "workingfile.h"

extern "C" {

uint32_t MMC_CreateWorkingFolder(const char *dst, char *path, uint32_t size)
{
    if (!dst)
        return 0;
    WorkingFile::removeStale(dst);
    const std::string folder = WorkingFile::createFolder(dst);
    const uint32_t length = copyPath(folder, path, size);
    if (!length && !folder.empty())
        ::rmdir(folder.c_str());
    return length;
}

uint32_t MMC_CommitWorkingFolder(const char *folder, const char *dst, char *named, uint32_t size)
{
    if (!folder || !dst || !*dst)
        return 0;
    return copyPath(WorkingFile::commitFolder(folder, dst), named, size);
}

} // extern "C"
