#include "cavencodeparam.h"

#include <cstdlib>
#include <cstring>

CAVEncodeParam::CAVEncodeParam() = default;

CAVEncodeParam::CAVEncodeParam(const CAVEncodeParam *other)
{
    if (!other)
        return;
    SetFormat(other->format);
    videoCodec = other->videoCodec;
    width = other->width;
    height = other->height;
    frameRate100 = other->frameRate100;
    frameRateNum = other->frameRateNum;
    frameRateDen = other->frameRateDen;
    videoBitrate = other->videoBitrate;
    quality = other->quality;
    audioCodec = other->audioCodec;
    sampleRate = other->sampleRate;
    channels = other->channels;
    audioBitrate = other->audioBitrate;
    optionFlag = other->optionFlag;
    scaleOptionOn = other->scaleOptionOn;
    scaleOptionValue = other->scaleOptionValue;
    dvdTitle = other->dvdTitle;
    rangeStart = other->rangeStart;
    rangeLength = other->rangeLength;
    metaInfo = other->metaInfo;
    firstPercent = other->firstPercent;
    speedPercent = other->speedPercent;
    thirdPercent = other->thirdPercent;
    extraDataSize = other->extraDataSize;
    if (other->extraDataSize > 0 && other->extraData) {
        extraData = static_cast<unsigned char *>(std::malloc(size_t(other->extraDataSize)));
        if (extraData)
            std::memcpy(extraData, other->extraData, size_t(other->extraDataSize));
    }
    dvdSource = other->dvdSource;
    altEngine = other->altEngine;
    optionUInt = other->optionUInt;
    imageKey = other->imageKey;
}

CAVEncodeParam::~CAVEncodeParam()
{
    std::free(format);
    std::free(extraData);
}

void CAVEncodeParam::ClearForBuild()
{
    SetFormat(nullptr);
    videoCodec = width = height = 0;
    frameRate100 = frameRateNum = frameRateDen = 0;
    videoBitrate = quality = audioCodec = sampleRate = channels = audioBitrate = 0;
    optionFlag = scaleOptionOn = scaleOptionValue = 0;
    dvdTitle = 0;
    rangeStart = rangeLength = 0;
    metaInfo.resetEncodeParam();
    firstPercent = speedPercent = thirdPercent = 0;
}

void CAVEncodeParam::SetFormat(const char *text)
{
    std::free(format);
    format = text ? strdup(text) : nullptr;
}
