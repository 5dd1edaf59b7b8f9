#pragma once

#include "ibasechunk.h"

#include <string>

// One conversion-history entry shown by the history dialog: the base keeps the title and
// the thumbnail path; the output path is the key used to reveal and delete it.
class QHistoryChunk : public IBaseChunk
{
public:
    QHistoryChunk();
    ~QHistoryChunk() override;

    void SetCreateTime(std::string text);
    std::string GetCreateTime() const;
    void SetResolution(std::string text);
    std::string GetResolution() const;
    void SetFormat(std::string text);
    std::string GetFormat() const;
    void SetFilePath(std::string path);
    std::string GetFilePath() const;

private:
    std::string m_createTime;
    std::string m_resolution;
    std::string m_format;
    std::string m_filePath;
};
