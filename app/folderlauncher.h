#pragma once

#include <QCoreApplication>
#include <QString>

class QUrl;

// Opens a folder in the desktop's file manager, or a page of the guide in its browser,
// and tells the user in a message box when nothing could open it (a minimal desktop may
// have neither a file manager service nor xdg-open), instead of leaving the click without
// an answer.
class FolderLauncher
{
    Q_DECLARE_TR_FUNCTIONS(FolderLauncher)

public:
    static void open(const QString &folder);
    static void openPage(const QUrl &page);
};
