#include "librarystate.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// A job allocates and frees its pictures by the thousand on many threads. Left to itself,
// glibc raises its thresholds to the largest block freed, and each thread's arena then
// keeps that much and more free at its top after every job, where malloc_trim does not
// reach: the program's resident size grew by about 90 MB over twelve conversions. Fixed
// thresholds keep every picture in the arenas, as before, and give a free top over 8 MB
// back.
void keepFreedMemoryShort()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 8 << 20);
#endif
}

} // namespace

namespace LibraryState {

void initialise()
{
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_ERROR);
        keepFreedMemoryShort();
    });
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
