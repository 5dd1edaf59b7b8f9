#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

// A session bus of the test's own, so that D-Bus back ends meet fakes and never the
// machine's real services.
class PrivateBus
{
public:
    PrivateBus() = default;
    ~PrivateBus();

    // False when dbus-daemon is missing or does not start.
    bool start();
    QDBusConnection connect(const QString &name) const;
    // Registers object at path under service on a connection of its own.
    bool serve(const QString &service, const QString &path, QObject *object, const QString &connectionName) const;

private:
    QProcess m_daemon;
    QString m_address;
};
