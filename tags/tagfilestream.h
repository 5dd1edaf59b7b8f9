#pragma once

#include "tagstream.h"

#include <string>

// A file on disk named by a UTF-32 path. Modes: 0 read-only, 1 read-write on an existing file,
// 2 read-write, created when missing and truncated.
class TagFileStream : public TagStream
{
public:
    enum Mode { ReadOnly = 0, ReadWrite = 1, Create = 2 };

    TagFileStream(const wchar_t *path, int mode, int *result);
    ~TagFileStream() override;

    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    int64_t Size() override;
    int64_t SetSize(int64_t size) override;
    int64_t Tell() override;
    int64_t Seek(int64_t position) override;

    // Swaps the descriptor the stream works on and returns the previous one, which the caller
    // then owns; lets a save run on a copy while every handler keeps its stream pointer.
    int AdoptDescriptor(int descriptor);
    int Descriptor() const { return m_descriptor; }

    // Standard UTF-8 of a UTF-32 text; empty for a null text or an invalid code point.
    static bool WideToUtf8(const wchar_t *text, std::string *utf8);

private:
    int m_descriptor = -1;
};
