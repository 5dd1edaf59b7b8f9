#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Deletes one recorded conversion output from the disk, and nothing else. The history
// file is plain text a user can edit, so a recorded path is not trusted: the user's
// standard folders, the output root and their ancestors, the application's own data,
// links, anything a conversion cannot have written and anything that no longer matches
// the identity recorded when it was written are refused. A folder loses only its own
// stills, and nothing above the output is ever removed.
class QOutputDeleter
{
public:
    enum Result
    {
        Deleted,  // the output was there and is gone now
        Absent,   // nothing was there
        Refused,  // not an output this system may delete
        Remained  // something could not be removed, or the folder holds other files
    };

    // Removes one file (folder false) or one empty folder (folder true).
    using Remover = std::function<bool(const QString &path, bool folder)>;

    // identity: what QOutputIdentity gave when the output was written; an empty one is
    // refused too, never taken as a match.
    static Result deleteOutput(const QString &path, const QString &identity);
    // Only for tests that make one removal fail; an empty one restores the real removal.
    static void setRemover(Remover remover);

private:
    static QString refusal(const QString &path, const QString &identity);
    static Result deleteFolder(const QString &path);
    static bool isProtected(const QString &path);
    static QStringList protectedFolders();
    static bool remove(const QString &path, bool folder);
};
