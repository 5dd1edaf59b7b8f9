#include "applog.h"
#include "filemanagerreveal.h"
#include "folderlauncher.h"
#include "logindpower.h"
#include "mainwindow.h"
#include "qianyutil.h"
#include "skinfont.h"
#include "storenotice.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDirIterator>
#include <QIcon>

namespace {

// The same rendered sizes the desktop's icon theme gets, so window and launcher look alike.
QIcon programIcon()
{
    QIcon icon;
    QDirIterator sizes(QIAnyUtil::getResourcePath() + QStringLiteral("/icons/hicolor"),
                       {QStringLiteral("*.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (sizes.hasNext())
        icon.addFile(sizes.next());
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
    // The player's GL views are made and deleted at every open.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SkinFont::installSubstitutes();
    app.setWindowIcon(programIcon());
    // The real desktop back ends; tests keep the library's logging defaults.
    FileManagerReveal::Install(QDBusConnection::sessionBus(), FolderLauncher::open);
    LogindPower::Install(QDBusConnection::systemBus());
    StoreNotice::Install();
    MainWindow window;
    window.show();
    // Start-up checks of an installed copy wait for this line.
    qCInfo(lcApp) << "main window shown";
    return app.exec();
}
