#include "tagtesthelpers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace TagTest {

QByteArray Le16(quint32 value)
{
    return QByteArray(1, char(value & 0xFF)).append(char((value >> 8) & 0xFF));
}

QByteArray Le32(quint32 value)
{
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

QByteArray Be32(quint32 value)
{
    QByteArray bytes = Le32(value);
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

std::wstring Wide(const QString &text)
{
    return text.toStdWString();
}

QString Text(const TagField &field)
{
    if (!field.data || field.valueType != TagValueText)
        return QString();
    return QString::fromWCharArray(static_cast<const wchar_t *>(field.data), static_cast<int>(field.length / 4));
}

QByteArray Bytes(const TagField &field)
{
    return QByteArray(static_cast<const char *>(field.data), static_cast<int>(field.length));
}

std::vector<uint8_t> Vector(const QByteArray &bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

QByteArray Array(const std::vector<uint8_t> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<int>(bytes.size()));
}

TagField TextField(int kind, const std::wstring &text, int slot)
{
    return TagField{slot, kind, TagValueText, static_cast<uint32_t>(4 * text.size()), const_cast<wchar_t *>(text.c_str())};
}

TagField BinaryField(int kind, const QByteArray &bytes, int slot)
{
    return TagField{slot, kind, TagValueBinary, static_cast<uint32_t>(bytes.size()), const_cast<char *>(bytes.constData())};
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void RequireTools(const QStringList &tools)
{
    for (const QString &tool : tools) {
        const bool present = tool.startsWith('/') ? QFile::exists(tool) : !QStandardPaths::findExecutable(tool).isEmpty();
        if (!present) {
            std::fprintf(stderr, "skipped: %s is not installed\n", qPrintable(tool));
            std::exit(77);
        }
    }
    if (tools.contains("/usr/bin/python3")) {
        bool ok = false;
        Python("import mutagen", {}, &ok);
        if (!ok) {
            std::fprintf(stderr, "skipped: mutagen is not installed\n");
            std::exit(77);
        }
    }
}

QByteArray Run(const QString &program, const QStringList &arguments, bool *ok)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(-1);
    const bool success = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok)
        *ok = success;
    if (!success)
        qWarning().noquote() << program << arguments << process.readAllStandardError();
    return process.readAllStandardOutput();
}

QByteArray Python(const QString &code, const QStringList &arguments, bool *ok)
{
    return Run("/usr/bin/python3", QStringList{"-c", code} + arguments, ok);
}

void MakeFixtures(const QString &folder)
{
    bool ok = false;
    Run("/usr/bin/python3", {QStringLiteral(TAG_FIXTURE_SCRIPT), folder}, &ok);
    QVERIFY2(ok, "the fixture script failed");
}

QByteArray AudioDigest(const QString &path)
{
    return Run("ffmpeg", {"-v", "error", "-i", path, "-map", "0:a:0", "-f", "md5", "-"}).trimmed();
}

TagFilePtr OpenTagFile(const QString &path, int *result)
{
    TagFilePtr file(CreateTagFile());
    const int opened = file->OpenPath(Wide(path).c_str());
    if (result)
        *result = opened;
    return file;
}

QStringList SaveLeftovers(const QString &folder)
{
    return QDir(folder).entryList({".tagsave-*"}, QDir::Files | QDir::Hidden);
}

FileSizeLimit::FileSizeLimit(rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &m_saved);
    struct rlimit next = m_saved;
    next.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &next);
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
}

} // namespace TagTest
