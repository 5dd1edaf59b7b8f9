#pragma once

#include "itagfile.h"
#include "tagfield.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <sys/resource.h>
#include <vector>

// Shared helpers of the tag tests: text fields, files, and the outside tools that serve as
// independent readers and writers.
namespace TagTest {

// A byte string literal with its embedded zero bytes.
template<size_t N>
QByteArray B(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray Le16(quint32 value);
QByteArray Le32(quint32 value);
QByteArray Be32(quint32 value);

std::wstring Wide(const QString &text);
QString Text(const TagField &field);
QByteArray Bytes(const TagField &field);
std::vector<uint8_t> Vector(const QByteArray &bytes);
QByteArray Array(const std::vector<uint8_t> &bytes);

TagField TextField(int kind, const std::wstring &text, int slot = -1);
TagField BinaryField(int kind, const QByteArray &bytes, int slot = -1);

QByteArray ReadFile(const QString &path);
void WriteFile(const QString &path, const QByteArray &bytes);

// Exits with the skip code 77 when a tool the test depends on is missing.
void RequireTools(const QStringList &tools);
// Runs a program and returns its standard output; ok is false on a non-zero exit.
QByteArray Run(const QString &program, const QStringList &arguments, bool *ok = nullptr);
// Runs Python code (with mutagen) as the system interpreter, arguments in sys.argv[1:].
QByteArray Python(const QString &code, const QStringList &arguments = {}, bool *ok = nullptr);
// Generates every fixture into the folder.
void MakeFixtures(const QString &folder);

// The decoded audio's MD5 digest as ffmpeg computes it.
QByteArray AudioDigest(const QString &path);

struct TagFileDeleter
{
    void operator()(ITagFile *file) const { DestroyTagFile(file); }
};
using TagFilePtr = std::unique_ptr<ITagFile, TagFileDeleter>;

// A facade opened on the path; OpenPath's result in *result.
TagFilePtr OpenTagFile(const QString &path, int *result = nullptr);

// Temporary copies a save left in the folder.
QStringList SaveLeftovers(const QString &folder);

// Makes writes beyond a file size fail with EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit);
    ~FileSizeLimit();

private:
    struct rlimit m_saved;
};

} // namespace TagTest
