#pragma once

#include <QString>

#include <functional>
#include <string>

// The system's calls into the operating system that Qt does not offer.
class ZvCommonInterface
{
public:
    using RevealHandler = std::function<void(const QString &path)>;

    // Shows the file selected in the file manager. Doubled slashes and backslashes
    // become single "/" first.
    static void showFileInFolder(std::string path);

    // The back end that really opens a file manager. Until one is installed (the
    // application installs it at start-up) a reveal is only logged, so code run
    // headless never starts a file manager. An empty handler restores that default.
    static void setRevealHandler(RevealHandler handler);
};
