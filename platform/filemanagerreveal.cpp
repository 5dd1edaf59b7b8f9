#include "filemanagerreveal.h"

#include "platformlog.h"
#include "zvcommoninterface.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void FileManagerReveal::Reveal(const QString &path)
{
    if (ShowItemsOverDBus(path))
        return;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        qCWarning(lcPlatform) << "cannot open the folder" << folder;
}

void FileManagerReveal::Install()
{
    ZvCommonInterface::setRevealHandler(&FileManagerReveal::Reveal);
}

bool FileManagerReveal::ShowItemsOverDBus(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("ShowItems"));
    const QString uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
    call << QStringList{uri} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        qCDebug(lcPlatform) << "file manager service:" << reply.errorMessage();
        return false;
    }
    return true;
}
