#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

// The system's calls into the operating system that Qt does not offer. Static only.
class ZvCommonInterface
{
public:
    ZvCommonInterface() = delete;

    using RevealHandler = std::function<void(const QString &path)>;
    enum class PowerAction { Sleep, ShutDown };
    using PowerHandler = std::function<void(PowerAction action)>;

    // Shows the file selected in the file manager. Doubled slashes become one; backslashes
    // become "/" only when the path as given does not exist (written on another system),
    // since here a backslash is an ordinary character in a name. A missing path is only logged.
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

    static void checkForUpdate();
    static void setAutoCheckUpdate(bool on);

    // "Linux major.minor.patch" of the kernel plus the distribution's name, or "Unkown".
    static QString SystemVersionInfo();
    // Leaves the three values unchanged when the version cannot be read.
    static void SystemVersionInfoValue(unsigned int &major, unsigned int &minor, unsigned int &patch);
    static QString getSystemVersion();

    static QString getAppInfoFile();
    static bool isNeedInitInfoFile();
    // Adds the bundle keys to the property list at path when the installed list lacks its
    // version. Never creates a file, and leaves a list it cannot hold completely untouched.
    static void InitInfoToFile(std::string path);
    static QString getAppVersion();

    // True when a new file can be created in folder; never opens or removes an existing file.
    static bool isWritableDir(QString folder);

    // Microseconds; 0 or less returns at once, and the wait is capped at 2^32 - 1.
    static void Sleep(long long microseconds);

    // UTF-32 in host order; no value for a null text or invalid UTF-8.
    static std::optional<std::wstring> ConvertCharToUtft32(const char *text);
    static QString charToQString(std::string &text);

private:
    static QString m_systemVersion;
};
