// The row's conversion driver: names, routes, job reports and cleanup of its own output.
#include "videoconvertbar.h"

#include "cavencodeparam.h"
#include "convertedinfo.h"
#include "ibasechunk.h"
#include "qimagechunk.h"
#include "listlog.h"
#include "mmc.h"
#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qoutputidentity.h"
#include "qzvbaseprogress.h"
#include "stillfile.h"
#include "zvlpconverter.h"
#include "zvvideoconvertitem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include <cerrno>
#include <memory>
#include <vector>

namespace {

// Frames larger than this are not real frame pictures; never allocate for them.
constexpr uint64_t kMaxEncodedFrame = 64ull * 1024 * 1024;
constexpr unsigned int kTrackTimeScale = 25;

const PhotoConverterInfo *output()
{
    return QConverterOperate::g_converterInfo;
}

QString outputFormat()
{
    return output() ? output()->format : QString();
}

QString outputExtension()
{
    return output() ? output()->extension.toLower() : QString();
}

bool animatedOutput()
{
    const QString format = outputFormat();
    return format == QLatin1String("gif") || format == QLatin1String("webp");
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

void convertPro(unsigned int percent, void *user, convertState state)
{
    emit static_cast<VideoConvertBar *>(user)->seedConvertPro(percent, state);
}

void convertCaching(unsigned int, void *) {}

// The system's reason when the job knows it, so a full disk or a folder deleted while
// the job ran does not pass for a fault of the movie.
QString failureText(const ZVLPConverter *converter, const QString &outputDir, const QString &otherwise)
{
    const JobFailure failure = converter ? converter->Failure() : JobFailure();
    if (failure.side == JobFailure::Source)
        return VideoConvertBar::tr("The movie cannot be read.");
    if (failure.side != JobFailure::Output || failure.systemError == 0)
        return otherwise;
    const QString folder = withoutTrailingSlash(outputDir);
    const QString shown = QDir::toNativeSeparators(folder);
    if (failure.systemError == ENOENT && !QFileInfo(folder).isDir())
        return VideoConvertBar::tr("The output folder %1 no longer exists.").arg(shown);
    return VideoConvertBar::tr("The movie could not be written to the folder %1: %2.")
        .arg(shown, qt_error_string(failure.systemError));
}

// The encoded bytes of one frame picture, or nothing when it cannot be read sanely.
QByteArray readEncodedFrame(const QString &path, int key)
{
    QByteArray bytes;
    const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 0);
    if (!image)
        return bytes;
    MMC_ImageSetKey(image, key);
    const uint64_t size = MMC_ImageGetEncodedSize(image);
    if (size > 0 && size <= kMaxEncodedFrame) {
        bytes.resize(int(size));
        if (MMC_ImageReadEncoded(image, bytes.data(), size) <= 0)
            bytes.clear();
    }
    MMC_ImageClose(image);
    return bytes;
}

} // namespace

void VideoConvertBar::resetStopFlag()
{
    m_bIsStopConvert = false;
}

ImageWriteInfo VideoConvertBar::makeWriteInfo() const
{
    ImageWriteInfo info;
    info.folder = animatedOutput() ? withoutTrailingSlash(m_videoItem->outputDir) : m_stills.path();
    info.extension = outputExtension();
    info.baseName = trimName(m_videoItem->outputName);
    return info;
}

void VideoConvertBar::StartToConvertVideo(bool merge, bool fresh)
{
    if (!m_videoItem)
        return;
    if (fresh) {
        m_videoItem->pieceIndex = 0;
        m_videoItem->prepareDatas();
        m_bIsStopConvert = false;
        m_strFailReason.clear();
    }
    if (m_videoItem->pieceIndex < 1) {
        m_videoItem->getValidOutputName();
        m_videoItem->getConverOutputDir();
    }
    m_videoItem->outputPath = m_videoItem->getConverPath();
    if (m_videoItem->outputPath.isEmpty()) {
        qCWarning(lcList) << "no output path for" << m_videoItem->path;
        reportStartFailure(tr("No output file name could be made."));
        return;
    }
    // Stills go into a working folder beside their own, which gets its name at the end.
    const QString outputDir = withoutTrailingSlash(m_videoItem->outputDir);
    const QString madeIn = animatedOutput() ? outputDir : QFileInfo(outputDir).path();
    if (!QFileInfo(madeIn).isDir()
        || (!animatedOutput() && !m_stills.create(outputDir, trimName(m_videoItem->outputName), outputExtension()))) {
        reportStartFailure(tr("The output folder %1 cannot be created.").arg(QDir::toNativeSeparators(madeIn)));
        return;
    }
    if (!QFileInfo(m_videoItem->path).isReadable()) {
        m_stills.discard();
        reportStartFailure(tr("The movie cannot be read."));
        return;
    }
    std::unique_ptr<CAVEncodeParam> param(new CAVEncodeParam);
    m_videoItem->getEncodeParam(param.get());
    const bool fileRoute = animatedOutput() || m_videoItem->allSelected;
    const bool started = fileRoute ? startFileRoute(merge, param.get()) : startTrackRoute(param.get());
    if (!started) {
        m_stills.discard();
        reportStartFailure(fileRoute || m_videoItem->selectedFrames.empty()
                               ? failureText(m_converter, m_videoItem->outputDir, tr("The conversion could not start."))
                               : tr("The picked frames could not be read."));
        return;
    }
    m_nConvertState = BarConverting;
    setConvertState();
}

bool VideoConvertBar::startFileRoute(bool merge, CAVEncodeParam *param)
{
    if (merge)
        return true;
    releaseConverter();
    m_converter = new ZVLPConverter;
    return m_converter->StartConvert(m_videoItem->path.toUtf8().constData(),
                                     m_videoItem->outputPath.toUtf8().constData(), param, this, convertPro,
                                     writeStillFile, makeWriteInfo());
}

bool VideoConvertBar::startTrackRoute(CAVEncodeParam *param)
{
    releaseConverter();
    m_converter = new ZVLPConverter;
    const std::vector<IBaseChunk *> &ticked = m_videoItem->selectedFrames;
    CTrackDesc desc;
    desc.width = m_videoItem->videoWidth;
    desc.height = m_videoItem->videoHeight;
    const auto duration = static_cast<unsigned long long>(ticked.size() / double(kTrackTimeScale) * 1000000.0);
    qCDebug(lcList) << "pTrackDesc.duration----------" << duration;
    m_converter->AddTrack(1, 8, &desc);
    uint64_t k = 1;
    for (IBaseChunk *record : ticked) {
        // The frame picker's records name their frame file; the image is the thumbnail.
        const auto *frame = dynamic_cast<QImageChunk *>(record);
        const QByteArray bytes =
            frame ? readEncodedFrame(QString::fromStdString(frame->GetImagePath()), m_videoItem->id) : QByteArray();
        if (bytes.isEmpty())
            continue;
        CTrackPacket packet;
        packet.pts = packet.dts = k++;
        packet.timescale = kTrackTimeScale;
        packet.flags = 1;
        packet.size = uint32_t(bytes.size());
        packet.data = reinterpret_cast<const unsigned char *>(bytes.constData());
        m_converter->AddPacketToTrack(1, &packet);
    }
    m_converter->StopWithTrack();
    if (k == 1)
        return false; // no frame could be read: nothing to convert
    return m_converter->StartWithTrack(m_videoItem->outputPath.toUtf8().constData(), param, this, convertPro,
                                       convertCaching, writeStillFile, makeWriteInfo());
}

void VideoConvertBar::releaseConverter()
{
    if (!m_converter)
        return;
    m_converter->StopConvert();
    delete m_converter;
    m_converter = nullptr;
}

void VideoConvertBar::StopConverVideo()
{
    m_bIsStopConvert = true;
    m_strFailReason.clear();
    releaseConverter();
    m_stills.discard();
    m_nConvertState = BarIdle;
    m_progressBar->setValue(0);
    setConvertState();
}

void VideoConvertBar::WaitConverVideo()
{
    m_nConvertState = BarWaiting;
    setConvertState();
}

void VideoConvertBar::FailConverVideo()
{
    m_nConvertState = BarFailed;
    setConvertState();
}

// Without a report the batch would wait for this row for ever.
void VideoConvertBar::reportStartFailure(const QString &reason)
{
    m_strFailReason = reason;
    emit emitConvertedFinish(false);
}

void VideoConvertBar::finishWithFailure(const QString &reason)
{
    m_strFailReason = reason;
    releaseConverter();
    FailConverVideo();
    emit emitConvertedFinish(false);
}

void VideoConvertBar::UpdataConverPro(unsigned int percent, convertState state)
{
    emit emitConvertOnePro(percent);
    switch (state) {
    case convertStopped:
        emit emitConvertedFinish(false);
        m_nConvertState = BarIdle;
        setConvertState();
        break;
    case convertFinished: {
        m_converterState->clear();
        if (!takeOutput()) {
            finishWithFailure(tr("No picture could be written to the output folder."));
            break;
        }
        m_nConvertState = BarDone;
        setConvertState();
        releaseConverter();
        emit emitConvertedFinish(true);
        break;
    }
    case convertFailed:
        // A job the codec library failed would fail again: the failure is final.
        finishWithFailure(failureText(m_converter, m_videoItem ? m_videoItem->outputDir : QString(),
                                      tr("The movie could not be converted.")));
        break;
    default:
        break;
    }
}

// Records the name the output really has: the one chosen at the start may have been
// taken meanwhile by another program.
bool VideoConvertBar::takeOutput()
{
    if (animatedOutput()) {
        const QString written = m_converter ? m_converter->WrittenPath() : QString();
        if (m_videoItem && !written.isEmpty())
            m_videoItem->outputPath = written;
        return true;
    }
    // A still job that stored no picture did not convert anything.
    const QString named = m_stills.holdsStills() ? m_stills.commit() : QString();
    if (named.isEmpty() || !m_videoItem)
        return false;
    m_videoItem->outputDir = named + QLatin1Char('/');
    return true;
}

QString VideoConvertBar::getOutputPath() const
{
    return m_videoItem ? m_videoItem->outputPath : QString();
}

void VideoConvertBar::removeOwnOutput()
{
    // An output that did not end well never reached its name: whatever is there is not
    // ours. Only the stills' working folder is.
    m_stills.discard();
}

bool VideoConvertBar::removeOutPutDir()
{
    if (!m_videoItem || m_videoItem->outputDir.isEmpty())
        return false;
    const QString dir = QDir::cleanPath(m_videoItem->outputDir);
    if (dir == QDir::cleanPath(QConverterOperate::getConverterPath()))
        return false;
    return QDir().rmdir(dir); // only an empty folder goes
}

bool VideoConvertBar::isBigFile() const
{
    constexpr quint64 kBig = 20000000;
    if (!m_videoItem)
        return false;
    if (quint64(m_videoItem->videoWidth) * m_videoItem->videoHeight > kBig)
        return true;
    const PhotoConverterInfo *info = output();
    const quint64 w = info && info->width > 0 ? quint64(info->width) : m_videoItem->videoWidth;
    const quint64 h = info && info->height > 0 ? quint64(info->height) : m_videoItem->videoHeight;
    return w * h > kBig;
}

void VideoConvertBar::getConvertedInfo(convertedInfo &info) const
{
    if (!m_videoItem)
        return;
    if (animatedOutput()) {
        info.convertedPath = m_videoItem->outputPath;
        info.title = trimName(m_videoItem->outputPath.section(QLatin1Char('/'), -1));
    } else {
        info.convertedPath = m_videoItem->outputDir;
        info.title = withoutTrailingSlash(m_videoItem->outputDir).section(QLatin1Char('/'), -1);
    }
    info.format = output() ? output()->displayName() : QString();
    const PhotoConverterInfo *out = output();
    const bool own = out && out->width > 0;
    info.resolution = QStringLiteral("%1x%2")
                          .arg(own ? unsigned(out->width) : m_videoItem->videoWidth)
                          .arg(own ? unsigned(out->height) : m_videoItem->videoHeight);
    info.createTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
    info.identity = QOutputIdentity::of(info.convertedPath);
}
