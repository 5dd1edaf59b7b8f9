#include "qhistorychunk.h"

#include <utility>

QHistoryChunk::QHistoryChunk()
    : IBaseChunk(false)
{
}

QHistoryChunk::~QHistoryChunk() = default;

void QHistoryChunk::SetCreateTime(std::string text)
{
    m_createTime = std::move(text);
}

std::string QHistoryChunk::GetCreateTime() const
{
    return m_createTime;
}

void QHistoryChunk::SetResolution(std::string text)
{
    m_resolution = std::move(text);
}

std::string QHistoryChunk::GetResolution() const
{
    return m_resolution;
}

void QHistoryChunk::SetFormat(std::string text)
{
    m_format = std::move(text);
}

std::string QHistoryChunk::GetFormat() const
{
    return m_format;
}

void QHistoryChunk::SetFilePath(std::string path)
{
    m_filePath = std::move(path);
}

std::string QHistoryChunk::GetFilePath() const
{
    return m_filePath;
}
