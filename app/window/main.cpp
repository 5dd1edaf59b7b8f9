#include "filemanagerreveal.h"
#include "logindpower.h"
#include "mainwindow.h"
#include "skinfont.h"
#include "unparsablefilenotice.h"

#include <QApplication>
#include <QDBusConnection>

int main(int argc, char *argv[])
{
    // The player's GL views are made and deleted at every open.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SkinFont::installSubstitutes();
    // The real desktop back ends; tests keep the library's logging defaults.
    FileManagerReveal::Install(QDBusConnection::sessionBus());
    LogindPower::Install(QDBusConnection::systemBus());
    UnparsableFileNotice::Install();
    MainWindow window;
    window.show();
    return app.exec();
}
