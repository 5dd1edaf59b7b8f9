// Converts one movie with our codec library and with the ffmpeg tool, job by job, and
// prints wall time and peak memory of both sides and their ratio.
//
//   glintora_codec_bench [--runs N] [--out FOLDER] [--only JOB] [input-movie]
//
// --only runs the jobs whose name starts with JOB (for example "PNG").
//
// Without an input it makes a 3 s, 30 fps HEVC movie coded 1920x1440 and shown
// portrait. Both sides' outputs stay in the output folder for inspection.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "benchprocess.h"
#include "mmc.h"

namespace {

struct Job
{
    std::string name;
    std::string format;     // what our library is asked for
    uint32_t width = 0;     // 0: source size
    uint32_t height = 0;
    std::vector<std::string> reference; // ffmpeg arguments after "-i input"
    std::string ourOutput;  // file, or folder for stills
    std::string refOutput;
};

bool makeFolder(const std::string &path)
{
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool ffmpeg(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y"});
    return runCommand(arguments).ok;
}

std::string defaultMovie(const std::string &folder)
{
    const std::string coded = folder + "/source-landscape.mov";
    const std::string movie = folder + "/source.mov";
    const bool made =
        ffmpeg({"-f", "lavfi", "-i", "testsrc2=size=1920x1440:rate=30:duration=3,noise=alls=30:allf=t+u", "-f",
                "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=3", "-c:v", "libx265",
                "-x265-params", "log-level=error", "-tag:v", "hvc1", "-preset", "fast", "-pix_fmt", "yuv420p",
                "-c:a", "aac", coded})
        && ffmpeg({"-i", coded, "-c", "copy", "-metadata:s:v:0", "rotate=90", movie});
    return made ? movie : std::string();
}

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

bool runOurs(const std::string &input, const Job &job)
{
    const MMC_Handle conv = MMC_CreateConverter(-1);
    const MMC_Handle cfg = MMC_CreateEncodeConfig();
    MMC_ConfigSetVideoOption(cfg, 80);
    if (job.width)
        MMC_ConfigSetVideoSize(cfg, job.width, job.height);
    MMC_ConfigSetIndexedOption(cfg, 1, 0x01800000);
    Stills stills{job.ourOutput, job.format == "jpeg" ? "jpg" : job.format};
    int opened = 0;
    if (job.format == "gif" || job.format == "webp") {
        opened = MMC_ConverterOpenFile(conv, input.c_str(), job.ourOutput.c_str(), job.format.c_str(), cfg);
    } else {
        const MMC_Handle writer = MMC_ImageCreateWriter(-1);
        MMC_ImageSetWriteCallback(writer, &Stills::write, &stills);
        const MMC_Handle image = MMC_ImageOpen(input.c_str(), 0);
        opened = MMC_ConverterOpenImage(conv, image, writer, job.format.c_str(), cfg);
        MMC_ImageClose(image);
        MMC_ImageClose(writer);
    }
    MMC_ReleaseEncodeConfig(cfg);
    const bool ok = opened == 1 && MMC_ConverterStart(conv) == 1 && waitForJob(conv);
    MMC_DestroyConverter(conv);
    return ok;
}

bool runReference(const std::string &input, const Job &job)
{
    std::vector<std::string> arguments{"-i", input};
    arguments.insert(arguments.end(), job.reference.begin(), job.reference.end());
    arguments.push_back(job.refOutput);
    return ffmpeg(arguments);
}

// SSIM of a GIF against the upright source scaled to the GIF's size.
double ssim(const std::string &gif, const std::string &input, uint32_t width, uint32_t height)
{
    const std::string scale = width ? "scale=" + std::to_string(width) + ":" + std::to_string(height) + "," : "";
    std::string output;
    const RunFigures run = runCommand({"ffmpeg", "-hide_banner", "-nostdin", "-i", gif, "-i", input, "-lavfi",
                                       "[0:v]format=yuv420p[a];[1:v]" + scale + "format=yuv420p[b];[a][b]ssim",
                                       "-f", "null", "-"},
                                      &output);
    const size_t at = output.rfind("All:");
    return run.ok && at != std::string::npos ? std::atof(output.c_str() + at + 4) : 0.0;
}

RunFigures measure(int runs, const std::function<bool()> &work)
{
    std::vector<RunFigures> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(runInChild(work));
    std::sort(all.begin(), all.end(), [](const RunFigures &a, const RunFigures &b) { return a.seconds < b.seconds; });
    RunFigures median = all[all.size() / 2];
    for (const RunFigures &run : all) {
        median.ok = median.ok && run.ok;
        median.peakKb = std::max(median.peakKb, run.peakKb);
    }
    return median;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 3;
    std::string folder = "codec-bench";
    std::string given;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--out" && i + 1 < argc)
            folder = argv[++i];
        else if (argument == "--only" && i + 1 < argc)
            only = argv[++i];
        else
            given = argument;
    }
    if (!makeFolder(folder) || !makeFolder(folder + "/ours") || !makeFolder(folder + "/ffmpeg")) {
        std::fprintf(stderr, "cannot create %s\n", folder.c_str());
        return 1;
    }
    const std::string input = given.empty() ? defaultMovie(folder) : given;
    const MMC_Handle probe = MMC_CreateMediaInfo(-1);
    if (input.empty() || !MMC_OpenMediaFile(probe, input.c_str())) {
        std::fprintf(stderr, "cannot read the input movie\n");
        return 1;
    }
    const uint32_t width = MMC_GetVideoWidth(probe);
    const uint32_t height = MMC_GetVideoHeight(probe);
    MMC_DestroyMediaInfo(probe);
    const uint32_t smallHeight = width ? 480 * height / width : 0;
    const std::string ours = folder + "/ours/";
    const std::string ref = folder + "/ffmpeg/";
    makeFolder(ours + "jpeg");
    makeFolder(ours + "png");
    makeFolder(ref + "jpeg");
    makeFolder(ref + "png");
    const std::string graph = "split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse";
    const std::vector<Job> jobs{
        {"GIF, source size", "gif", 0, 0, {"-an", "-lavfi", graph, "-loop", "0"}, ours + "source.gif", ref + "source.gif"},
        {"GIF, 480 px wide", "gif", 480, smallHeight,
         {"-an", "-lavfi", "scale=480:-1:flags=lanczos," + graph, "-loop", "0"}, ours + "480.gif", ref + "480.gif"},
        {"WebP", "webp", 0, 0,
         {"-an", "-c:v", "libwebp_anim", "-quality", "80", "-compression_level", "4", "-loop", "0"},
         ours + "anim.webp", ref + "anim.webp"},
        {"JPEG stills", "jpeg", 0, 0, {"-an", "-q:v", "7"}, ours + "jpeg", ref + "jpeg/%03d.jpg"},
        {"PNG stills", "png", 0, 0, {"-an"}, ours + "png", ref + "png/%03d.png"},
    };

    std::printf("input %s, %ux%u shown, %d runs each (median time, highest peak)\n", input.c_str(), width, height, runs);
    std::printf("%-18s %10s %10s %7s %10s %10s %7s %8s %8s\n", "job", "ours s", "ffmpeg s", "ratio", "ours MB",
                "ffmpeg MB", "ratio", "SSIM us", "SSIM ff");
    bool allOk = true;
    for (const Job &job : jobs) {
        if (job.name.compare(0, only.size(), only) != 0)
            continue;
        const RunFigures mine = measure(runs, [&] { return runOurs(input, job); });
        const RunFigures theirs = measure(runs, [&] { return runReference(input, job); });
        allOk = allOk && mine.ok && theirs.ok;
        std::printf("%-18s %10.2f %10.2f %7.2f %10.1f %10.1f %7.2f", job.name.c_str(), mine.seconds, theirs.seconds,
                    theirs.seconds > 0 ? mine.seconds / theirs.seconds : 0.0, mine.peakKb / 1024.0,
                    theirs.peakKb / 1024.0, theirs.peakKb > 0 ? double(mine.peakKb) / theirs.peakKb : 0.0);
        if (job.format == "gif")
            std::printf(" %8.4f %8.4f", ssim(job.ourOutput, input, job.width, job.height),
                        ssim(job.refOutput, input, job.width, job.height));
        std::printf("%s\n", mine.ok && theirs.ok ? "" : "  (a side failed)");
        std::fflush(stdout);
    }
    return allOk ? 0 : 1;
}
