#pragma once

#include "zvcommoninterface.h"

#include <QDBusConnection>

// Sleeps or powers off the machine through systemd-logind: asks CanSuspend or
// CanPowerOff first and, on "yes" or "challenge", calls Suspend or PowerOff
// interactively so that polkit may ask the user. Every call is asynchronous; the
// answers are only logged.
class LogindPower
{
public:
    explicit LogindPower(const QDBusConnection &bus);

    void request(ZvCommonInterface::PowerAction action);
    // Makes this back end the one behind ZvCommonInterface's power calls.
    static void Install(const QDBusConnection &bus);

private:
    QDBusConnection m_bus;
};
