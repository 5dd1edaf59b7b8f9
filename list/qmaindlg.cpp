#include "qmaindlg.h"

#include "listlog.h"
#include "mainwindow.h"
#include "qconverterprogresswgt.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qlivephotohelper.h"
#include "qloadingdlg.h"
#include "qplaydlg.h"
#include "qscrollareaframeselection.h"
#include "qvideosettingxml.h"
#include "qzvmessagedlg.h"
#include "qzvmenu.h"
#include "qzvscrollbar.h"
#include "showmessage.h"
#include "taborder.h"
#include "videoconvertbar.h"
#include "zvhelper.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include <QApplication>
#include <QDirIterator>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kSupportedPatterns = QStringLiteral("*.mov *.mp4");
constexpr unsigned long long kMaxDurationWithoutStill = 10000000;
constexpr int kSearchBase = 20;
constexpr int kSearchCeiling = 21;
// The program's secondary text grey: quieter than the row texts, still 4.5:1 on the white list.
const QColor kHintColor(108, 108, 108);

} // namespace

QMainDlg::QMainDlg(QWidget *parent)
    : QWidget(parent)
    , m_run(std::make_shared<ImportRun>())
{
    setObjectName(QStringLiteral("QMainDlg"));
    resize(627, 343);
    m_verticalLayout = new QVBoxLayout;
    m_verticalLayout->setSpacing(0);
    m_verticalLayout->setContentsMargins(0, 0, 0, 0);
    scrollArea = new QScrollAreaFrameSelection(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setMouseTracking(true);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setWidgetResizable(true);
    scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_scrollAreaWidget = new QWidget;
    m_scrollAreaWidget->setObjectName(QStringLiteral("m_scrollAreaWidget"));
    m_scrollAreaWidget->setMouseTracking(true);
    scrollArea->setWidget(m_scrollAreaWidget);
    m_verticalLayout->addWidget(scrollArea);
    m_labDrag = new QLabel(this);
    m_labDrag->setObjectName(QStringLiteral("m_labDrag"));
    m_labDrag->setAlignment(Qt::AlignCenter);
    // The hint lies under the list, which covers it while it holds rows.
    m_labDrag->lower();
    m_convertProgressWgt = new QConverterProgressWgt(this);
    m_convertProgressWgt->setObjectName(QStringLiteral("m_convertProgressWgt"));
    Init();
}

QMainDlg::~QMainDlg()
{
    // The file-adding thread reads this pane: stop it and wait before anything goes.
    m_run->stop = true;
    if (m_walkRun)
        m_walkRun->stop = true;
    WaitThreadFinished();
    m_converterTimer->stop();
    for (VideoConvertBar *bar : m_allBarList) {
        bar->detachItem(); // its job reports go nowhere from here; the row joins it
        delete bar;
    }
    m_allBarList.clear();
    m_showBarList.clear();
    m_convertList.clear();
    m_convertingList.clear();
    queue()->ClearItems();
    ZvVideoConvertItem::releasePathList();
    delete m_playDlg;
    delete m_loadingDlg;
}

QWidget *QMainDlg::listView() const
{
    return scrollArea;
}

ZvVideoConvertManager *QMainDlg::queue()
{
    return ZvVideoConvertManager::getConvertManagerObject();
}

void QMainDlg::Init()
{
    QInitCtrlStyle::InitFont(m_labDrag, 20);
    QInitCtrlStyle::InitPalette(m_labDrag, QPalette::WindowText, kHintColor);
    m_traversalTimer = new QTimer(this);
    connect(m_traversalTimer, &QTimer::timeout, this, &QMainDlg::traversalTime);
    retranslateUi();

    m_convertProgressWgt->hide();
    InitMenu();
    InitKeys();
    connect(this, &QMainDlg::seedAddComplete, this, &QMainDlg::AddFileComplete);
    connect(this, &QMainDlg::seedConvertItem, this, &QMainDlg::addConvertItem);
    connect(this, &QMainDlg::importPathChanged, this, [this](const QString &path) {
        if (m_loadingDlg)
            m_loadingDlg->setAddFilePath(path);
    });
    connect(this, &QMainDlg::importCountChanged, this, [this](const QString &count) {
        if (m_loadingDlg)
            m_loadingDlg->setAddCount(count);
    });
    connect(this, &QMainDlg::importBarChanged, this, [this](float value) {
        if (m_loadingDlg)
            m_loadingDlg->setProgressVale(value);
    });

    setLayout(m_verticalLayout);
    setMouseTracking(true);
    scrollArea->setFrameShape(QFrame::NoFrame);
    QPalette palette = m_scrollAreaWidget->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 255));
    m_scrollAreaWidget->setPalette(palette);
    m_scrollAreaWidget->setAutoFillBackground(true);

    qRegisterMetaType<ZvVideoConvertItem *>("ZvVideoConvertItem*");
    qRegisterMetaType<Split_Info>("Split_Info");

    auto *scrollBar = new QZVScrollBar(scrollArea);
    QInitCtrlStyle::InitZvScrollBar(scrollBar);
    scrollArea->setVerticalScrollBar(scrollBar);
    m_ConvertLayout = new QVBoxLayout(m_scrollAreaWidget);
    m_ConvertLayout->setSpacing(0);
    m_ConvertLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout = new QVBoxLayout;
    m_listLayout->setSpacing(0);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_ConvertLayout->addLayout(m_listLayout);
    m_ConvertLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    scrollArea->hide();

    connect(this, &QMainDlg::emitPressItem, scrollArea, &QScrollAreaFrameSelection::itemPressStart);
    connect(this, &QMainDlg::emitReleaseItem, scrollArea, &QScrollAreaFrameSelection::itemRelease);
    connect(scrollArea, &QScrollAreaFrameSelection::emitSelectPtChange, this, &QMainDlg::selectPtChange);
    connect(scrollArea, &QScrollAreaFrameSelection::emitScrollBarShow, this, &QMainDlg::ScrollBarShow);

    setAcceptDrops(true);
    m_converterTimer = new QTimer(this);
    connect(m_converterTimer, &QTimer::timeout, this, &QMainDlg::OnConverterTimer);
}

void QMainDlg::retranslateUi()
{
    m_labDrag->setText(tr("Drag %1 files here to start").arg(tr("LivePhoto")));
    m_labDrag->adjustSize();
    placeOverlays();
}

void QMainDlg::placeOverlays()
{
    m_labDrag->move((width() - m_labDrag->width()) / 2, (height() - m_labDrag->height()) / 2 + 70);
    m_convertProgressWgt->move((width() - m_convertProgressWgt->width()) / 2,
                               (height() - m_convertProgressWgt->height()) / 2);
}

void QMainDlg::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeOverlays();
}

void QMainDlg::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    placeOverlays();
}

void QMainDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(100, 40, 40, 1));
    QPixmap picture(QIAnyUtil::getResourcePath() + QStringLiteral("/image/bg_noFile.png"));
    if (picture.isNull())
        return;
    picture.setDevicePixelRatio(2);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap((width() - picture.width() / 2) / 2, (height() - picture.height() / 2) / 2 - 50, picture);
}

void QMainDlg::ScrollBarShow(bool shown)
{
    const int scrollBarWidth = shown ? scrollArea->verticalScrollBar()->width() : 0;
    m_scrollAreaWidget->setMaximumWidth(width() - scrollBarWidth);
}

// The stored default "." would be the process's working folder, which means nothing to a user.
QString QMainDlg::importStartFolder()
{
    const QString last = MainWindow::open_path;
    if (QDir::isAbsolutePath(last) && QFileInfo(last).isDir())
        return last;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void QMainDlg::OnACtionImport()
{
    const QString filter = tr("All Supported Formats(%1);;All files(*.*)").arg(kSupportedPatterns);
    const QStringList files = QFileDialog::getOpenFileNames(this, QString(), importStartFolder(), filter);
    if (files.isEmpty())
        return;
    MainWindow::open_path = QFileInfo(files.first()).path();
    QVideoSettingXml::SetItemValue(QStringLiteral("Open_path"), QStringLiteral("Open_path_value"),
                                   MainWindow::open_path);
    addImportFile(files);
}

void QMainDlg::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void QMainDlg::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || MainWindow::isConverting())
        return;
    m_dropPathList.clear();
    for (const QUrl &url : urls)
        m_dropPathList.append(url.toLocalFile());
    StartTraversalThread();
}

void QMainDlg::StartTraversalThread()
{
    if (m_dropPathList.isEmpty())
        return;
    m_bSearching = true;
    m_run->base = 0;
    m_traversalTimer->start(1000);
    addImportFile(QStringList());
}

void QMainDlg::traversalTime()
{
    if (m_run->base < kSearchCeiling) {
        ++m_run->base;
        if (m_loadingDlg)
            m_loadingDlg->setProgressVale(float(m_run->base));
        return;
    }
    m_traversalTimer->stop();
    m_run->base = kSearchBase;
}

void QMainDlg::StopAddFileThree()
{
    m_run->stop = true;
}

void QMainDlg::addImportFile(QStringList paths)
{
    const QStringList &toCheck = m_bSearching ? m_dropPathList : paths;
    if (toCheck.isEmpty())
        return;
    auto run = std::make_shared<ImportRun>();
    run->base = m_run->base.load();
    run->searching = m_bSearching;
    run->dropPaths = m_dropPathList;
    run->addPaths = paths;
    m_bSearching = false;
    m_run = run;

    delete m_loadingDlg;
    m_loadingDlg = new QLoadingDlg;
    connect(m_loadingDlg, &QLoadingDlg::seedStopAddFile, this, &QMainDlg::StopAddFileThree);
    // A walk still ending (dismissed, it stops at its next candidate) hands over to this
    // one when its end arrives: the GUI thread never waits for it.
    if (!m_walkRun && !startWalk())
        return;
    m_loadingDlg->exec();
}

bool QMainDlg::startWalk()
{
    m_walkRun = m_run;
    if (StartThread())
        return true;
    qCWarning(lcList) << "cannot start the file-adding thread";
    m_walkRun.reset();
    m_traversalTimer->stop();
    delete m_loadingDlg; // ends its modal run
    m_loadingDlg = nullptr;
    return false;
}

void QMainDlg::OnExecute()
{
    const std::shared_ptr<ImportRun> run = m_walkRun;
    if (run->searching) {
        emit importPathChanged(tr("Searching..."));
        for (const QString &path : run->dropPaths) {
            if (run->stop)
                break;
            if (QFileInfo(path).isDir())
                addSubFolderImages(*run, path);
            else if (IsSupportFile(path))
                run->addPaths.append(path);
        }
        run->base = kSearchBase;
    }
    const int n = run->addPaths.size();
    if (n > 0)
        emit importBarChanged(float(run->base));
    for (int i = 0; i < n; ++i) {
        // Tested before every candidate, so a Cancel over ordinary movies ends at once.
        if (run->stop)
            break;
        const QString &path = run->addPaths.at(i);
        const Candidate verdict = CheckMovie(path);
        if (verdict == Candidate::NotLivePhoto) {
            run->refusals.notLivePhoto(path);
            continue;
        }
        if (verdict == Candidate::Unreadable) {
            run->refusals.unreadable(path);
            continue;
        }
        const int base = run->base;
        emit importPathChanged(path);
        emit importCountChanged(QStringLiteral("%1/%2").arg(i + 1).arg(n));
        emit importBarChanged(float(100 - base) * float(i + 1) / float(n) + float(base));
        ZvVideoConvertItem *item = CreateConvertItemInfo(&path, 0);
        if (!item) {
            run->refusals.unreadable(path);
            continue;
        }
        run->send(item);
        emit seedConvertItem(item);
        QThread::usleep(20000);
    }
    emit seedAddComplete(false);
}

QMainDlg::Candidate QMainDlg::CheckMovie(const QString &path)
{
    const QFileInfo file(path);
    if (file.isDir() || !file.isReadable())
        return Candidate::Unreadable;
    if (!QLivePhotoHelper::FileIslivephoto(path)) {
        // Opened once more, as a movie: a pipe would not give its bytes a second time.
        const bool movie = file.isFile() && ZVHelper::hasVedeoOrAudio(path);
        return movie ? Candidate::NotLivePhoto : Candidate::Unreadable;
    }
    // Exact-case ".JPG": the still a phone writes beside the movie.
    const QString still = path.left(path.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".JPG");
    if (QFile::exists(still) || ZVHelper::getDuration(path) <= kMaxDurationWithoutStill)
        return Candidate::Accepted;
    return Candidate::NotLivePhoto;
}

void QMainDlg::addSubFolderImages(ImportRun &run, const QString &folder)
{
    if (!QFileInfo::exists(folder))
        return;
    QDirIterator it(folder, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext() && !run.stop) {
        const QString path = QFileInfo(it.next()).absoluteFilePath();
        if (IsSupportFile(path))
            run.addPaths.append(path);
    }
}

bool QMainDlg::IsSupportFile(const QString &path) const
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && IsSupportSuffix(path.mid(dot));
}

bool QMainDlg::IsSupportSuffix(const QString &suffix)
{
    return kSupportedPatterns.contains(suffix.toLower());
}

ZvVideoConvertItem *QMainDlg::CreateConvertItemInfo(const QString *path, int kind)
{
    auto *item = new ZvVideoConvertItem;
    if (!item->setVideoPath(*path, kind)) {
        delete item;
        return nullptr;
    }
    // Made on this thread; it must belong to the GUI thread that keeps it.
    item->moveToThread(qApp->thread());
    return item;
}

void QMainDlg::ImportRun::send(ZvVideoConvertItem *item)
{
    std::lock_guard<std::mutex> guard(inFlightLock);
    inFlight.insert(item);
}

void QMainDlg::ImportRun::take(ZvVideoConvertItem *item)
{
    std::lock_guard<std::mutex> guard(inFlightLock);
    inFlight.remove(item);
}

QMainDlg::ImportRun::~ImportRun()
{
    qDeleteAll(inFlight);
}

void QMainDlg::AddFileComplete(bool)
{
    const std::shared_ptr<ImportRun> ended = std::move(m_walkRun);
    if (!ended)
        return;
    if (ended != m_run) {
        startWalk(); // the import that waited for this walk to end
        return;
    }
    m_traversalTimer->stop();
    delete m_loadingDlg; // ends its modal run
    m_loadingDlg = nullptr;
    // A dismissed import says no more.
    if (!ended->stop && !ended->refusals.isEmpty())
        showRefusals(ended->refusals);
}

void QMainDlg::showRefusals(const ImportRefusals &refusals)
{
    ShowMessage(refusals.message(), tr("Add file"), QZVMessageDlg::WarningIcon, false);
}

void QMainDlg::addConvertItem(ZvVideoConvertItem *item)
{
    if (!item)
        return;
    if (m_walkRun)
        m_walkRun->take(item);
    queue()->addConverItem(item, -1);
    auto *bar = new VideoConvertBar(m_scrollAreaWidget);
    // Tab reaches a row's buttons after the list and the rows above, not after Convert.
    QWidget *previous = m_allBarList.isEmpty() ? scrollArea : m_allBarList.last()->tabStops().last();
    TabOrder::chain(QList<QWidget *>{previous} + bar->tabStops());
    m_allBarList.append(bar);
    connect(bar, &VideoConvertBar::emitMousePress, this, &QMainDlg::respondMouseStateEmit);
    connect(bar, &VideoConvertBar::emitMouseRelease, this, &QMainDlg::emitReleaseItem);
    connect(bar, &VideoConvertBar::emitMouseShiftPress, this, &QMainDlg::shiftMouseStateEmit);
    connect(bar, &VideoConvertBar::emitMouseCtrlPress, this, &QMainDlg::ctrlMouseStateEmit);
    connect(bar, &VideoConvertBar::emitDelete, this, &QMainDlg::respondDeleteEmit);
    connect(bar, &VideoConvertBar::emitEdit, this, &QMainDlg::respondEditEmit);
    connect(bar, &VideoConvertBar::emitPlay, this, &QMainDlg::respondPlayEmit);
    connect(bar, &VideoConvertBar::emitFile, this, &QMainDlg::respondFileEmit);
    connect(bar, &VideoConvertBar::emitshowTreeMenu, this, &QMainDlg::respondShowTreeMenu);
    connect(bar, &VideoConvertBar::emitConvertedFinish, this, &QMainDlg::converterFinishCount);
    connect(bar, &VideoConvertBar::emitConvertOnePro, this, &QMainDlg::convertOnePro);
    connect(bar, &VideoConvertBar::emitConvertedFinishItemTrim, this, &QMainDlg::converterFinishItemTrim);
    bar->setVideoItemInfo(item, false);
    m_listLayout->addWidget(bar);
    SearchTextChanged(m_strSearch);
    if (m_allBarList.size() == 1) {
        scrollArea->show();
        emit seedIsAddItem(true);
    }
}

void QMainDlg::SearchTextChanged(const QString &text)
{
    m_strSearch = text;
    m_showBarList.clear();
    for (VideoConvertBar *bar : qAsConst(m_allBarList)) {
        const bool match = bar->getVideoName().contains(text, Qt::CaseInsensitive);
        bar->setVisible(match);
        if (match)
            m_showBarList.append(bar);
    }
}
