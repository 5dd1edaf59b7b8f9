#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Deletes one recorded conversion output from the disk, and nothing else. The history
// file is plain text a user can edit, so a recorded path is not trusted: the user's
// standard folders, the output root and their ancestors, the application's own data,
// links and anything a conversion cannot have written are refused. A folder loses only
// its own stills, and nothing above the output is ever removed.
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

    static Result deleteOutput(const QString &path);
    // Only for tests that make one removal fail; an empty one restores the real removal.
    static void setRemover(Remover remover);

private:
    static QString refusal(const QString &path);
    static Result deleteFolder(const QString &path);
    static bool isProtected(const QString &path);
    static QStringList protectedFolders();
    static bool remove(const QString &path, bool folder);
};
