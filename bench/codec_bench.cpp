// Converts movies with our codec library and with the ffmpeg tool, job by job, in
// pairs of runs whose order alternates, so drifting load weighs on both sides alike.
// Prints, per job, the median ratio ours/ffmpeg of wall time and of peak memory with
// the spread over the pairs, both sides' output sizes and their ratio, a quality figure
// for both sides, and the targets: time and memory, and for PNG stills the output size.
// Each movie's rows also show the floor: how long the ffmpeg tool takes only to decode
// the movie, over its time for the job. No job that decodes every frame with FFmpeg's
// decoders goes below it, so a time target under the floor cannot be met.
//
//   glintora_codec_bench [--runs PAIRS] [--out FOLDER] [--only JOB] [--movie KIND] [input-movie]
//
// --only runs the jobs whose name starts with JOB (for example "PNG"); --movie the
// made movies whose kind starts with KIND ("portrait", "landscape", "10-bit", "smooth",
// "still", "noisy", "dark", "screen").
//
// Without an input it makes eleven movies (kept in the output folder and reused): a 3 s
// portrait HEVC with sound, a 3 s landscape H.264, a 3 s 10-bit HEVC turned 270 degrees,
// a 10 s portrait HEVC, whose peak memory is set against the 3 s one's, a 3 s portrait
// HEVC of smooth gradients, as phones mostly record, a 3 s portrait HEVC where only a
// small subject moves over a still gradient, one where two move apart over a still
// texture, and four of what phones and screens record beyond clean pictures: a subject
// over a still background with sensor noise, dark low light under strong noise, a
// screen-like recording of flat colours and text, and noisy bars at 60 fps coded
// 1080x1920. The others are 30 fps, coded 1920x1440. Both sides' outputs stay in the
// output folder, and each row shows their sizes.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <webp/demux.h>

#include "benchmovie.h"
#include "benchprocess.h"
#include "libraryrun.h"
#include "mmc.h"

namespace {

enum class Quality { Ssim, WebpSsim, Psnr, SamePixels };

struct Job
{
    std::string name;
    std::string format; // what our library is asked for
    bool small = false; // 480 px wide, else source size
    std::vector<std::string> reference; // ffmpeg arguments after "-i input"
    std::string ourOutput; // file, or folder for stills
    std::string refOutput;
    Quality quality;
    double timeTarget = 0; // highest ratio ours/ffmpeg; 0: none
    double memoryTarget = 0;
    double sizeTarget = 0; // highest size ratio ours/ffmpeg; 0: none
    double qualityMargin = 0; // how far our quality may fall below ffmpeg's
    int rate = 0; // frames a second both sides keep; 0: the source's
};

struct Movie
{
    std::string kind;
    std::string path;
    // Most of the picture stands still: the command line's animated WebP writes little
    // but the changed rectangle, and ours has twice the usual share of its time.
    bool stillBackground = false;
    uint32_t width = 0;
    uint32_t height = 0;
};

constexpr double kStillBackgroundWebpTime = 0.5;

struct Spread
{
    double median = 0;
    double low = 0;
    double high = 0;
};

struct Outcome
{
    bool ok = true;
    double ourSeconds = 0;
    double refSeconds = 0;
    double ourPeakMb = 0;
    double refPeakMb = 0;
    Spread time;
    Spread memory;
};

bool makeFolder(const std::string &path)
{
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

std::vector<Movie> makeMovies(const std::string &folder)
{
    const std::vector<std::string> hevc10{"-c:v", "libx265", "-x265-params", "log-level=error", "-tag:v", "hvc1",
                                          "-preset", "fast", "-pix_fmt", "yuv420p10le"};
    const std::vector<std::string> avc{"-c:v", "libx264", "-preset", "fast", "-pix_fmt", "yuv420p"};
    std::vector<Movie> movies{
        {"portrait HEVC with sound, 3 s", folder + "/portrait-3s.mov"},
        {"landscape H.264, 3 s", folder + "/landscape-3s.mov"},
        {"10-bit HEVC turned 270, 3 s", folder + "/tenbit-3s.mov"},
        {"portrait HEVC with sound, 10 s", folder + "/portrait-10s.mov"},
        {"smooth portrait HEVC with sound, 3 s", folder + "/smooth-3s.mov"},
        {"still background, portrait HEVC, 3 s", folder + "/still-3s.mov", true},
        {"still textured background, two subjects, portrait HEVC, 3 s", folder + "/textured-3s.mov", true},
        {"noisy still background, portrait HEVC with sound, 3 s", folder + "/noisystill-3s.mov", true},
        {"dark noisy low light, portrait HEVC with sound, 3 s", folder + "/dark-3s.mov"},
        {"screen-like flat colours, landscape H.264, 3 s", folder + "/screen-3s.mov", true},
        {"noisy bars, 1080x1920 H.264 at 60 fps, 3 s", folder + "/bars60-3s.mov"},
    };
    const bool made = makePortraitMovie(movies[0].path, 3) && makeMovie(movies[1].path, 3, avc, true, "0")
                      && makeMovie(movies[2].path, 3, hevc10, false, "270")
                      && makePortraitMovie(movies[3].path, 10) && makeSmoothMovie(movies[4].path, 3)
                      && makeStillBackgroundMovie(movies[5].path, 3) && makeTexturedStillMovie(movies[6].path, 3)
                      && makeNoisyStillMovie(movies[7].path, 3) && makeDarkNoisyMovie(movies[8].path, 3)
                      && makeScreenMovie(movies[9].path, 3) && makeNoisyBarsMovie(movies[10].path, 3);
    return made ? movies : std::vector<Movie>();
}

bool probe(Movie &movie)
{
    const MMC_Handle info = MMC_CreateMediaInfo(-1);
    const bool opened = MMC_OpenMediaFile(info, movie.path.c_str());
    movie.width = MMC_GetVideoWidth(info);
    movie.height = MMC_GetVideoHeight(info);
    MMC_DestroyMediaInfo(info);
    return opened && movie.width && movie.height;
}

std::vector<Job> jobsFor(const std::string &ours, const std::string &ref)
{
    const std::string graph = "split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse";
    return {
        // As the program asks for GIFs: 10 frames a second at the source's size.
        {"GIF, 10 fps", "gif", false, {"-an", "-lavfi", "fps=10," + graph, "-loop", "0"}, ours + "10fps.gif",
         ref + "10fps.gif", Quality::Ssim, 0.08, 0.6, 0, 0, 10},
        {"GIF, source size", "gif", false, {"-an", "-lavfi", graph, "-loop", "0"}, ours + "source.gif",
         ref + "source.gif", Quality::Ssim, 0.12, 0.25},
        {"GIF, 480 px wide", "gif", true, {"-an", "-lavfi", "scale=480:-1:flags=lanczos," + graph, "-loop", "0"},
         ours + "480.gif", ref + "480.gif", Quality::Ssim, 0.5, 1.2},
        {"WebP", "webp", false,
         {"-an", "-pix_fmt", "yuv420p", "-c:v", "libwebp_anim", "-quality", "80", "-compression_level", "4", "-loop",
          "0"},
         ours + "anim.webp", ref + "anim.webp", Quality::WebpSsim, 0.3, 0.8, 1.1, 0.001},
        {"JPEG stills", "jpeg", false, {"-an", "-pix_fmt", "yuvj420p", "-q:v", "7"}, ours + "jpeg",
         ref + "jpeg/%03d.jpg", Quality::Psnr, 0.5, 1.0},
        {"PNG stills", "png", false, {"-an", "-pix_fmt", "rgb24"}, ours + "png", ref + "png/%03d.png",
         Quality::SamePixels, 0.5, 1.0, 1.05},
    };
}

std::string stillPattern(const Job &job)
{
    return job.format == "jpeg" ? job.ourOutput + "/%03d.jpg" : job.ourOutput + "/%03d.png";
}

// Bytes of an output file, or of the stills in its folder (a still pattern names the folder).
double outputMb(const std::string &output)
{
    namespace fs = std::filesystem;
    const fs::path path = output.find('%') == std::string::npos ? fs::path(output) : fs::path(output).parent_path();
    std::error_code error;
    uintmax_t bytes = 0;
    if (!fs::is_directory(path, error))
        bytes = fs::file_size(path, error);
    else
        for (const fs::directory_entry &entry : fs::directory_iterator(path, error))
            bytes += entry.is_regular_file(error) ? entry.file_size(error) : 0;
    return error ? 0.0 : bytes / 1e6;
}

// Runs ffmpeg over two inputs with a comparing filter and reads its summary figure.
double compare(const std::vector<std::string> &first, const std::vector<std::string> &second, const std::string &graph,
               const char *figure)
{
    std::vector<std::string> arguments{"ffmpeg", "-hide_banner", "-nostdin"};
    arguments.insert(arguments.end(), first.begin(), first.end());
    arguments.insert(arguments.end(), second.begin(), second.end());
    arguments.insert(arguments.end(), {"-lavfi", graph, "-f", "null", "-"});
    std::string output;
    const RunFigures run = runCommand(arguments, &output);
    const size_t at = output.rfind(figure);
    if (!run.ok || at == std::string::npos)
        return 0.0;
    const std::string value = output.substr(at + std::string(figure).size());
    return value.compare(0, 3, "inf") == 0 ? INFINITY : std::atof(value.c_str());
}

// An animated WebP's frames as raw RGBA, through libwebp's own animation decoder.
std::vector<std::string> decodedWebp(const std::string &webp, const std::string &raw)
{
    std::ifstream in(webp, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WebPData data{reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder *decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info{};
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info)) {
        WebPAnimDecoderDelete(decoder);
        return {};
    }
    std::ofstream out(raw, std::ios::binary);
    uint8_t *frame = nullptr;
    int timestamp = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder) && WebPAnimDecoderGetNext(decoder, &frame, &timestamp))
        out.write(reinterpret_cast<const char *>(frame), std::streamsize(info.canvas_width) * info.canvas_height * 4);
    WebPAnimDecoderDelete(decoder);
    return {"-f", "rawvideo", "-pix_fmt", "rgba", "-s",
            std::to_string(info.canvas_width) + "x" + std::to_string(info.canvas_height), "-i", raw};
}

// SSIM or PSNR against the upright source (scaled to the output's size), frame by frame
// in one time base: stills read at 25 fps and GIF delays in hundredths would otherwise
// pair the wrong frames.
// For PNG: whether our pixels are those of the ffmpeg tool's rgb24 frames.
double quality(const Job &job, const Movie &movie, bool ours)
{
    const std::string output = ours ? job.ourOutput : job.refOutput;
    const std::vector<std::string> source{"-i", movie.path};
    const std::string scale = job.small ? "scale=480:" + std::to_string(480 * movie.height / movie.width) + "," : "";
    const std::string rate = job.rate ? "fps=" + std::to_string(job.rate) + "," : "";
    switch (job.quality) {
    case Quality::Ssim:
        return compare({"-i", output}, source,
                       "[0:v]settb=1,setpts=N,format=yuv420p[a];[1:v]" + rate + "settb=1,setpts=N," + scale
                           + "format=yuv420p[b];[a][b]ssim",
                       "All:");
    case Quality::WebpSsim: {
        const std::vector<std::string> decoded = decodedWebp(output, output + ".rgba");
        const double value = decoded.empty() ? 0.0
                                             : compare(decoded, source,
                                                       "[0:v]settb=1,setpts=N,format=yuv420p[a];[1:v]settb=1,setpts=N,format=yuv420p[b];"
                                                       "[a][b]ssim",
                                                       "All:");
        std::remove((output + ".rgba").c_str());
        return value;
    }
    case Quality::Psnr:
        return compare({"-i", ours ? stillPattern(job) : output}, source,
                       "[0:v]settb=1,setpts=N,format=yuv420p[a];[1:v]settb=1,setpts=N,format=yuv420p[b];[a][b]psnr", "average:");
    case Quality::SamePixels:
        return ours ? compare({"-i", stillPattern(job)}, {"-i", job.refOutput},
                              "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr", "average:")
                    : INFINITY;
    }
    return 0.0;
}

std::string qualityText(const Job &job, double value)
{
    char text[32];
    if (job.quality == Quality::SamePixels)
        return std::isinf(value) ? "same" : "differ";
    if (job.quality == Quality::Psnr)
        std::snprintf(text, sizeof(text), "%.2f dB", value);
    else
        std::snprintf(text, sizeof(text), "%.4f", value);
    return text;
}

Spread spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

double medianOf(const std::vector<double> &values)
{
    return spreadOf(values).median;
}

// Pairs of runs, each in a child process of its own; the side that goes first alternates.
Outcome measurePairs(int pairs, const std::function<bool()> &ours, const std::function<bool()> &theirs)
{
    Outcome outcome;
    std::vector<double> ourSeconds, refSeconds, ourPeaks, refPeaks, timeRatios, memoryRatios;
    for (int i = 0; i < pairs; ++i) {
        RunFigures mine, reference;
        if (i % 2 == 0) {
            mine = runInChild(ours);
            reference = runInChild(theirs);
        } else {
            reference = runInChild(theirs);
            mine = runInChild(ours);
        }
        outcome.ok = outcome.ok && mine.ok && reference.ok && reference.seconds > 0 && reference.peakKb > 0;
        if (!outcome.ok)
            return outcome;
        ourSeconds.push_back(mine.seconds);
        refSeconds.push_back(reference.seconds);
        ourPeaks.push_back(mine.peakKb / 1024.0);
        refPeaks.push_back(reference.peakKb / 1024.0);
        timeRatios.push_back(mine.seconds / reference.seconds);
        memoryRatios.push_back(double(mine.peakKb) / reference.peakKb);
    }
    outcome.ourSeconds = medianOf(ourSeconds);
    outcome.refSeconds = medianOf(refSeconds);
    outcome.ourPeakMb = medianOf(ourPeaks);
    outcome.refPeakMb = medianOf(refPeaks);
    outcome.time = spreadOf(timeRatios);
    outcome.memory = spreadOf(memoryRatios);
    return outcome;
}

bool prepareFolders(const std::string &folder)
{
    bool ok = makeFolder(folder);
    for (const char *side : {"/ours", "/ffmpeg"})
        for (const char *sub : {"", "/jpeg", "/png"})
            ok = ok && makeFolder(folder + side + sub);
    return ok;
}

struct Options
{
    int pairs = 3;
    std::string folder = "codec-bench";
    std::string input;
    std::string only;
    std::string kind;
};

Options parse(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--runs" && i + 1 < argc)
            options.pairs = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--out" && i + 1 < argc)
            options.folder = argv[++i];
        else if (argument == "--only" && i + 1 < argc)
            options.only = argv[++i];
        else if (argument == "--movie" && i + 1 < argc)
            options.kind = argv[++i];
        else
            options.input = argument;
    }
    return options;
}

// The median time the ffmpeg tool takes to decode every picture of the movie and no more.
double decodingSeconds(const Movie &movie, int runs)
{
    std::vector<double> seconds;
    for (int i = 0; i < runs; ++i) {
        const RunFigures run = runCommand({"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-i", movie.path,
                                           "-an", "-f", "null", "-"});
        if (!run.ok)
            return 0.0;
        seconds.push_back(run.seconds);
    }
    return medianOf(seconds);
}

// Every job on one movie; returns the peak memory of both sides per job name.
bool benchMovie(const Options &options, const Movie &movie, int index, std::vector<std::pair<std::string, Outcome>> &results,
                bool &targetsMet)
{
    const std::string folder = options.folder + "/" + std::to_string(index);
    if (!prepareFolders(folder))
        return false;
    const double decoding = decodingSeconds(movie, options.pairs);
    std::printf("\n%s: %s, %ux%u shown, %d pairs, decoding alone %.2f s\n", movie.kind.c_str(), movie.path.c_str(),
                movie.width, movie.height, options.pairs, decoding);
    std::printf("%-17s %7s %7s %-19s %5s %7s %7s %-19s %9s %9s %5s %9s %9s %s\n", "job", "ours s", "ff s",
                "time ratio [spread]", "floor", "ours MB", "ff MB", "mem ratio [spread]", "ours out", "ff out", "ratio",
                "q ours", "q ff", "target");
    bool allOk = true;
    for (const Job &job : jobsFor(folder + "/ours/", folder + "/ffmpeg/")) {
        if (job.name.compare(0, options.only.size(), options.only) != 0)
            continue;
        const uint32_t width = job.small ? 480 : 0;
        const uint32_t height = job.small ? 480 * movie.height / movie.width : 0;
        const Outcome outcome = measurePairs(
            options.pairs,
            [&] {
                const MMC_Handle config = benchConfig(width, height);
                if (job.rate)
                    MMC_ConfigSetFrameRate(config, uint32_t(job.rate), 1);
                const bool converted = convertWithLibrary(movie.path, job.format, config, job.ourOutput);
                MMC_ReleaseEncodeConfig(config);
                return converted;
            },
            [&] {
                std::vector<std::string> arguments{"-i", movie.path};
                arguments.insert(arguments.end(), job.reference.begin(), job.reference.end());
                arguments.push_back(job.refOutput);
                return ffmpeg(arguments);
            });
        allOk = allOk && outcome.ok;
        results.emplace_back(job.name, outcome);
        if (!outcome.ok) {
            std::printf("%-17s a side failed\n", job.name.c_str());
            continue;
        }
        const double ourQuality = quality(job, movie, true);
        const double refQuality = quality(job, movie, false);
        const bool qualityHeld = job.quality == Quality::SamePixels ? std::isinf(ourQuality)
                                                                    : ourQuality >= refQuality - job.qualityMargin;
        const double ourSize = outputMb(job.ourOutput);
        const double refSize = outputMb(job.refOutput);
        const double sizeRatio = refSize > 0 ? ourSize / refSize : 0.0;
        std::string target = "-";
        const double timeTarget = movie.stillBackground && job.format == "webp" ? kStillBackgroundWebpTime : job.timeTarget;
        if (timeTarget > 0) {
            const bool met = outcome.time.median <= timeTarget && outcome.memory.median <= job.memoryTarget
                             && qualityHeld && (job.sizeTarget <= 0 || sizeRatio <= job.sizeTarget);
            targetsMet = targetsMet && met;
            char text[64];
            std::snprintf(text, sizeof(text), "%s (<= %.2f, <= %.2f", met ? "met" : "MISSED", timeTarget,
                          job.memoryTarget);
            target = text;
            if (job.sizeTarget > 0) {
                std::snprintf(text, sizeof(text), ", size <= %.2f, q >= ff - %.3f", job.sizeTarget, job.qualityMargin);
                target += text;
            }
            target += ")";
        }
        char timeText[32], memoryText[32];
        std::snprintf(timeText, sizeof(timeText), "%.2f [%.2f-%.2f]", outcome.time.median, outcome.time.low,
                      outcome.time.high);
        std::snprintf(memoryText, sizeof(memoryText), "%.2f [%.2f-%.2f]", outcome.memory.median, outcome.memory.low,
                      outcome.memory.high);
        std::printf("%-17s %7.2f %7.2f %-19s %5.2f %7.0f %7.0f %-19s %6.2f MB %6.2f MB %5.3f %9s %9s %s\n",
                    job.name.c_str(), outcome.ourSeconds, outcome.refSeconds, timeText, decoding / outcome.refSeconds,
                    outcome.ourPeakMb, outcome.refPeakMb, memoryText,
                    ourSize, refSize, sizeRatio, qualityText(job, ourQuality).c_str(),
                    qualityText(job, refQuality).c_str(), target.c_str());
        std::fflush(stdout);
    }
    return allOk;
}

// Peak memory of the short and the long portrait movie side by side: memory that grows
// with the frame count shows here at once.
void printGrowth(const std::vector<std::pair<std::string, Outcome>> &shortRun,
                 const std::vector<std::pair<std::string, Outcome>> &longRun)
{
    std::printf("\npeak memory, 3 s -> 10 s portrait movie (MB)\n%-17s %15s %15s\n", "job", "ours", "ffmpeg");
    for (const auto &[name, outcome] : shortRun)
        for (const auto &[longName, longOutcome] : longRun)
            if (name == longName && outcome.ok && longOutcome.ok)
                std::printf("%-17s %6.0f -> %5.0f %6.0f -> %5.0f\n", name.c_str(), outcome.ourPeakMb,
                            longOutcome.ourPeakMb, outcome.refPeakMb, longOutcome.refPeakMb);
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = parse(argc, argv);
    if (!makeFolder(options.folder)) {
        std::fprintf(stderr, "cannot create %s\n", options.folder.c_str());
        return 1;
    }
    std::vector<Movie> movies =
        options.input.empty() ? makeMovies(options.folder) : std::vector<Movie>{{"given movie", options.input}};
    bool allOk = !movies.empty();
    bool targetsMet = true;
    std::vector<std::vector<std::pair<std::string, Outcome>>> results(movies.size());
    for (size_t i = 0; allOk && i < movies.size(); ++i) {
        if (movies[i].kind.compare(0, options.kind.size(), options.kind) != 0)
            continue;
        allOk = probe(movies[i]) && benchMovie(options, movies[i], int(i), results[i], targetsMet);
    }
    if (!allOk) {
        std::fprintf(stderr, "a movie could not be made, read or converted\n");
        return 1;
    }
    if (options.input.empty())
        printGrowth(results[0], results[3]);
    std::printf("\ntargets %s\n", targetsMet ? "met" : "MISSED");
    return 0;
}
