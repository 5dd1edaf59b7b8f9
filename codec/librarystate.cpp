#include "librarystate.h"

#include <atomic>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace {

std::atomic<bool> g_abort{false};
std::atomic<int> g_convertingMode{0};
std::mutex g_logMutex;
FILE *g_logFile = nullptr;

void logToFile(void *avcl, int level, const char *format, va_list args)
{
    if (level > av_log_get_level())
        return;
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (!g_logFile)
        return;
    char line[1024];
    int printPrefix = 1;
    av_log_format_line(avcl, level, format, args, line, sizeof(line), &printPrefix);
    std::fputs(line, g_logFile);
    std::fflush(g_logFile);
}

} // namespace

namespace LibraryState {

void initialise()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

bool abortRequested()
{
    return g_abort.load();
}

void setAbort(bool on)
{
    g_abort.store(on);
}

void setWorkDirectory(const std::string &dir)
{
    initialise();
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_logFile)
        std::fclose(g_logFile);
    g_logFile = dir.empty() ? nullptr : std::fopen((dir + "/codec.log").c_str(), "a");
    av_log_set_callback(g_logFile ? logToFile : av_log_default_callback);
}

void setConvertingMode(int mode)
{
    g_convertingMode.store(mode);
}

} // namespace LibraryState
