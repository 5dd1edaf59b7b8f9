// Writes the seed corpus of the Live Photo fuzz target into the folder named on the
// command line: small generated movies of each kind, and hand-built box files.
#include "boxwriter.h"
#include "testmedia.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TestMedia::LivePhoto tinyMovie()
{
    TestMedia::LivePhoto spec;
    spec.width = 64;
    spec.height = 48;
    spec.fps = 10;
    spec.seconds = 0.3;
    spec.audio = false;
    return spec;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: livephoto_seeds <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);

    TestMedia::LivePhoto apple = tinyMovie();
    TestMedia::LivePhoto android = tinyMovie();
    android.android = true;
    TestMedia::LivePhoto phone = tinyMovie();
    phone.layout = TestMedia::Layout::PhoneWithoutFtyp;
    TestMedia::LivePhoto plain = tinyMovie();
    plain.identifier = false;
    for (const auto &[name, spec] : {std::pair{"apple.mov", apple}, {"android.mp4", android}, {"phone.mov", phone}, {"plain.mov", plain}}) {
        if (TestMedia::livePhoto(folder, name, spec).isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(TestMedia::lastError()));
            return 1;
        }
    }

    using namespace BoxWriter;
    const QByteArray keyBox = keys({"com.apple.quicktime.make", "com.apple.quicktime.content.identifier"});
    const QByteArray hdlr = box("hdlr", QByteArray(24, '\0'));
    const bool written =
        writeFile(folder + "/boxes.mov", movie(box("mvhd", QByteArray(100, '\0')) + box("meta", hdlr + keyBox)))
        && writeFile(folder + "/large.mov", ftyp() + largeBox("moov", largeBox("meta", keyBox)))
        && writeFile(folder + "/android.box", movie(box("meta", keys({"com.android.version"})), box("2024", {})));
    return written ? 0 : 1;
}
