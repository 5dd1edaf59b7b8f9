#include "workingfile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMark[] = ".glintora-";
constexpr char kSuffix[] = ".part";
constexpr size_t kTagLength = 8;
constexpr char kTagAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr int kAttempts = 64;
// Free names tried when the destination was taken; the list itself gives up far earlier.
constexpr int kNumberedNames = 10000;
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

// "<destination's name>.glintora-<tag>.part", or the mark alone where that name would be
// too long for the folder: the pattern holds either way.
bool isWorkingName(const std::string &fileName)
{
    const size_t tail = sizeof(kMark) - 1 + kTagLength + sizeof(kSuffix) - 1;
    if (fileName.size() < tail || !endsWith(fileName, kSuffix))
        return false;
    const size_t markAt = fileName.size() - tail;
    if (fileName.compare(markAt, sizeof(kMark) - 1, kMark) != 0)
        return false;
    const std::string tag = fileName.substr(markAt + sizeof(kMark) - 1, kTagLength);
    return tag.find_first_not_of(kTagAlphabet) == std::string::npos;
}

// Tries working names beside destination until make creates one that did not exist.
template <class Make> std::string createBeside(const std::string &destination, Make make)
{
    if (destination.empty())
        return std::string();
    bool bare = false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string tail = kMark + randomTag() + kSuffix;
        const std::string path = bare ? folderOf(destination) + "/" + tail : destination + tail;
        if (make(path))
            return path;
        if (errno == ENAMETOOLONG && !bare)
            bare = true; // a name that fits the folder may leave no room for the tail
        else if (errno != EEXIST)
            break;
    }
    return std::string();
}

// The names after destination as the list numbers outputs: "name(1).ext", "name(2).ext";
// after "name(4).ext" comes "name(5).ext".
class NumberedNames
{
public:
    NumberedNames(const std::string &destination, bool hasExtension)
    {
        const size_t nameAt = destination.rfind('/') + 1; // npos + 1 is 0
        const size_t dot = hasExtension ? destination.rfind('.') : std::string::npos;
        const size_t stemEnd = dot != std::string::npos && dot > nameAt ? dot : destination.size();
        m_extension = destination.substr(stemEnd);
        m_root = destination.substr(0, stemEnd);
        const size_t open = m_root.rfind('(');
        if (open == std::string::npos || open < nameAt || open + 2 >= m_root.size() || m_root.back() != ')')
            return;
        const std::string digits = m_root.substr(open + 1, m_root.size() - open - 2);
        if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos)
            return;
        m_number = std::stoi(digits);
        m_root.erase(open);
    }

    std::string next() { return m_root + "(" + std::to_string(++m_number) + ")" + m_extension; }

private:
    std::string m_root;
    std::string m_extension;
    int m_number = 0;
};

// Moves from to to, failing with EEXIST when to exists, also on file systems that cannot
// refuse a replacing rename.
bool moveWithoutReplacing(const std::string &from, const std::string &to, bool folder)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    if (!folder) {
        if (::link(from.c_str(), to.c_str()) != 0)
            return false;
        ::unlink(from.c_str());
        return true;
    }
    // An empty folder of our own at to takes the place of the refusal: a rename replaces
    // it only while it is still empty.
    if (::mkdir(to.c_str(), 0700) != 0)
        return false;
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    const int error = errno;
    ::rmdir(to.c_str());
    errno = error == ENOTEMPTY ? EEXIST : error;
    return false;
}

std::string giveName(const std::string &path, const std::string &destination, bool folder)
{
    NumberedNames names(destination, !folder);
    std::string name = destination;
    for (int attempt = 0; attempt <= kNumberedNames; ++attempt, name = names.next()) {
        if (moveWithoutReplacing(path, name, folder))
            return name;
        if (errno != EEXIST && errno != ENOTEMPTY)
            break;
    }
    return std::string();
}

bool isStillName(const char *fileName)
{
    static const std::regex still(".*_[0-9]+\\.[A-Za-z0-9]+");
    return std::regex_match(fileName, still);
}

bool isOursAndStale(const struct stat &info, time_t before)
{
    return info.st_uid == ::geteuid() && info.st_mtime < before;
}

// Removes the stills a killed run left in its working folder, then the folder when that
// left it empty.
void removeStaleFolder(int parentFd, const char *name)
{
    const int folderFd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR *listing = folderFd < 0 ? nullptr : ::fdopendir(folderFd);
    if (!listing) {
        if (folderFd >= 0)
            ::close(folderFd);
        return;
    }
    while (const dirent *entry = ::readdir(listing)) {
        struct stat info;
        if (isStillName(entry->d_name) && ::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(listing);
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

} // namespace

namespace WorkingFile {

std::string create(const std::string &destination, int &descriptor)
{
    descriptor = -1;
    return createBeside(destination, [&descriptor](const std::string &path) {
        descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        return descriptor >= 0;
    });
}

std::string createFolder(const std::string &destination)
{
    return createBeside(destination, [](const std::string &path) { return ::mkdir(path.c_str(), 0755) == 0; });
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

std::string commit(const std::string &path, int descriptor, const std::string &destination)
{
    if (!isAt(path, descriptor)) {
        errno = ENOENT;
        return std::string();
    }
    // On disk before it has its name: a power cut never leaves a short file under it.
    if (::fdatasync(descriptor) != 0)
        return std::string();
    return giveName(path, destination, false);
}

std::string commitFolder(const std::string &path, const std::string &destination)
{
    return giveName(path, destination, true);
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
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !isOursAndStale(info, before))
            continue;
        // Only a plain file or a folder of this user, untouched for a day, can be a killed run's.
        if (S_ISREG(info.st_mode))
            ::unlinkat(folderFd, entry->d_name, 0);
        else if (S_ISDIR(info.st_mode))
            removeStaleFolder(folderFd, entry->d_name);
    }
    ::closedir(listing);
}

} // namespace WorkingFile
