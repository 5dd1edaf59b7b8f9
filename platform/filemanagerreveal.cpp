#include "filemanagerreveal.h"

#include "platformlog.h"
#include "zvcommoninterface.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <memory>

namespace {

void openFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        qCWarning(lcPlatform) << "cannot open the folder" << folder;
}

} // namespace

FileManagerReveal::FileManagerReveal(const QDBusConnection &bus, int timeoutMs)
    : m_bus(bus)
    , m_timeoutMs(timeoutMs)
{
}

void FileManagerReveal::reveal(const QString &given)
{
    // A folder of stills is recorded with a trailing "/": without it the file manager
    // selects the folder in its parent instead of opening it.
    const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    if (!m_bus.isConnected()) {
        openFolderOf(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("ShowItems"));
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    call << QStringList{uri} << QString();
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_timeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, path](QDBusPendingCallWatcher *) {
        if (watcher->isError()) {
            qCDebug(lcPlatform) << "file manager service:" << watcher->error().message();
            openFolderOf(path);
        }
        watcher->deleteLater();
    });
}

void FileManagerReveal::Install(const QDBusConnection &bus)
{
    auto backend = std::make_shared<FileManagerReveal>(bus);
    ZvCommonInterface::setRevealHandler([backend](const QString &path) { backend->reveal(path); });
}
