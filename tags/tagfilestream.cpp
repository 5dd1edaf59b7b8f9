#include "tagfilestream.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool TagFileStream::WideToUtf8(const wchar_t *text, std::string *utf8)
{
    if (!text)
        return false;
    utf8->clear();
    for (const wchar_t *p = text; *p; ++p) {
        const uint32_t c = static_cast<uint32_t>(*p);
        if (c < 0x80) {
            utf8->push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            utf8->push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            utf8->push_back(static_cast<char>(0xE0 | (c >> 12)));
            utf8->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x110000) {
            utf8->push_back(static_cast<char>(0xF0 | (c >> 18)));
            utf8->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            utf8->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            utf8->push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            return false;
        }
    }
    return true;
}

TagFileStream::TagFileStream(const wchar_t *path, int mode, int *result)
{
    static const int flags[] = {O_RDONLY, O_RDWR, O_RDWR | O_CREAT | O_TRUNC};
    std::string name;
    if (mode >= ReadOnly && mode <= Create && WideToUtf8(path, &name))
        m_descriptor = ::open(name.c_str(), flags[mode] | O_CLOEXEC, 0666);
    if (result)
        *result = m_descriptor >= 0 ? 0 : -1;
}

TagFileStream::~TagFileStream()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

int TagFileStream::Read(void *buffer, int count)
{
    if (m_descriptor < 0 || count < 0)
        return -1;
    char *out = static_cast<char *>(buffer);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_descriptor, out + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return done > 0 ? done : -1;
        if (n == 0)
            break;
        done += static_cast<int>(n);
    }
    return done;
}

int TagFileStream::Write(const void *buffer, int count)
{
    if (m_descriptor < 0 || count < 0)
        return -1;
    const char *in = static_cast<const char *>(buffer);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_descriptor, in + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        done += static_cast<int>(n);
    }
    return done;
}

int64_t TagFileStream::Size()
{
    if (m_descriptor < 0)
        return -1;
    const off_t here = ::lseek(m_descriptor, 0, SEEK_CUR);
    const off_t end = ::lseek(m_descriptor, 0, SEEK_END);
    if (here < 0 || end < 0 || ::lseek(m_descriptor, here, SEEK_SET) != here)
        return -1;
    return end;
}

int64_t TagFileStream::SetSize(int64_t size)
{
    if (m_descriptor < 0 || size < 0 || ::ftruncate(m_descriptor, size) != 0)
        return -1;
    return ::lseek(m_descriptor, 0, SEEK_END);
}

int64_t TagFileStream::Tell()
{
    if (m_descriptor < 0)
        return -1;
    return ::lseek(m_descriptor, 0, SEEK_CUR);
}

int64_t TagFileStream::Seek(int64_t position)
{
    if (m_descriptor < 0 || position < 0)
        return -1;
    return ::lseek(m_descriptor, position, SEEK_SET);
}

int TagFileStream::AdoptDescriptor(int descriptor)
{
    const int previous = m_descriptor;
    m_descriptor = descriptor;
    return previous;
}
