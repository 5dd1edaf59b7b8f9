// Plays one movie from start to end at 1x, three times through our library (its frame
// callback copying every frame as the view does) and three times through ffplay, each
// in a child process, and prints CPU time, peak memory and frames for both.

#include "mmc.h"
#include "playback/playerstats.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

const int kRuns = 3;

struct Run
{
    double seconds = 0;
    double cpu = 0;
    long peakKb = 0;
    long shown = -1;
    long dropped = -1;
    long late = -1;
};

// Copies the frame as the view does: every plane, row by row.
int copyFrame(void *context, void *frame)
{
    auto *copy = static_cast<std::vector<unsigned char> *>(context);
    const int height = MMC_FrameGetHeight(frame);
    const int width = MMC_FrameGetWidth(frame);
    copy->resize(size_t(width) * height * 3 / 2 + 4 * size_t(width));
    size_t offset = 0;
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane ? (height + 1) / 2 : height;
        const int bytes = plane ? (width + 1) / 2 : width;
        for (int y = 0; y < rows; ++y, offset += size_t(bytes))
            std::memcpy(copy->data() + offset, MMC_FrameGetPlane(frame, plane) + y * MMC_FrameGetStride(frame, plane),
                        size_t(bytes));
    }
    return 1;
}

// The child side of our run: plays to the end and reports its counters on stdout.
int playHere(const char *movie)
{
    std::vector<unsigned char> copy;
    const MMC_Handle player = MMC_CreatePlayer(-1);
    if (!MMC_PlayerOpen(player, movie, 0, 0, 0, 0)) {
        std::fprintf(stderr, "cannot open %s\n", movie);
        return 1;
    }
    MMC_PlayerSetFrameCallback(player, &copyFrame, &copy);
    MMC_PlayerPlay(player);
    while (!MMC_PlayerIsEnded(player))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    uint64_t shown = 0;
    uint64_t dropped = 0;
    uint64_t late = 0;
    mmcPlayerStatistics(player, &shown, &dropped, &late);
    MMC_PlayerClose(player);
    MMC_DestroyPlayer(player);
    std::printf("shown=%llu dropped=%llu late=%llu\n", static_cast<unsigned long long>(shown),
                static_cast<unsigned long long>(dropped), static_cast<unsigned long long>(late));
    return 0;
}

// Runs a program with extra environment variables; its stdout and stderr go to text.
Run measure(const std::vector<std::string> &arguments, const std::vector<std::string> &environment, std::string &text)
{
    std::vector<std::string> variables = environment;
    for (char **entry = environ; *entry; ++entry)
        variables.emplace_back(*entry);
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const std::string &variable : variables)
        envp.push_back(const_cast<char *>(variable.c_str()));
    envp.push_back(nullptr);

    int pipeEnds[2];
    Run run;
    if (pipe(pipeEnds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while (spawned == 0 && (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    close(pipeEnds[0]);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
    run.peakKb = usage.ru_maxrss;
    return run;
}

long counter(const std::string &text, const char *name)
{
    const size_t at = text.rfind(name);
    return at == std::string::npos ? -1 : std::atol(text.c_str() + at + std::strlen(name));
}

bool makeClip(const std::string &folder, std::string &movie)
{
    const std::string coded = folder + "/bench-coded.mov";
    movie = folder + "/bench.mov";
    const std::string make = "ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "
                             "\"testsrc2=size=1920x1440:rate=30:duration=10,noise=alls=40:allf=t+u\" -f lavfi -i "
                             "sine=frequency=440:sample_rate=44100:duration=10 -c:v libx265 -preset ultrafast "
                             "-x265-params log-level=error -tag:v hvc1 -pix_fmt yuv420p -c:a aac \"" + coded + "\"";
    const std::string rotate = "ffmpeg -hide_banner -loglevel error -nostdin -y -i \"" + coded
                               + "\" -c copy -metadata:s:v:0 rotate=90 \"" + movie + "\"";
    return std::system(make.c_str()) == 0 && std::system(rotate.c_str()) == 0;
}

void print(const char *side, const Run &run)
{
    std::printf("%-8s %8.2f %8.2f %7.0f%% %9.1f %7ld %8ld %6ld\n", side, run.seconds, run.cpu,
                run.seconds > 0 ? 100.0 * run.cpu / run.seconds : 0.0, run.peakKb / 1024.0, run.shown, run.dropped,
                run.late);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--play") == 0)
        return playHere(argv[2]);
    std::string movie;
    char folder[] = "/tmp/glintora-player-bench-XXXXXX";
    if (argc >= 2) {
        movie = argv[1];
    } else if (!mkdtemp(folder) || !makeClip(folder, movie)) {
        std::fprintf(stderr, "could not make the benchmark clip\n");
        return 1;
    }
    const std::vector<std::string> silent{"SDL_AUDIODRIVER=dummy", "SDL_VIDEODRIVER=dummy"};
    std::printf("movie: %s\n", movie.c_str());
    std::printf("%-8s %8s %8s %8s %9s %7s %8s %6s\n", "side", "wall s", "cpu s", "core", "peak MB", "shown", "dropped",
                "late");
    Run ours[kRuns];
    Run theirs[kRuns];
    for (int i = 0; i < kRuns; ++i) {
        std::string text;
        ours[i] = measure({"/proc/self/exe", "--play", movie}, silent, text);
        ours[i].shown = counter(text, "shown=");
        ours[i].dropped = counter(text, "dropped=");
        ours[i].late = counter(text, "late=");
        print("ours", ours[i]);
        text.clear();
        theirs[i] = measure({"ffplay", "-hide_banner", "-autoexit", "-x", "360", "-y", "480", movie}, silent, text);
        theirs[i].dropped = counter(text, "fd=");
        print("ffplay", theirs[i]);
    }
    double cpuOurs = 0;
    double cpuTheirs = 0;
    long peakOurs = 0;
    long peakTheirs = 0;
    for (int i = 0; i < kRuns; ++i) {
        cpuOurs += ours[i].cpu;
        cpuTheirs += theirs[i].cpu;
        peakOurs = std::max(peakOurs, ours[i].peakKb);
        peakTheirs = std::max(peakTheirs, theirs[i].peakKb);
    }
    std::printf("ratio ours/ffplay: cpu %.2f, peak memory %.2f (ffplay also converts and scales every frame for its "
                "window)\n",
                cpuTheirs > 0 ? cpuOurs / cpuTheirs : 0.0, peakTheirs > 0 ? double(peakOurs) / peakTheirs : 0.0);
    return 0;
}
