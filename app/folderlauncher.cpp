#include "folderlauncher.h"

#include "showmessage.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

void FolderLauncher::open(const QString &folder)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        ShowMessage(tr("No file manager could open the folder %1.").arg(QDir::toNativeSeparators(folder)), QString(), 0,
                    false);
}

void FolderLauncher::openPage(const QUrl &page)
{
    if (!QDesktopServices::openUrl(page))
        ShowMessage(tr("No browser could open the page %1.").arg(page.toDisplayString(QUrl::PreferLocalFile)),
                    QString(), 0, false);
}
