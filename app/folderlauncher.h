#pragma once

#include <QCoreApplication>
#include <QString>

// Opens a folder in the desktop's file manager, and tells the user in a message box when
// none could open it (a minimal desktop may have neither a file manager service nor
// xdg-open), instead of leaving the click without an answer.
class FolderLauncher
{
    Q_DECLARE_TR_FUNCTIONS(FolderLauncher)

public:
    static void open(const QString &folder);
};
