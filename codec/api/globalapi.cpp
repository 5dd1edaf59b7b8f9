#include <atomic>

#include "librarystate.h"
#include "mmc.h"

namespace {
// Kept for callers that set them; no behaviour of this library depends on them.
std::atomic<int> g_optionA{0};
std::atomic<int> g_optionB{0};
std::atomic<int *> g_optionC{nullptr};
} // namespace

extern "C" {

int MMC_SetGlobalOptionA(int option, int value)
{
    LibraryState::initialise();
    g_optionA.store(option && value);
    return 1;
}

int MMC_SetGlobalOptionB(int option, int value)
{
    LibraryState::initialise();
    g_optionB.store(option && value);
    return 1;
}

int MMC_SetConvertingMode(int mode)
{
    LibraryState::setConvertingMode(mode);
    return 1;
}

int MMC_SetWorkDirectory(const char *dir)
{
    LibraryState::setWorkDirectory(dir ? dir : "");
    return 1;
}

int MMC_SetGlobalOptionC(int *value, int)
{
    g_optionC.store(value);
    return 1;
}

int MMC_SetAbortFlag(int on)
{
    LibraryState::setAbort(on != 0);
    return 1;
}

} // extern "C"
