#include "mmc.h"

// Joining several sources into one output is not offered: creation fails, so callers
// never get a merger to drive, and every other call fails or does nothing.
extern "C" {

MMC_Handle MMC_CreateMerger(int)
{
    return 0;
}

int MMC_MergerOpen(MMC_Handle, const char *, const char *, MMC_Handle)
{
    return 0;
}

int MMC_MergerStart(MMC_Handle)
{
    return 0;
}

int MMC_MergerAddFile(MMC_Handle, const char *, uint64_t, uint64_t, MMC_Handle)
{
    return 0;
}

int MMC_MergerAddDvd(MMC_Handle, const char *, uint64_t, uint64_t, MMC_Handle)
{
    return 0;
}

int MMC_MergerIsFinished(MMC_Handle)
{
    return 0;
}

int MMC_MergerHasFailed(MMC_Handle)
{
    return 0;
}

uint64_t MMC_MergerGetDone(MMC_Handle)
{
    return 0;
}

uint64_t MMC_MergerGetTotal(MMC_Handle)
{
    return 0;
}

int MMC_MergerCancel(MMC_Handle)
{
    return 0;
}

void MMC_MergerClose(MMC_Handle) {}

void MMC_DestroyMerger(MMC_Handle) {}

} // extern "C"
