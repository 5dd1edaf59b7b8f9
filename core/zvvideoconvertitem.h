#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <vector>

class CAVEncodeParam;
class IBaseChunk;

// One input file of the conversion queue: what its row shows, the frames picked for it,
// its place in the queue, its output names and its encoder parameters.
class ZvVideoConvertItem : public QObject
{
    Q_OBJECT

public:
    explicit ZvVideoConvertItem(QObject *parent = nullptr);
    ~ZvVideoConvertItem() override;

    // Probes the file through the codec library; false when it cannot be opened or is a
    // ".mov" the library does not read as MP4. May run on a worker thread.
    bool setVideoPath(QString path, int kind);

    void setIndex(int position) { index = position; }
    int Index() const { return index; }

    QString getValidOutputName();
    QString getConverOutputDir();
    QString getConverPath();
    void getEncodeParam(CAVEncodeParam *param) const;
    void prepareDatas();
    // Kept for callers of the queue's interface; outputs need no extension folder here.
    void addExtenFolder(QString &) {}

    static void resetConvetedPathList();
    static void releasePathList();
    static QString showTime(unsigned long long microseconds);
    // Size of a row's thumbnail for a source picture: long side 120, even sides, an
    // empty size when the source has none.
    static QSize thumbnailSize(unsigned int width, unsigned int height);

    int pieceIndex = 0; // continued starts of the current conversion; the row resets it
    int trimIndex = 0;
    int id = 0;
    // Frames extracted by the frame picker, in frame order. The item owns the vector and
    // the records; append them on the GUI thread (the queue reads them there).
    std::vector<IBaseChunk *> *frames = nullptr;
    std::vector<IBaseChunk *> selectedFrames;
    bool allSelected = true;
    int index = -1;
    QString format;
    QString extension;
    QString path;
    QString fileName;
    QString outputName;
    int kind = 0;
    QString outputDir;
    QString outputPath;
    unsigned int videoWidth = 0;
    unsigned int videoHeight = 0;
    QString durationText = QStringLiteral("00:00");
    QImage *thumbnail = nullptr;

private:
    void LoadThumbnail(unsigned int media);
    bool IsAnimatedOutput() const;
    QString OutputBaseName() const;
};
