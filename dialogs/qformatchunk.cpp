#include "qformatchunk.h"

#include <utility>

QFormatChunk::QFormatChunk()
    : IBaseChunk(false)
{
}

QFormatChunk::~QFormatChunk() = default;

void QFormatChunk::setFormat(std::string format)
{
    m_format = std::move(format);
}

std::string QFormatChunk::getFormat() const
{
    return m_format;
}

void QFormatChunk::setSupportQuality(bool support)
{
    m_supportQuality = support;
}

bool QFormatChunk::getSupportQuality() const
{
    return m_supportQuality;
}

void QFormatChunk::setSupportExif(bool support)
{
    m_supportExif = support;
}

bool QFormatChunk::getSupportExif() const
{
    return m_supportExif;
}

void QFormatChunk::setSupportAnimation(bool support)
{
    m_supportAnimation = support;
}

bool QFormatChunk::getSupportAnimation() const
{
    return m_supportAnimation;
}

void QFormatChunk::setAnimationSuffix(std::string suffix)
{
    m_animationSuffix = std::move(suffix);
}

std::string QFormatChunk::getAnimationSuffix() const
{
    return m_animationSuffix;
}

void QFormatChunk::setAnimationFormat(std::string format)
{
    m_animationFormat = std::move(format);
}

std::string QFormatChunk::getAnimationFormat() const
{
    return m_animationFormat;
}

void QFormatChunk::setAnimationCodecId(uint32_t codecId)
{
    m_animationCodecId = codecId;
}

uint32_t QFormatChunk::getAnimationCodecId() const
{
    return m_animationCodecId;
}

void QFormatChunk::setFrameFormat(int32_t frameFormat)
{
    m_frameFormat = frameFormat;
}

int32_t QFormatChunk::getFrameFormat() const
{
    return m_frameFormat;
}
