#pragma once

#include "tagstream.h"

#include <cstdint>
#include <vector>

// A memory stream that grows on writes and SetSize, standing in for a file in save tests.
class GrowableMemoryStream : public TagStream
{
public:
    GrowableMemoryStream() = default;
    explicit GrowableMemoryStream(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    int64_t Size() override { return static_cast<int64_t>(m_bytes.size()); }
    int64_t SetSize(int64_t size) override;
    int64_t Tell() override { return m_position; }
    int64_t Seek(int64_t position) override;

    const std::vector<uint8_t> &Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
    int64_t m_position = 0;
};
