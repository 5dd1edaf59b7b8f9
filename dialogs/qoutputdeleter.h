#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileInfo;

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
        Deleted,       // the output was there and is gone now
        StillsDeleted, // its stills are gone; the folder stays, as it holds other files
        Absent,        // nothing was there
        Unrecorded,    // something is there, and no identity that can tell it is the output was recorded
        Changed,       // what is there is not what was written
        Refused,       // not an output this system may delete
        Remained       // something could not be removed
    };

    // Removes one file (folder false) or one empty folder (folder true).
    using Remover = std::function<bool(const QString &path, bool folder)>;

    // identity: what QOutputIdentity gave when the output was written; with an empty one,
    // or one an older version recorded, nothing is deleted. removedBytes is set to the size
    // of what was removed.
    static Result deleteOutput(const QString &path, const QString &identity, qint64 &removedBytes);
    // Only for tests that make one removal fail; an empty one restores the real removal.
    static void setRemover(Remover remover);

private:
    static Result refuse(const QString &path, const QString &why);
    static QString refusal(const QString &path);
    static QString kindRefusal(const QFileInfo &info);
    static Result deleteFile(const QFileInfo &info, qint64 &removedBytes);
    static Result deleteFolder(const QString &path, qint64 &removedBytes);
    // Removes one file and adds its size to removedBytes when it went.
    static bool removeCounted(const QFileInfo &file, qint64 &removedBytes);
    static bool isProtected(const QString &path);
    static QStringList protectedFolders();
    static bool remove(const QString &path, bool folder);
};
