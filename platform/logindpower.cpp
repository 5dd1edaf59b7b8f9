#include "logindpower.h"

#include "platformlog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <functional>
#include <memory>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

// Runs done with the reply once it arrives; a call never answered blocks nothing.
void callAsync(const QDBusConnection &bus, const QString &method, const QVariantList &arguments,
               std::function<void(const QDBusMessage &)> done)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection(bus).asyncCall(message));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, method, done](QDBusPendingCallWatcher *) {
                         const QDBusMessage reply = watcher->reply();
                         if (reply.type() == QDBusMessage::ErrorMessage)
                             qCWarning(lcPlatform) << method << "failed:" << reply.errorMessage();
                         else if (done)
                             done(reply);
                         watcher->deleteLater();
                     });
}

} // namespace

LogindPower::LogindPower(const QDBusConnection &bus)
    : m_bus(bus)
{
}

void LogindPower::request(ZvCommonInterface::PowerAction action)
{
    const bool sleep = action == ZvCommonInterface::PowerAction::Sleep;
    const QString ask = sleep ? QStringLiteral("CanSuspend") : QStringLiteral("CanPowerOff");
    const QString act = sleep ? QStringLiteral("Suspend") : QStringLiteral("PowerOff");
    const QDBusConnection bus = m_bus;
    callAsync(bus, ask, {}, [bus, ask, act](const QDBusMessage &reply) {
        const QString answer = reply.arguments().value(0).toString();
        qCInfo(lcPlatform) << ask << "answered" << answer;
        if (answer == QLatin1String("yes") || answer == QLatin1String("challenge"))
            callAsync(bus, act, {true}, [act](const QDBusMessage &) { qCInfo(lcPlatform) << act << "accepted"; });
    });
}

void LogindPower::Install(const QDBusConnection &bus)
{
    auto backend = std::make_shared<LogindPower>(bus);
    ZvCommonInterface::setPowerHandler([backend](ZvCommonInterface::PowerAction action) { backend->request(action); });
}
