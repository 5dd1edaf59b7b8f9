#include "zvvideoconvertitem.h"

#include "cavencodeparam.h"
#include "corelog.h"
#include "grabbedframe.h"
#include "ibasechunk.h"
#include "mediaprobe.h"
#include "qconverteroperate.h"
#include "qianyutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <mutex>

namespace {

constexpr unsigned int kThumbnailSide = 120;

// Items are made on the file-adding thread while the GUI thread deletes others.
std::mutex g_idsMutex;
QSet<int> g_liveIds;

std::mutex g_pathListMutex;
QStringList g_convertPathList;

int DrawUniqueId()
{
    std::lock_guard<std::mutex> lock(g_idsMutex);
    int drawn;
    do {
        drawn = QRandomGenerator::global()->bounded(100000, 1000000);
    } while (g_liveIds.contains(drawn));
    g_liveIds.insert(drawn);
    return drawn;
}

void ReleaseId(int released)
{
    std::lock_guard<std::mutex> lock(g_idsMutex);
    g_liveIds.remove(released);
}

bool IsListedOutput(const QString &candidate)
{
    std::lock_guard<std::mutex> lock(g_pathListMutex);
    return g_convertPathList.contains(candidate);
}

QString WithoutDoubleSlash(QString text)
{
    return text.replace(QLatin1String("//"), QLatin1String("/"));
}

QString ConversionRoot()
{
    const QString root = QConverterOperate::getConverterPath();
    if (!root.isEmpty())
        return root;
    // Without a configured folder a relative name would land in the working folder.
    return QIAnyUtil::getDefaultConvertPath();
}

const PhotoConverterInfo *CurrentOutput()
{
    const PhotoConverterInfo *info = QConverterOperate::g_converterInfo;
    if (!info)
        qCWarning(lcCore) << "no output format chosen yet";
    return info;
}

uint32_t NonNegative(int value)
{
    return value > 0 ? uint32_t(value) : 0;
}

unsigned int EvenSide(uint64_t side)
{
    if (side == 0)
        return 2;
    return unsigned(side % 2 ? side + 1 : side);
}

} // namespace

ZvVideoConvertItem::ZvVideoConvertItem(QObject *parent)
    : QObject(parent)
    , id(DrawUniqueId())
    , frames(new std::vector<IBaseChunk *>)
{
    // Made on the file-adding thread, used on the GUI thread from then on.
    QCoreApplication *app = QCoreApplication::instance();
    if (!parent && app && thread() != app->thread())
        moveToThread(app->thread());
}

ZvVideoConvertItem::~ZvVideoConvertItem()
{
    for (IBaseChunk *frame : *frames)
        delete frame;
    delete frames;
    delete thumbnail;
    ReleaseId(id);
}

bool ZvVideoConvertItem::setVideoPath(QString sourcePath, int sourceKind)
{
    sourcePath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    fileName = sourcePath.mid(sourcePath.lastIndexOf(QLatin1Char('/')) + 1);
    path = sourcePath;
    kind = sourceKind;

    MediaProbe probe;
    MMC_SetConvertingMode(0);
    if (!probe.OpenFile(path)) {
        qCDebug(lcCore) << "cannot open" << path;
        return false;
    }
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    extension = dot < 0 ? QStringLiteral("mov") : fileName.mid(dot + 1);
    if (const char *name = MMC_GetFormatName(probe.handle()))
        format = QString::fromUtf8(name);
    if (format != QLatin1String("MP4") && extension.toLower() == QLatin1String("mov")) {
        qCDebug(lcCore) << "rejected" << path << "read as" << format;
        return false;
    }
    durationText = showTime(MMC_GetMediaDuration(probe.handle()));
    videoWidth = MMC_GetVideoWidth(probe.handle());
    videoHeight = MMC_GetVideoHeight(probe.handle());
    LoadThumbnail(probe.handle());
    return true;
}

void ZvVideoConvertItem::LoadThumbnail(unsigned int media)
{
    const char *index = MMC_GetMediaTag(media, "thumbnail_index");
    const bool indexed = index && QByteArray(index).toLongLong() > 0;
    QImage image;
    if (indexed) {
        image = grabFrameImage(media, 0, 0, 0);
    } else if (const char *tag = MMC_GetMediaTag(media, "cover_image")) {
        const auto *cover = reinterpret_cast<const MMC_Blob *>(tag);
        if (cover->data && cover->size > 0)
            image.loadFromData(cover->data, int(std::min<unsigned>(cover->size, INT_MAX)));
    } else {
        const QSize size = thumbnailSize(videoWidth, videoHeight);
        if (size.isEmpty())
            return; // no picture size, nothing to grab at
        image = grabFrameImage(media, 0, uint32_t(size.width()), uint32_t(size.height()));
    }
    if (image.isNull())
        return;
    delete thumbnail;
    thumbnail = new QImage(image);
}

QSize ZvVideoConvertItem::thumbnailSize(unsigned int width, unsigned int height)
{
    if (width == 0 && height == 0)
        return QSize();
    if (width > height)
        return QSize(int(kThumbnailSide), int(EvenSide(uint64_t(height) * kThumbnailSide / width)));
    return QSize(int(EvenSide(uint64_t(width) * kThumbnailSide / height)), int(kThumbnailSide));
}

QString ZvVideoConvertItem::showTime(unsigned long long microseconds)
{
    const qint64 ms = qint64(microseconds / 1000.0);
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1.%2s")
        .arg(seconds)
        .arg((ms - seconds * 1000) / 10, 2, 10, QLatin1Char('0'));
}

QString ZvVideoConvertItem::getValidOutputName()
{
    outputName = fileName;
    return outputName;
}

QString ZvVideoConvertItem::OutputBaseName() const
{
    const int dot = outputName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? outputName : outputName.left(dot);
}

bool ZvVideoConvertItem::IsAnimatedOutput() const
{
    const PhotoConverterInfo *info = CurrentOutput();
    return info && (info->format == QLatin1String("gif") || info->format == QLatin1String("webp"));
}

QString ZvVideoConvertItem::getConverOutputDir()
{
    if (outputName.isEmpty())
        return QString();
    const QString base = OutputBaseName();
    const QString root = ConversionRoot();
    outputDir = root;
    if (!QFileInfo(root).isDir())
        QDir().mkdir(root);
    if (!IsAnimatedOutput()) {
        outputDir = WithoutDoubleSlash(root + base);
        for (int n = 1; QFileInfo(outputDir).isDir(); ++n)
            outputDir = WithoutDoubleSlash(root + base + QStringLiteral("(%1)").arg(n));
    }
    outputDir += QLatin1Char('/');
    return outputDir;
}

QString ZvVideoConvertItem::getConverPath()
{
    const PhotoConverterInfo *info = CurrentOutput();
    if (!info || outputName.isEmpty())
        return QString();
    const QString ext = info->extension;
    const QString base = OutputBaseName();
    QString candidate;
    if (IsAnimatedOutput()) {
        candidate = WithoutDoubleSlash(outputDir + base + QStringLiteral(".%1").arg(ext));
        for (int n = 1; QFileInfo::exists(candidate) || IsListedOutput(candidate); ++n)
            candidate = WithoutDoubleSlash(outputDir + base + QStringLiteral("(%1).%2").arg(n).arg(ext));
    } else {
        int n = 1;
        do {
            candidate = WithoutDoubleSlash(
                outputDir + base + QStringLiteral(" - %1.%2").arg(n++, 3, 10, QLatin1Char('0')).arg(ext));
        } while (QFileInfo::exists(candidate));
    }
    outputPath = candidate;
    // A series of stills gets its own folder only once its last still is written.
    const QString folder = IsAnimatedOutput() ? outputDir : ConversionRoot();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        qCWarning(lcCore) << "cannot create the output folder" << folder;
    return outputPath;
}

void ZvVideoConvertItem::getEncodeParam(CAVEncodeParam *param) const
{
    const PhotoConverterInfo *info = CurrentOutput();
    if (!param || !info)
        return;
    param->ClearForBuild();
    param->videoCodec = info->codecId;
    param->audioCodec = CAVEncodeParam::kNoAudioCodec;
    param->altEngine = false;
    param->SetFormat(info->format.toLower().toUtf8().constData());
    param->width = NonNegative(info->width);
    param->height = NonNegative(info->height);
    param->dvdSource = false;
    if (info->format == QLatin1String("gif")) {
        param->frameRateNum = 10;
        param->frameRateDen = 1;
    }
    param->quality = NonNegative(info->quality);
    param->metaInfo.keepExif = info->keepExif;
    param->scaleOptionOn = info->keepAspectRatio ? 1 : 0;
    param->scaleOptionValue = 0x01800000u | std::min<uint32_t>(uint32_t(videoWidth * 256u) / 100u, 65535u);
    param->optionUInt = uint32_t(info->frameFormat);
    param->imageKey = uint32_t(id);
}

void ZvVideoConvertItem::prepareDatas()
{
    selectedFrames.clear();
    if (!frames || frames->empty())
        return;
    for (IBaseChunk *frame : *frames) {
        if (frame && frame->GetCheck() == 2)
            selectedFrames.push_back(frame);
    }
    allSelected = selectedFrames.size() == frames->size();
}

void ZvVideoConvertItem::resetConvetedPathList()
{
    std::lock_guard<std::mutex> lock(g_pathListMutex);
    g_convertPathList.clear();
}

void ZvVideoConvertItem::releasePathList()
{
    resetConvetedPathList();
}
