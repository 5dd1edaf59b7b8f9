#include <memory>

#include "api/handletable.h"
#include "api/pathtext.h"
#include "convert/merger.h"
#include "encodeconfig.h"
#include "mmc.h"

namespace {

using Family = HandleTable::Family;

template <class Result, class Action> Result onMerger(MMC_Handle h, Result none, Action action)
{
    const auto target = HandleTable::get<Merger>(Family::Merger, h);
    return target ? action(*target) : none;
}

} // namespace

extern "C" {

MMC_Handle MMC_CreateMerger(int)
{
    return HandleTable::insert(Family::Merger, std::make_shared<Merger>());
}

int MMC_MergerOpen(MMC_Handle merger, const char *dst, const char *format, MMC_Handle cfg)
{
    if (!dst || !format)
        return 0;
    const auto config = HandleTable::get<EncodeConfig>(Family::EncodeConfig, cfg);
    const EncodeSettings settings = config ? config->snapshot() : EncodeSettings();
    return onMerger(merger, 0, [&](Merger &m) { return m.open(dst, format, settings) ? 1 : 0; });
}

int MMC_MergerStart(MMC_Handle merger)
{
    return onMerger(merger, 0, [](Merger &m) { return m.start() ? 1 : 0; });
}

// The source's own configuration is accepted and unused: the output's governs.
int MMC_MergerAddFile(MMC_Handle merger, const char *src, uint64_t start, uint64_t length, MMC_Handle)
{
    if (!src)
        return 0;
    return onMerger(merger, 0, [&](Merger &m) { return m.addFile(src, start, length) ? 1 : 0; });
}

int MMC_MergerAddDvd(MMC_Handle, const char *, uint64_t, uint64_t, MMC_Handle)
{
    return 0;
}

int MMC_MergerIsFinished(MMC_Handle merger)
{
    return onMerger(merger, 0, [](Merger &m) { return m.isFinished() ? 1 : 0; });
}

int MMC_MergerHasFailed(MMC_Handle merger)
{
    return onMerger(merger, 0, [](Merger &m) { return m.hasFailed() ? 1 : 0; });
}

uint64_t MMC_MergerGetDone(MMC_Handle merger)
{
    return onMerger(merger, uint64_t(0), [](Merger &m) { return m.done(); });
}

uint64_t MMC_MergerGetTotal(MMC_Handle merger)
{
    return onMerger(merger, uint64_t(0), [](Merger &m) { return m.total(); });
}

uint32_t MMC_MergerGetOutputPath(MMC_Handle merger, char *path, uint32_t size)
{
    return onMerger(merger, uint32_t(0), [&](Merger &m) { return copyPath(m.outputPath(), path, size); });
}

int MMC_MergerCancel(MMC_Handle merger)
{
    return onMerger(merger, 0, [](Merger &m) { return m.cancel() ? 1 : 0; });
}

void MMC_MergerClose(MMC_Handle merger)
{
    onMerger(merger, 0, [](Merger &m) {
        m.close();
        return 0;
    });
}

void MMC_DestroyMerger(MMC_Handle merger)
{
    if (const auto target = HandleTable::remove<Merger>(Family::Merger, merger))
        target->close();
}

} // extern "C"
