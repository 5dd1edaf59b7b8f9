#pragma once

#include "ibasechunk.h"

#include <string>

// One extracted frame of a queue item: ticked state, frame number as id, thumbnail as
// image, and the frame file it was written to. The item's frame list owns it.
class QImageChunk : public IBaseChunk
{
public:
    QImageChunk();
    ~QImageChunk() override;

    void setImagePath(std::string path);
    std::string GetImagePath() const;

private:
    std::string m_imagePath;
};
