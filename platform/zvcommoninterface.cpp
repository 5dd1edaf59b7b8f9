#include "zvcommoninterface.h"

#include "platformlog.h"

#include <mutex>

namespace {

std::mutex g_handlerMutex;
ZvCommonInterface::RevealHandler g_revealHandler;
ZvCommonInterface::PowerHandler g_powerHandler;

void requestPower(ZvCommonInterface::PowerAction action)
{
    ZvCommonInterface::PowerHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_powerHandler;
    }
    if (handler)
        handler(action);
    else
        qCInfo(lcPlatform) << (action == ZvCommonInterface::PowerAction::Sleep ? "sleep" : "shut down")
                           << "requested; no power back end installed, not carried out";
}

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

void ZvCommonInterface::sleepComputer()
{
    requestPower(PowerAction::Sleep);
}

void ZvCommonInterface::shutdownComputer()
{
    requestPower(PowerAction::ShutDown);
}

void ZvCommonInterface::setPowerHandler(PowerHandler handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_powerHandler = std::move(handler);
}
