#pragma once

#include "importrefusals.h"
#include "qutilthread.h"

#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <QSet>

#include <atomic>
#include <memory>
#include <mutex>

class QAction;
class QConverterProgressWgt;
class QLabel;
class QLoadingDlg;
class QPlayDlg;
class QScrollAreaFrameSelection;
class QSpacerItem;
class QTimer;
class QVBoxLayout;
class QZVMenu;
class VideoConvertBar;
class ZvVideoConvertItem;
class ZvVideoConvertManager;

// The central pane of the main window: the list of queued Live Photo movies, one row
// per queue item. It imports files (file dialog or drop) on its file-adding thread,
// keeps the selection, runs the list commands, and converts all rows, or the one a row
// menu names, as one batch.
class QMainDlg : public QWidget, public QUtilThread
{
    Q_OBJECT

public:
    explicit QMainDlg(QWidget *parent = nullptr);
    ~QMainDlg() override;

    void addImportFile(QStringList paths);
    void StartTraversalThread();
    void retranslateUi();

    // Rows in display order; row i shows queue item i.
    const QList<VideoConvertBar *> &rows() const { return m_allBarList; }
    // The view that holds the rows and takes the keyboard focus for them.
    QWidget *listView() const;
    QPlayDlg *playDialog() const { return m_playDlg; }
    QZVMenu *contextMenu() const { return m_menu; }

signals:
    void seedIsAddItem(bool hasItems);
    void seedAddComplete(bool unused);
    void seedConvertItem(ZvVideoConvertItem *item);
    void emitPressItem();
    void emitReleaseItem();
    void emitIsStartConverter(bool converting);
    void emitConvertedFinish();
    // Progress of the current import, for its loading dialog.
    void importPathChanged(const QString &path);
    void importCountChanged(const QString &count);
    void importBarChanged(float value);

public slots:
    void OnACtionImport();
    void traversalTime();
    void StopAddFileThree();
    void AddFileComplete(bool unused);
    void addConvertItem(ZvVideoConvertItem *item);
    void SearchTextChanged(const QString &text);
    void ScrollBarShow(bool shown);

    // Selection and commands.
    void respondMouseStateEmit();
    void shiftMouseStateEmit();
    void ctrlMouseStateEmit();
    void respondDeleteEmit();
    void respondEditEmit();
    void respondPlayEmit();
    void respondFileEmit();
    void respondShowTreeMenu();
    void selectPtChange(QPoint start, QPoint end);
    void OnBtnPrevious();
    void OnBtnNext();
    void SelectAllItem();
    void ActionDeleteBar();
    void OnACtionPlay();
    void OnACtionConvert();
    void OnACtionRename();
    void OnACtionOpenFile();
    void OnACtionDelete();
    void OnACtionDeleteAll();
    void OnACtionClearInvalidFile();

    // Batch.
    void OnStartToCoverter();
    void OnConverterAllCheck();
    void OnConverterTimer();
    void OnStopConvert();
    void convertOnePro(unsigned int percent);
    void converterFinishCount(bool ok);
    void converterFinishItemTrim(bool ok);
    void startConverterChange(bool converting);
    void setEditBtnEnable(bool enabled);
    void addConvertProgress();

protected:
    void OnExecute() override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // One import: its candidates, its search, its progress base and its stop request.
    struct ImportRun
    {
        QStringList dropPaths;
        QStringList addPaths;
        bool searching = false;
        std::atomic<int> base{0};
        std::atomic<bool> stop{false};
        // Written by the walk, read on the GUI thread once its end has arrived.
        ImportRefusals refusals;

        // Items sent to the GUI thread and not yet taken: a pane torn down before they
        // arrive would otherwise lose them.
        void send(ZvVideoConvertItem *item);
        void take(ZvVideoConvertItem *item);
        ~ImportRun();

    private:
        std::mutex inFlightLock;
        QSet<ZvVideoConvertItem *> inFlight;
    };

    static ZvVideoConvertManager *queue();
    static QString importStartFolder();
    void Init();
    void InitMenu();
    void InitKeys();
    void placeOverlays();
    void addSubFolderImages(ImportRun &run, const QString &folder);
    bool IsSupportFile(const QString &path) const;
    static bool IsSupportSuffix(const QString &suffix);
    enum class Candidate { Accepted, NotLivePhoto, Unreadable };
    static Candidate CheckMovie(const QString &path);
    bool startWalk();
    void showRefusals(const ImportRefusals &refusals);
    ZvVideoConvertItem *CreateConvertItemInfo(const QString *path, int kind);
    void OnBarbtnDelete();
    void forgetRow(VideoConvertBar *bar);
    void destroyRowAt(int index);
    void hideListWhenEmpty();
    void ActionDeleteALL();
    void startBatch(const QList<VideoConvertBar *> &rows);
    void showPlayFile(VideoConvertBar *bar);
    void saveHistory(VideoConvertBar *bar);
    void runAfterBatchAction();
    void reportBatchFailures();

    QVBoxLayout *m_verticalLayout = nullptr;
    QScrollAreaFrameSelection *scrollArea = nullptr;
    QWidget *m_scrollAreaWidget = nullptr;
    QVBoxLayout *m_ConvertLayout = nullptr;
    QVBoxLayout *m_listLayout = nullptr;
    QLabel *m_labDrag = nullptr;
    QConverterProgressWgt *m_convertProgressWgt = nullptr;

    QList<VideoConvertBar *> m_allBarList;
    QList<VideoConvertBar *> m_showBarList;
    QList<VideoConvertBar *> m_convertList;
    QList<VideoConvertBar *> m_convertingList;
    QString m_strSearch;
    VideoConvertBar *m_curBar = nullptr;
    VideoConvertBar *m_pressBar = nullptr;
    VideoConvertBar *m_shiftBar = nullptr;
    QPlayDlg *m_playDlg = nullptr;
    VideoConvertBar *m_playBar = nullptr;
    QTimer *m_converterTimer = nullptr;
    QTimer *m_traversalTimer = nullptr;
    // The newest import, which the loading dialog shows; and the one the file-adding
    // thread walks, set from its start until its end has arrived on the GUI thread.
    std::shared_ptr<ImportRun> m_run;
    std::shared_ptr<ImportRun> m_walkRun;
    QStringList m_dropPathList;
    bool m_bSearching = false;
    QLoadingDlg *m_loadingDlg = nullptr;
    unsigned int m_nConvertedCount = 0;
    unsigned int m_nConvertCount = 0;
    // "name: reason" of every row the running batch failed.
    QStringList m_batchFailures;

    QZVMenu *m_menu = nullptr;
    QAction *m_actPlay = nullptr;
    QAction *m_actConvert = nullptr;
    QAction *m_actRename = nullptr;
    QAction *m_actOpenFile = nullptr;
    QAction *m_actDelete = nullptr;
    QAction *m_actDeleteAll = nullptr;
    QAction *m_actImport = nullptr;
    QAction *m_actClearInvalid = nullptr;
};
