#include <memory>

#include "api/handletable.h"
#include "api/pathtext.h"
#include "convert/conversionjob.h"
#include "encodeconfig.h"
#include "mmc.h"
#include "source/track.h"
#include "still/imagefile.h"

namespace {

using Family = HandleTable::Family;

std::shared_ptr<ConversionJob> job(MMC_Handle h)
{
    return HandleTable::get<ConversionJob>(Family::Converter, h);
}

// A missing configuration means the defaults of every setting.
EncodeSettings settingsOf(MMC_Handle cfg)
{
    const auto config = HandleTable::get<EncodeConfig>(Family::EncodeConfig, cfg);
    return config ? config->snapshot() : EncodeSettings();
}

bool stillTarget(MMC_Handle writer, ConversionJob::StillTarget &target)
{
    const auto source = HandleTable::get<ImageWriter>(Family::Writer, writer);
    if (!source)
        return false;
    std::lock_guard<std::mutex> lock(source->mutex);
    target = {source->callback, source->context};
    return true;
}

std::string imagePath(MMC_Handle image)
{
    const auto file = HandleTable::get<ImageFile>(Family::Image, image);
    return file ? file->path() : std::string();
}

template <class Result, class Action> Result onJob(MMC_Handle h, Result none, Action action)
{
    const auto target = job(h);
    return target ? action(*target) : none;
}

} // namespace

extern "C" {

MMC_Handle MMC_CreateConverter(int)
{
    return HandleTable::insert(Family::Converter, std::make_shared<ConversionJob>(false));
}

MMC_Handle MMC_CreateConverterAlt(int)
{
    return HandleTable::insert(Family::Converter, std::make_shared<ConversionJob>(true));
}

int MMC_ConverterOpenFile(MMC_Handle conv, const char *src, const char *dst, const char *format, MMC_Handle cfg)
{
    if (!src || !dst || !format)
        return 0;
    return onJob(conv, 0, [&](ConversionJob &j) { return j.openFile(src, dst, format, settingsOf(cfg)) ? 1 : 0; });
}

int MMC_ConverterOpenDvd(MMC_Handle, const char *, const char *, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenImage(MMC_Handle conv, MMC_Handle image, MMC_Handle writer, const char *format, MMC_Handle cfg)
{
    ConversionJob::StillTarget target;
    const std::string src = imagePath(image);
    if (src.empty() || !format || !stillTarget(writer, target))
        return 0;
    return onJob(conv, 0, [&](ConversionJob &j) { return j.openStills(src, target, format, settingsOf(cfg)) ? 1 : 0; });
}

int MMC_ConverterOpenDvdImage(MMC_Handle, const char *, MMC_Handle, const char *, MMC_Handle)
{
    return 0;
}

int MMC_ConverterOpenImageFile(MMC_Handle conv, MMC_Handle image, const char *dst, const char *format, MMC_Handle cfg)
{
    const std::string src = imagePath(image);
    if (src.empty() || !dst || !format)
        return 0;
    return onJob(conv, 0, [&](ConversionJob &j) { return j.openStillFile(src, dst, format, settingsOf(cfg)) ? 1 : 0; });
}

// Track mode A = 1 writes the tracks' packets as they come; otherwise the picture and
// sound tracks are decoded and encoded.
int MMC_ConverterOpenTracks(MMC_Handle conv, MMC_Handle video, MMC_Handle audio, MMC_Handle subtitle,
                            const char *dst, const char *format, MMC_Handle cfg)
{
    const auto track = HandleTable::get<Track>(Family::Track, video);
    if (!dst || !format)
        return 0;
    const EncodeSettings settings = settingsOf(cfg);
    if (settings.trackModes[0] == 1) {
        std::vector<std::shared_ptr<Track>> tracks;
        for (const MMC_Handle handle : {video, audio, subtitle})
            if (const auto fed = HandleTable::get<Track>(Family::Track, handle))
                tracks.push_back(fed);
        return onJob(conv, 0, [&](ConversionJob &j) { return j.openTrackCopy(tracks, dst, format, settings) ? 1 : 0; });
    }
    const auto sound = HandleTable::get<Track>(Family::Track, audio);
    if (!track)
        return 0;
    return onJob(conv, 0, [&](ConversionJob &j) { return j.openTrackFile(track, sound, dst, format, settings) ? 1 : 0; });
}

int MMC_ConverterOpenTracksImage(MMC_Handle conv, MMC_Handle video, MMC_Handle, MMC_Handle, MMC_Handle writer,
                                 const char *format, MMC_Handle cfg)
{
    const auto track = HandleTable::get<Track>(Family::Track, video);
    ConversionJob::StillTarget target;
    if (!track || !format || !stillTarget(writer, target))
        return 0;
    return onJob(conv, 0,
                 [&](ConversionJob &j) { return j.openTrackStills(track, target, format, settingsOf(cfg)) ? 1 : 0; });
}

int MMC_ConverterSetTimeRange(MMC_Handle conv, uint64_t start, uint64_t length)
{
    return onJob(conv, 0, [&](ConversionJob &j) { return j.setTimeRange(start, length) ? 1 : 0; });
}

int MMC_ConverterStart(MMC_Handle conv)
{
    return onJob(conv, 0, [](ConversionJob &j) { return j.start() ? 1 : 0; });
}

int MMC_ConverterIsFinished(MMC_Handle conv)
{
    return onJob(conv, 0, [](ConversionJob &j) { return j.isFinished() ? 1 : 0; });
}

int MMC_ConverterHasFailed(MMC_Handle conv)
{
    return onJob(conv, 0, [](ConversionJob &j) { return j.hasFailed() ? 1 : 0; });
}

uint64_t MMC_ConverterGetDone(MMC_Handle conv)
{
    return onJob(conv, uint64_t(0), [](ConversionJob &j) { return j.done(); });
}

uint64_t MMC_ConverterGetTotal(MMC_Handle conv)
{
    return onJob(conv, uint64_t(0), [](ConversionJob &j) { return j.total(); });
}

uint32_t MMC_ConverterGetOutputPath(MMC_Handle conv, char *path, uint32_t size)
{
    return onJob(conv, uint32_t(0), [&](ConversionJob &j) { return copyPath(j.outputPath(), path, size); });
}

int MMC_ConverterGetFault(MMC_Handle conv, int *systemError)
{
    int error = 0;
    const int fault = onJob(conv, int(MMC_FAULT_NONE), [&error](ConversionJob &j) { return j.fault(error); });
    if (systemError)
        *systemError = error;
    return fault;
}

int MMC_ConverterCancel(MMC_Handle conv)
{
    return onJob(conv, 0, [](ConversionJob &j) { return j.cancel() ? 1 : 0; });
}

void MMC_ConverterClose(MMC_Handle conv)
{
    if (const auto target = job(conv))
        target->close();
}

void MMC_DestroyConverter(MMC_Handle conv)
{
    if (const auto target = HandleTable::remove<ConversionJob>(Family::Converter, conv))
        target->close();
}

} // extern "C"
