#pragma once

#include <QString>

#include <functional>
#include <string>

// The system's calls into the operating system that Qt does not offer.
class ZvCommonInterface
{
public:
    using RevealHandler = std::function<void(const QString &path)>;
    enum class PowerAction { Sleep, ShutDown };
    using PowerHandler = std::function<void(PowerAction action)>;

    // Shows the file selected in the file manager. Doubled slashes and backslashes
    // become single "/" first.
    static void showFileInFolder(std::string path);

    // The back end that really opens a file manager. Until one is installed (the
    // application installs it at start-up) a reveal is only logged, so code run
    // headless never starts a file manager. An empty handler restores that default.
    static void setRevealHandler(RevealHandler handler);

    static void sleepComputer();
    static void shutdownComputer();
    // The back end that really sleeps or powers off the machine; only the shipped
    // program installs one. Until then a request is logged as not carried out, so no
    // test can switch its machine off. An empty handler restores that default.
    static void setPowerHandler(PowerHandler handler);
};
