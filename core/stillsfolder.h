#pragma once

#include <QString>

// The folder a job's stills are written into: made beside the output folder under a
// working name of the codec library's own, and given the output folder's name (or the
// next free one) only once the last still is written, so a job that is killed or fails
// never leaves a part of a series that looks like an output. A folder neither named nor
// discarded goes when the object does.
class StillsFolder
{
public:
    StillsFolder() = default;
    ~StillsFolder();
    StillsFolder(const StillsFolder &) = delete;
    StillsFolder &operator=(const StillsFolder &) = delete;

    // destination: the output folder; the stills are "<baseName>_<nnn>.<extension>".
    // Discards a working folder made before. False when none could be made.
    bool create(const QString &destination, const QString &baseName, const QString &extension);
    // The working folder, empty when there is none.
    QString path() const { return m_path; }
    bool holdsStills() const;
    // Gives the working folder the output folder's name, never replacing anything; the
    // name given, or an empty text when it could not be named (it then stays working).
    QString commit();
    // Removes the stills written into the working folder, then the folder when that left
    // it empty.
    void discard();

private:
    QString m_destination;
    QString m_path;
    QString m_baseName;
    QString m_extension;
};
