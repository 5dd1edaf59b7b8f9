#include "tagsafecopy.h"

#include "tagfilestream.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string FolderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool CopyByRange(int from, int to, off_t size)
{
    off_t in = 0;
    off_t out = 0;
    while (in < size) {
        const ssize_t n = copy_file_range(from, &in, to, &out, static_cast<size_t>(size - in), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
    }
    return true;
}

bool CopyByReading(int from, int to, off_t size)
{
    std::vector<char> buffer(1 << 16);
    for (off_t at = 0; at < size;) {
        const ssize_t n = pread(from, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = pwrite(to, buffer.data() + done, static_cast<size_t>(n - done), at + done);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
        at += n;
    }
    return true;
}

// The owner is kept where we may set it; otherwise the copy stays ours, which is no failure.
void KeepOwner(int descriptor, const struct stat &info)
{
    if (fchown(descriptor, info.st_uid, info.st_gid) != 0)
        (void)!fchown(descriptor, static_cast<uid_t>(-1), info.st_gid);
}

} // namespace

TagSafeCopy::~TagSafeCopy()
{
    Discard();
}

bool TagSafeCopy::CopyFile(int from, int to) const
{
    if (Fails(CopyContent))
        return false;
    struct stat info;
    if (fstat(from, &info) != 0)
        return false;
    if (ioctl(to, FICLONE, from) == 0)
        return true;
    if (ftruncate(to, 0) != 0)
        return false;
    if (CopyByRange(from, to, info.st_size))
        return true;
    return ftruncate(to, 0) == 0 && CopyByReading(from, to, info.st_size);
}

int TagSafeCopy::Begin(const std::string &path, TagFileStream *stream)
{
    if (Active() || !stream || stream->Descriptor() < 0)
        return -1;
    char resolved[PATH_MAX];
    if (Fails(ResolvePath) || !realpath(path.c_str(), resolved))
        return -1;
    m_target = resolved;
    std::string pattern = FolderOf(m_target) + "/.tagsave-XXXXXX";
    const int copy = Fails(CreateTemporary) ? -1 : mkostemp(&pattern[0], O_CLOEXEC);
    if (copy < 0)
        return -1;
    m_temporary = pattern;
    if (!CopyFile(stream->Descriptor(), copy)) {
        close(copy);
        unlink(m_temporary.c_str());
        return -1;
    }
    m_stream = stream;
    m_original = stream->AdoptDescriptor(copy);
    return 0;
}

int TagSafeCopy::Commit()
{
    if (!Active())
        return -1;
    const int copy = m_stream->Descriptor();
    struct stat info;
    if (Fails(SyncCopy) || fsync(copy) != 0)
        return -1;
    if (Fails(CopyMode) || fstat(m_original, &info) != 0 || fchmod(copy, info.st_mode & 07777) != 0)
        return -1;
    KeepOwner(copy, info);
    if (Fails(Rename) || rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return -1;
    const int folder = open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    close(m_original);
    m_original = -1;
    m_stream = nullptr;
    return 0;
}

void TagSafeCopy::Discard()
{
    if (!Active())
        return;
    const int copy = m_stream->AdoptDescriptor(m_original);
    close(copy);
    unlink(m_temporary.c_str());
    m_original = -1;
    m_stream = nullptr;
}
