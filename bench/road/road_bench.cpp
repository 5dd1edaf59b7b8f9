// Converts a movie through the program's own road without a window, as the main-road
// test does: a queue item probes the movie and makes the encoder parameters, the
// converter driver runs the job on the codec library and reports on its worker thread.
//
//   glintora_road_bench [--runs PAIRS] [--count N] [--out FOLDER] [movie]
//
// 1. For each format, pairs of runs (the side going first alternates): the road's wall
//    time against the codec library's own for the same job, same configuration.
// 2. N conversions (default 20, the formats in turn) in this one process, printing the
//    resident memory after each; it must stay within 50 MB of its value after the first.
//
// Without a movie it makes a 3 s portrait HEVC movie with sound. HOME and the XDG
// folders point into the output folder, so no user setting or folder is touched.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "benchmovie.h"
#include "cavencodeparam.h"
#include "convertconfig.h"
#include "libraryrun.h"
#include "mmc.h"
#include "qconverteroperate.h"
#include "stillfile.h"
#include "zvlpconverter.h"
#include "zvvideoconvertitem.h"

namespace {

struct Format
{
    const char *name;
    const char *extension;
    unsigned codec;
};

const Format kFormats[] = {
    {"gif", "gif", MMC_CODEC_GIF},
    {"webp", "webp", MMC_CODEC_WEBP},
    {"jpeg", "jpg", MMC_CODEC_MJPEG},
    {"png", "png", MMC_CODEC_PNG},
};

constexpr double kAllowedRiseMb = 50;

// One job through the converter driver; the event loop runs until its closing report.
class RoadJob
{
public:
    static void progress(unsigned, void *user, convertState state)
    {
        auto *job = static_cast<RoadJob *>(user);
        if (state == convertProgress)
            return;
        job->m_state = state;
        QMetaObject::invokeMethod(&job->m_loop, "quit", Qt::QueuedConnection);
    }

    // The item was probed at import; the job names its outputs afresh.
    bool run(ZvVideoConvertItem &item)
    {
        item.getValidOutputName();
        item.getConverOutputDir();
        item.getConverPath();
        QDir().mkpath(item.outputDir);
        ImageWriteInfo info;
        info.folder = item.outputDir;
        info.extension = QConverterOperate::g_converterInfo->extension;
        info.baseName = QFileInfo(item.outputName).completeBaseName();
        auto param = std::make_unique<CAVEncodeParam>();
        item.getEncodeParam(param.get());
        auto converter = std::make_unique<ZVLPConverter>();
        if (!converter->StartConvert(item.path.toUtf8().constData(), item.outputPath.toUtf8().constData(),
                                     param.get(), this, &RoadJob::progress, writeStillFile, info))
            return false;
        param.reset();
        m_loop.exec();
        converter.reset(); // as a row deletes its converter after the closing report
        return m_state == convertFinished;
    }

private:
    QEventLoop m_loop;
    std::atomic<convertState> m_state{convertProgress};
};

// The same job straight through the library, configured as the driver configures it.
bool runLibrary(ZvVideoConvertItem &item, const Format &format, const std::string &output)
{
    item.getValidOutputName();
    CAVEncodeParam param;
    item.getEncodeParam(&param);
    const MMC_Handle config = MMC_CreateEncodeConfig();
    FillConvertConfig(config, &param);
    const bool animated = std::string(format.name) == "gif" || std::string(format.name) == "webp";
    const bool converted = convertWithLibrary(item.path.toStdString(), format.name, config,
                                              animated ? output + "/library." + format.extension : output);
    MMC_ReleaseEncodeConfig(config);
    return converted;
}

void choose(PhotoConverterInfo &output, const Format &format)
{
    output = PhotoConverterInfo();
    output.format = QString::fromLatin1(format.name);
    output.extension = QString::fromLatin1(format.extension);
    output.codecId = format.codec;
    output.quality = 80;
    output.keepAspectRatio = true;
}

void emptyFolder(const QString &folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
}

double residentMb()
{
    long pages = 0;
    long resident = 0;
    FILE *statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// What the program's allocations still hold: a leak shows here, memory the allocator
// merely keeps shows only in the resident size.
double allocatedMb()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double timed(const std::function<bool()> &work, bool &ok)
{
    QElapsedTimer timer;
    timer.start();
    ok = work() && ok;
    return timer.nsecsElapsed() / 1e9;
}

bool compareTimes(const QString &movie, PhotoConverterInfo &output, const QString &roadRoot, const QString &libraryRoot,
                  int pairs)
{
    std::printf("road against library, %d pairs (median, spread of the pairs' ratios)\n", pairs);
    std::printf("%-6s %9s %9s %-22s %s\n", "format", "road s", "library s", "overhead", "target < 10 %");
    bool allOk = true;
    for (const Format &format : kFormats) {
        choose(output, format);
        std::vector<double> road, library, ratios;
        ZvVideoConvertItem item;
        bool ok = item.setVideoPath(movie, 0);
        for (int i = 0; i < pairs; ++i) {
            const auto viaRoad = [&] {
                emptyFolder(roadRoot);
                return RoadJob().run(item);
            };
            const auto viaLibrary = [&] {
                emptyFolder(libraryRoot);
                return runLibrary(item, format, libraryRoot.toStdString());
            };
            double roadSeconds = 0, librarySeconds = 0;
            if (i % 2 == 0) {
                roadSeconds = timed(viaRoad, ok);
                librarySeconds = timed(viaLibrary, ok);
            } else {
                librarySeconds = timed(viaLibrary, ok);
                roadSeconds = timed(viaRoad, ok);
            }
            road.push_back(roadSeconds);
            library.push_back(librarySeconds);
            ratios.push_back(roadSeconds / librarySeconds - 1);
        }
        allOk = allOk && ok;
        const double overhead = median(ratios);
        char spread[48];
        std::snprintf(spread, sizeof(spread), "%+.1f %% [%+.1f..%+.1f]", 100 * overhead,
                      100 * *std::min_element(ratios.begin(), ratios.end()),
                      100 * *std::max_element(ratios.begin(), ratios.end()));
        std::printf("%-6s %9.2f %9.2f %-22s %s\n", format.name, median(road), median(library), spread,
                    !ok ? "a run failed" : overhead < 0.10 ? "met" : "MISSED");
        std::fflush(stdout);
    }
    return allOk;
}

bool watchMemory(const QString &movie, PhotoConverterInfo &output, const QString &roadRoot, int count)
{
    std::printf("\nresident memory after each conversion through the road (formats in turn)\n");
    double first = 0;
    double highest = 0;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) {
        const Format &format = kFormats[i % std::size(kFormats)];
        choose(output, format);
        emptyFolder(roadRoot);
        ZvVideoConvertItem item;
        ok = item.setVideoPath(movie, 0) && RoadJob().run(item);
        const double resident = residentMb();
        if (i == 0)
            first = resident;
        highest = std::max(highest, resident);
        std::printf("%2d %-5s %7.1f MB resident, %7.1f MB allocated\n", i + 1, format.name, resident, allocatedMb());
        std::fflush(stdout);
    }
    emptyFolder(roadRoot);
    std::printf("highest %.1f MB, %+.1f MB over the first: %s\n", highest, highest - first,
                !ok ? "a conversion failed" : highest - first <= kAllowedRiseMb ? "within 50 MB" : "MORE than 50 MB");
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    int pairs = 3;
    int count = 20;
    QString folder = QStringLiteral("road-bench");
    QString movie;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == "--runs" && i + 1 < argc)
            pairs = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--count" && i + 1 < argc)
            count = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--out" && i + 1 < argc)
            folder = QString::fromLocal8Bit(argv[++i]);
        else
            movie = argument;
    }
    folder = QDir(folder).absolutePath();
    const QString home = folder + "/home";
    for (const auto &[name, path] : {std::pair{"HOME", home}, {"XDG_CONFIG_HOME", home + "/.config"},
                                     {"XDG_DATA_HOME", home + "/.local/share"}, {"XDG_CACHE_HOME", home + "/.cache"}}) {
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    QCoreApplication app(argc, argv);
    if (movie.isEmpty()) {
        movie = folder + "/portrait-3s.mov";
        if (!makePortraitMovie(movie.toStdString(), 3)) {
            std::fprintf(stderr, "could not make the movie\n");
            return 1;
        }
    }
    PhotoConverterInfo output;
    QConverterOperate::g_converterInfo = &output;
    const QString roadRoot = folder + "/road/";
    const QString libraryRoot = folder + "/library";
    QConverterOperate::setConverterPath(roadRoot);
    std::printf("movie %s\n", qPrintable(movie));
    const bool ok = compareTimes(movie, output, roadRoot, libraryRoot, pairs)
                    && watchMemory(movie, output, roadRoot, count);
    QConverterOperate::g_converterInfo = nullptr;
    return ok ? 0 : 1;
}
