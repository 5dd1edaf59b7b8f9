#include "libraryrun.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

struct Stills
{
    std::string folder;
    std::string extension;
    int count = 0;

    static unsigned write(void *ctx, const unsigned char *data, unsigned size)
    {
        auto *stills = static_cast<Stills *>(ctx);
        char name[32];
        std::snprintf(name, sizeof(name), "/%03d.", ++stills->count);
        FILE *file = std::fopen((stills->folder + name + stills->extension).c_str(), "wb");
        if (!file)
            return 0;
        const size_t written = std::fwrite(data, 1, size, file);
        std::fclose(file);
        return static_cast<unsigned>(written);
    }
};

bool waitForJob(MMC_Handle conv)
{
    while (!MMC_ConverterIsFinished(conv))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !MMC_ConverterHasFailed(conv);
}

} // namespace

MMC_Handle benchConfig(uint32_t width, uint32_t height)
{
    const MMC_Handle cfg = MMC_CreateEncodeConfig();
    MMC_ConfigSetVideoOption(cfg, 80);
    if (width)
        MMC_ConfigSetVideoSize(cfg, width, height);
    MMC_ConfigSetIndexedOption(cfg, 1, 0x01800000);
    return cfg;
}

bool convertWithLibrary(const std::string &input, const std::string &format, MMC_Handle cfg,
                        const std::string &output)
{
    const MMC_Handle conv = MMC_CreateConverter(-1);
    Stills stills{output, format == "jpeg" ? "jpg" : format};
    int opened = 0;
    if (format == "gif" || format == "webp") {
        // The library never replaces a file: an earlier run's output would stay under the
        // name, and this run's go to the next free one.
        std::remove(output.c_str());
        opened = MMC_ConverterOpenFile(conv, input.c_str(), output.c_str(), format.c_str(), cfg);
    } else {
        const MMC_Handle writer = MMC_ImageCreateWriter(-1);
        MMC_ImageSetWriteCallback(writer, &Stills::write, &stills);
        const MMC_Handle image = MMC_ImageOpen(input.c_str(), 0);
        opened = MMC_ConverterOpenImage(conv, image, writer, format.c_str(), cfg);
        MMC_ImageClose(image);
        MMC_ImageClose(writer);
    }
    const bool ok = opened == 1 && MMC_ConverterStart(conv) == 1 && waitForJob(conv);
    MMC_DestroyConverter(conv);
    return ok;
}
