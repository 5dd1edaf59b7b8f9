#pragma once

#include "converttypes.h"
#include "qeditdlgform.h"
#include "qeditmodel.h"
#include "qzvdialogex.h"

#include <QList>
#include <QMutex>

#include <cstdint>
#include <vector>

class CAVEncodeParam;
class QDelegateControl;
class QEditListDelegate;
class QImageChunk;
class QImageViewerDlg;
class QProgressDlg;
class QZVBaseSortModel;
class QZVScrollBar;
class QZVStyleButton;
class ZVLPConverter;
class ZvVideoConvertItem;
struct ImageWriteInfo;

// The frame picker of one queue item. Its first opening extracts every frame of the
// item's movie on a converter thread into frame files and thumbnails; the user then ticks
// the frames to keep. OK keeps the ticks; Cancel, Escape and the close button put them back.
// The item owns the frame records; the dialog never deletes them nor their files.
class QEditDlg : public QZVDialogEx, public Ui::QEditDlg
{
    Q_OBJECT

public:
    explicit QEditDlg(QWidget *parent = nullptr);
    ~QEditDlg() override;

    void setItemInfo(ZvVideoConvertItem *item);
    ZvVideoConvertItem *getItemInfo() const { return m_item; }
    void setConverProgress(uint32_t percent, convertState state);
    void setRefresh();
    // The lowest free folder + name + "_" + three or more digits, made one level deep.
    static QString getOutputDir(const QString &folder, const QString &name);
    void getEncodeParam(CAVEncodeParam *param) const;
    void initControls();
    void initListView();
    void initData();
    void resetControlLocation() override;
    QProgressDlg *progressDialog() const { return m_progressDlg; }
    QImageViewerDlg *openViewer() const { return m_viewer; }
    QZVBaseSortModel *sortModel() const { return m_sortModel; }

    // Both run on the converter's worker thread.
    static void ConvertProgressCallback(unsigned int percent, void *user, convertState state);
    static unsigned int ImageWriteCallback(void *context, const unsigned char *data, unsigned int size);

signals:
    void sendConvertPro(uint32_t percent, convertState state);
    void sendRefresh();
    void sendRefreshModel();
    void sendConvertFinished(bool ok);
    void sendStartLoadingData();

public slots:
    void reject() override;
    void refreshData();
    void getConvertPro(uint32_t percent, convertState state);
    void convertFinished(bool ok);
    void onOk();
    void onClose();
    void onSelectAll();
    void doubleClickItem(const QModelIndex &index);
    void imageViewerSelected(bool selected);
    void imageViewerNext();
    void imageViewerPrevious();
    void clickItemCheckState(const QModelIndex &index, int state);
    void viewerImage(const QModelIndex &index);
    void startLoadingData();
    void OpenImage(const QModelIndex &index);
    void refreshModel();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void startExtraction();
    void showFrames();
    void endExtraction(bool failed);
    void updateSelectAll();
    void showRow(int row);
    // Moves the frames handed over by the worker to the item, in order.
    std::vector<QImageChunk *> takePending();
    void handOver(QImageChunk *record);

    QList<int> m_savedChecks;
    QEditListDelegate *m_delegate = nullptr;
    QZVScrollBar *m_scrollBar = nullptr;
    QEditModel m_model;
    QZVBaseSortModel *m_sortModel = nullptr;
    QDelegateControl *m_control = nullptr;
    QZVStyleButton *m_btnOpen = nullptr;
    ZVLPConverter *m_converter = nullptr;
    ZvVideoConvertItem *m_item = nullptr;
    QImageViewerDlg *m_viewer = nullptr;
    QProgressDlg *m_progressDlg = nullptr;
    // Fixed before a job starts; the worker reads it.
    int m_key = 0;
    bool m_extracting = false;
    QMutex m_pendingMutex;
    std::vector<QImageChunk *> m_pending;
};
