#include "zvcommoninterface.h"

#include "platformlog.h"

#include <mutex>

namespace {

std::mutex g_handlerMutex;
ZvCommonInterface::RevealHandler g_revealHandler;

} // namespace

void ZvCommonInterface::showFileInFolder(std::string path)
{
    QString text = QString::fromStdString(path);
    text.replace(QLatin1String("//"), QLatin1String("/"));
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));

    RevealHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_revealHandler;
    }
    if (handler)
        handler(text);
    else
        qCInfo(lcPlatform) << "reveal" << text;
}

void ZvCommonInterface::setRevealHandler(RevealHandler handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_revealHandler = std::move(handler);
}
