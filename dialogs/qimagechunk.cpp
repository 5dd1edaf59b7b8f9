#include "qimagechunk.h"

#include <utility>

QImageChunk::QImageChunk()
    : IBaseChunk(false)
{
    SetCheck(0);
}

QImageChunk::~QImageChunk() = default;

void QImageChunk::setImagePath(std::string path)
{
    m_imagePath = std::move(path);
}

std::string QImageChunk::GetImagePath() const
{
    return m_imagePath;
}
