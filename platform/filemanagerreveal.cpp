#include "filemanagerreveal.h"

#include "platformlog.h"
#include "zvcommoninterface.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <memory>

FileManagerReveal::FileManagerReveal(const QDBusConnection &bus, FolderOpener openFolder, int timeoutMs)
    : m_bus(bus)
    , m_openFolder(std::move(openFolder))
    , m_timeoutMs(timeoutMs)
{
}

void FileManagerReveal::reveal(const QString &given)
{
    // A folder of stills is recorded with a trailing "/": without it the file manager
    // selects the folder in its parent instead of opening it.
    const QString path = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    const QString folder = QFileInfo(path).absolutePath();
    if (!m_bus.isConnected()) {
        m_openFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("ShowItems"));
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    call << QStringList{uri} << QString();
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_timeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, folder, openFolder = m_openFolder](QDBusPendingCallWatcher *) {
                         if (watcher->isError()) {
                             qCDebug(lcPlatform) << "file manager service:" << watcher->error().message();
                             openFolder(folder);
                         }
                         watcher->deleteLater();
                     });
}

void FileManagerReveal::Install(const QDBusConnection &bus, FolderOpener openFolder)
{
    auto backend = std::make_shared<FileManagerReveal>(bus, std::move(openFolder));
    ZvCommonInterface::setRevealHandler([backend](const QString &path) { backend->reveal(path); });
}
