#include "suupdater.h"

#include "platformlog.h"
#include "zvcommoninterface.h"

#include <QCoreApplication>

namespace {

SUUpdater::Presenter g_presenter;

} // namespace

SUUpdater *SUUpdater::sharedUpdater()
{
    static SUUpdater updater;
    return &updater;
}

void SUUpdater::checkForUpdates(QObject *)
{
    const QString text = QCoreApplication::translate("SUUpdater",
                                                     "Version %1 is installed. Updates for this program come "
                                                     "through your system's package manager.")
                             .arg(ZvCommonInterface::getAppVersion());
    if (g_presenter)
        g_presenter(text);
    else
        qCInfo(lcPlatform).noquote() << text;
}

void SUUpdater::setAutomaticallyChecksForUpdates(bool on)
{
    m_automatic = on;
    if (!m_automaticLogged) {
        m_automaticLogged = true;
        qCInfo(lcPlatform) << "automatic update checks are not available on this system";
    }
}

bool SUUpdater::automaticallyChecksForUpdates() const
{
    return m_automatic;
}

void SUUpdater::setPresenter(Presenter presenter)
{
    g_presenter = std::move(presenter);
}
