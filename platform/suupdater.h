#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The program is installed and updated by the system's package manager, so the update
// check only says so: it makes no network request and downloads nothing.
class SUUpdater
{
public:
    using Presenter = std::function<void(const QString &text)>;

    static SUUpdater *sharedUpdater();

    void checkForUpdates(QObject *sender);
    void setAutomaticallyChecksForUpdates(bool on);
    bool automaticallyChecksForUpdates() const;

    // Shows the check's message; the default only logs it. An empty presenter restores that.
    static void setPresenter(Presenter presenter);

private:
    SUUpdater() = default;

    bool m_automatic = false;
    bool m_automaticLogged = false;
};
