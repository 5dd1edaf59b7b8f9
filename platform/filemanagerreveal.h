#pragma once

#include <QDBusConnection>
#include <QString>

// Reveals a file in the desktop's file manager: the freedesktop FileManager1 service
// selects it; on an error reply or no answer in time the containing folder is opened.
// The call never blocks the GUI.
class FileManagerReveal
{
public:
    explicit FileManagerReveal(const QDBusConnection &bus, int timeoutMs = 5000);

    void reveal(const QString &path);
    // Makes this back end the one behind ZvCommonInterface::showFileInFolder.
    static void Install(const QDBusConnection &bus);

private:
    QDBusConnection m_bus;
    int m_timeoutMs;
};
