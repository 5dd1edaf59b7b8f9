#pragma once

#include "ibasechunk.h"

#include <cstdint>
#include <string>

// One output format of the format popup: the base holds the display name as title, the
// codec id as ID and the icon strip as image; this adds what the codec library is asked
// for. The popup creates and owns the records.
class QFormatChunk : public IBaseChunk
{
public:
    QFormatChunk();
    ~QFormatChunk() override;

    void setFormat(std::string format);
    std::string getFormat() const;
    void setSupportQuality(bool support);
    bool getSupportQuality() const;
    void setSupportExif(bool support);
    bool getSupportExif() const;
    void setSupportAnimation(bool support);
    bool getSupportAnimation() const;
    void setAnimationSuffix(std::string suffix);
    std::string getAnimationSuffix() const;
    void setAnimationFormat(std::string format);
    std::string getAnimationFormat() const;
    void setAnimationCodecId(uint32_t codecId);
    uint32_t getAnimationCodecId() const;
    // The codec library's pixel-format number; -1 asks for none.
    void setFrameFormat(int32_t frameFormat);
    int32_t getFrameFormat() const;

private:
    std::string m_format;
    bool m_supportQuality = false;
    bool m_supportExif = false;
    bool m_supportAnimation = false;
    std::string m_animationSuffix;
    std::string m_animationFormat;
    uint32_t m_animationCodecId = 0;
    int32_t m_frameFormat = -1;
};
