#pragma once

#include <string>

class TagFileStream;

// Lets a save rewrite a file without ever leaving it half-written: Begin copies the file to a
// temporary beside it and switches the open stream to the copy (handlers keep their stream
// pointer); Commit renames the copy over the original, Discard drops it and switches back.
class TagSafeCopy
{
public:
    enum Step { ResolvePath = 1, CreateTemporary, CopyContent, SyncCopy, CopyMode, Rename };

    TagSafeCopy() = default;
    ~TagSafeCopy();
    TagSafeCopy(const TagSafeCopy &) = delete;
    TagSafeCopy &operator=(const TagSafeCopy &) = delete;

    // path is the file's UTF-8 name as opened; symbolic links are followed so they stay links.
    int Begin(const std::string &path, TagFileStream *stream);
    int Commit();
    void Discard();
    bool Active() const { return m_stream != nullptr; }

    // Makes the given step fail, to exercise the recovery paths.
    void FailAtStep(int step) { m_failStep = step; }

private:
    bool Fails(Step step) const { return m_failStep == step; }
    bool CopyFile(int from, int to) const;

    TagFileStream *m_stream = nullptr;
    int m_original = -1;
    std::string m_target;
    std::string m_temporary;
    int m_failStep = 0;
};
