#include "benchmovie.h"

#include <cstdio>
#include <sys/stat.h>

#include "benchprocess.h"

bool ffmpeg(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y"});
    return runCommand(arguments).ok;
}

namespace {

const std::vector<std::string> kPortraitHevc{"-c:v", "libx265", "-x265-params", "log-level=error", "-tag:v", "hvc1",
                                             "-preset", "fast", "-pix_fmt", "yuv420p"};
const std::vector<std::string> kAvc{"-c:v", "libx264", "-preset", "fast", "-pix_fmt", "yuv420p"};

// Noise survives coding only at a phone's high bitrates, not at the encoders' defaults.
std::vector<std::string> withQuality(std::vector<std::string> video, int crf)
{
    video.insert(video.end(), {"-crf", std::to_string(crf)});
    return video;
}

// `source` is a lavfi graph of the given length.
bool makeMovieFrom(const std::string &path, const std::string &source, int seconds,
                   const std::vector<std::string> &video, bool sound, const std::string &rotate)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && info.st_size > 0)
        return true;
    const std::string length = std::to_string(seconds);
    std::vector<std::string> arguments{"-f", "lavfi", "-i", source};
    if (sound)
        arguments.insert(arguments.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + length,
                                           "-c:a", "aac"});
    arguments.insert(arguments.end(), video.begin(), video.end());
    const std::string coded = path + ".coded.mov";
    arguments.push_back(coded);
    const bool made = ffmpeg(arguments)
                      && ffmpeg({"-i", coded, "-c", "copy", "-metadata:s:v:0", "rotate=" + rotate, path});
    std::remove(coded.c_str());
    return made;
}

} // namespace

bool makeMovie(const std::string &path, int seconds, const std::vector<std::string> &video, bool sound,
               const std::string &rotate)
{
    const std::string source =
        "testsrc2=size=1920x1440:rate=30:duration=" + std::to_string(seconds) + ",noise=alls=30:allf=t+u";
    return makeMovieFrom(path, source, seconds, video, sound, rotate);
}

bool makePortraitMovie(const std::string &path, int seconds)
{
    return makeMovie(path, seconds, kPortraitHevc, true, "90");
}

bool makeSmoothMovie(const std::string &path, int seconds)
{
    const std::string source =
        "gradients=size=1920x1440:rate=30:nb_colors=4:seed=7:speed=0.02:duration=" + std::to_string(seconds);
    return makeMovieFrom(path, source, seconds, kPortraitHevc, true, "90");
}

bool makeStillBackgroundMovie(const std::string &path, int seconds)
{
    const std::string source =
        "gradients=size=1920x1440:rate=30,trim=end_frame=1,loop=loop=-1:size=1,setpts=N/30/TB[background];"
        "testsrc2=size=240x240:rate=30[subject];[background][subject]overlay=x=t*500:y=600,trim=duration="
        + std::to_string(seconds);
    return makeMovieFrom(path, source, seconds, kPortraitHevc, false, "90");
}

bool makeTexturedStillMovie(const std::string &path, int seconds)
{
    const std::string source =
        "testsrc2=size=1920x1440:rate=30,noise=alls=20:allf=u,trim=end_frame=1,loop=loop=-1:size=1,"
        "setpts=N/30/TB[background];testsrc2=size=240x240:rate=30,split[first][second];"
        "[background][first]overlay=x=t*300:y=50[one];[one][second]overlay=x=1600-t*300:y=1100,trim=duration="
        + std::to_string(seconds);
    return makeMovieFrom(path, source, seconds, kPortraitHevc, false, "90");
}

bool makeNoisyStillMovie(const std::string &path, int seconds)
{
    const std::string source =
        "mandelbrot=size=1920x1440:rate=30,trim=end_frame=1,noise=alls=10:allf=u,"
        "loop=loop=-1:size=1,setpts=N/30/TB[background];testsrc2=size=240x240:rate=30[subject];"
        "[background][subject]overlay=x=t*400:y=500,noise=alls=6:allf=t,trim=duration="
        + std::to_string(seconds);
    return makeMovieFrom(path, source, seconds, withQuality(kPortraitHevc, 20), true, "90");
}

bool makeDarkNoisyMovie(const std::string &path, int seconds)
{
    const std::string source = "testsrc2=size=1920x1440:rate=30:duration=" + std::to_string(seconds)
                               + ",lutyuv=y=val*0.25+8,noise=alls=24:allf=t";
    return makeMovieFrom(path, source, seconds, withQuality(kPortraitHevc, 26), true, "90");
}

bool makeScreenMovie(const std::string &path, int seconds)
{
    std::string screen = "color=c=0xe8e8e8:size=1920x1440:rate=30,"
                         "drawbox=x=0:y=0:w=1920:h=60:color=0x303840:t=fill,"
                         "drawbox=x=80:y=140:w=760:h=1180:color=0x2f6fd0:t=fill,"
                         "drawbox=x=920:y=140:w=920:h=1180:color=white:t=fill";
    for (int line = 0; line < 12; ++line)
        screen += ",drawtext=font=DejaVu Sans:fontsize=36:fontcolor=0x202020:x=960:y=" + std::to_string(180 + line * 90)
                  + ":text=Line " + std::to_string(line + 1) + " of a document on the screen";
    const std::string source = screen + "[screen];color=c=black:size=18x28:rate=30[pointer];"
                                        "[screen][pointer]overlay=x=200+t*400:y=300+t*150,trim=duration="
                               + std::to_string(seconds);
    return makeMovieFrom(path, source, seconds, kAvc, false, "0");
}

bool makeNoisyBarsMovie(const std::string &path, int seconds)
{
    const std::string source =
        "smptehdbars=size=1080x1920:rate=60:duration=" + std::to_string(seconds) + ",noise=alls=8:allf=t+u";
    return makeMovieFrom(path, source, seconds, withQuality(kAvc, 16), false, "0");
}
