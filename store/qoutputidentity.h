#pragma once

#include <QFileInfoList>
#include <QString>

// What tells a finished output from any other file at its path: a digest of its name, size,
// modification time and every byte, or, for a folder of stills, of those of each still.
// Recorded in the history when a job finishes, so that only a file that still matches
// may be deleted later.
class QOutputIdentity
{
public:
    // Empty when nothing readable is at the path.
    static QString of(const QString &path);
    // Whether the identity was made as of() makes it now. Older records digested only a
    // file's first bytes, which cannot tell that the rest is unchanged.
    static bool isCurrent(const QString &identity);
    // The stills of a series folder, named after it ("name_001.png", also in "name(2)"):
    // plain files only, in name order.
    static QFileInfoList stillsOf(const QString &folder);
};
