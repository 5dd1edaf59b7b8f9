#include "privatebus.h"

#include <QStandardPaths>

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool PrivateBus::start()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        return false;
    m_daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
    if (!m_daemon.waitForReadyRead(10000))
        return false;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}

QDBusConnection PrivateBus::connect(const QString &name) const
{
    return QDBusConnection::connectToBus(m_address, name);
}

bool PrivateBus::serve(const QString &service, const QString &path, QObject *object,
                       const QString &connectionName) const
{
    QDBusConnection connection = connect(connectionName);
    return connection.registerObject(path, object, QDBusConnection::ExportAllSlots)
           && connection.registerService(service);
}
