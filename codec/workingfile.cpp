#include "workingfile.h"

#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMark[] = ".glintora-";
constexpr char kSuffix[] = ".part";
constexpr size_t kTagLength = 8;
constexpr char kTagAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr int kAttempts = 64;
constexpr std::chrono::hours kStaleAge(24);

std::string randomTag()
{
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof(kTagAlphabet) - 2);
    std::string tag;
    for (size_t i = 0; i < kTagLength; ++i)
        tag += kTagAlphabet[pick(generator)];
    return tag;
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool isWorkingName(const std::string &fileName)
{
    const size_t tail = sizeof(kMark) - 1 + kTagLength + sizeof(kSuffix) - 1;
    if (fileName.size() <= tail || !endsWith(fileName, kSuffix))
        return false;
    const size_t markAt = fileName.size() - tail;
    if (fileName.compare(markAt, sizeof(kMark) - 1, kMark) != 0)
        return false;
    const std::string tag = fileName.substr(markAt + sizeof(kMark) - 1, kTagLength);
    return tag.find_first_not_of(kTagAlphabet) == std::string::npos;
}

} // namespace

namespace WorkingFile {

std::string create(const std::string &destination, int &descriptor)
{
    descriptor = -1;
    if (destination.empty())
        return std::string();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string path = destination + kMark + randomTag() + kSuffix;
        descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (descriptor >= 0)
            return path;
        if (errno != EEXIST)
            break;
    }
    return std::string();
}

FILE *openForWriting(int descriptor)
{
    const int own = descriptor < 0 ? -1 : ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    FILE *file = own < 0 ? nullptr : ::fdopen(own, "wb");
    if (!file && own >= 0)
        ::close(own);
    return file;
}

bool isAt(const std::string &path, int descriptor)
{
    struct stat named;
    struct stat opened;
    return descriptor >= 0 && ::lstat(path.c_str(), &named) == 0 && ::fstat(descriptor, &opened) == 0
           && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

void removeStale(const std::string &destination)
{
    const std::string folder = folderOf(destination);
    DIR *listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    const int folderFd = ::dirfd(listing);
    const auto oldest = std::chrono::system_clock::now() - kStaleAge;
    const time_t before = std::chrono::system_clock::to_time_t(oldest);
    while (const dirent *entry = ::readdir(listing)) {
        if (!isWorkingName(entry->d_name))
            continue;
        struct stat info;
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        // Only a plain file of this user, untouched for a day, can be a killed run's.
        if (S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_mtime < before)
            ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(listing);
}

} // namespace WorkingFile
