#pragma once

#include <QDBusConnection>
#include <QString>

#include <functional>

// Reveals a file in the desktop's file manager: the freedesktop FileManager1 service
// selects it; on an error reply or no answer in time the containing folder is opened
// through the opener given. The call never blocks the GUI.
class FileManagerReveal
{
public:
    using FolderOpener = std::function<void(const QString &folder)>;

    FileManagerReveal(const QDBusConnection &bus, FolderOpener openFolder, int timeoutMs = 5000);

    void reveal(const QString &path);
    // Makes this back end the one behind ZvCommonInterface::showFileInFolder.
    static void Install(const QDBusConnection &bus, FolderOpener openFolder);

private:
    QDBusConnection m_bus;
    FolderOpener m_openFolder;
    int m_timeoutMs;
};
