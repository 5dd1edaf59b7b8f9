#pragma once

#include <QString>

// Reveals a file in the desktop's file manager: the freedesktop FileManager1 service on
// the session bus selects it; without that service the containing folder is opened.
class FileManagerReveal
{
public:
    static void Reveal(const QString &path);
    // Installs Reveal as the back end of ZvCommonInterface::showFileInFolder.
    static void Install();

private:
    static bool ShowItemsOverDBus(const QString &path);
};
