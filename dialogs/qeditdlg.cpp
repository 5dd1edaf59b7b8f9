#include "qeditdlg.h"

#include "cavencodeparam.h"
#include "imagewriteinfo.h"
#include "mmc.h"
#include "qdelegatecontrol.h"
#include "qeditlistdelegate.h"
#include "qianyutil.h"
#include "qimagechunk.h"
#include "qimageviewerdlg.h"
#include "qinitctrlstyle.h"
#include "qprogressdlg.h"
#include "qzvbasesortmodel.h"
#include "qzvscrollbar.h"
#include "qzvstylebutton.h"
#include "showmessage.h"
#include "taborder.h"
#include "zvhelper.h"
#include "zvlpconverter.h"
#include "zvvideoconvertitem.h"

#include <QDir>
#include <QMutexLocker>
#include <QPainter>

namespace {

// Numbers in names are zero-filled to three digits at least; 1000 follows 999.
QString threeDigits(unsigned int number)
{
    return QString::number(number).rightJustified(3, QLatin1Char('0'));
}

// Writes the encoded bytes through the codec library under the key; false when the file
// could not be made or not every byte was stored.
bool writeFrameFile(const QString &path, int key, const unsigned char *data, unsigned int size)
{
    const MMC_Handle image = MMC_ImageOpen(path.toUtf8().constData(), 1);
    if (!image)
        return false;
    MMC_ImageSetKey(image, key);
    const bool written = MMC_ImageWriteFrame(image, data, size) > 0;
    MMC_ImageClose(image);
    return written;
}

} // namespace

QEditDlg::QEditDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("Edit"));
    QInitCtrlStyle::InitBg1(this);
    setDlgTitle(QStringLiteral("Edit"));
    initControls();
    m_delegate = new QEditListDelegate(m_listView);
    initListView();
    qRegisterMetaType<convertState>("convertState");
    qRegisterMetaType<uint32_t>("uint32_t");
    connect(this, &QEditDlg::sendConvertPro, this, &QEditDlg::getConvertPro);
    connect(this, &QEditDlg::sendRefresh, this, &QEditDlg::refreshData, Qt::QueuedConnection);
    connect(this, &QEditDlg::sendConvertFinished, this, &QEditDlg::convertFinished, Qt::QueuedConnection);
    connect(this, &QEditDlg::sendStartLoadingData, this, &QEditDlg::startLoadingData, Qt::QueuedConnection);
    setFixedSize(531, 580);
    TabOrder::chain({m_listView, m_chkSelectAll, m_btnCancel, m_btnOK});
}

QEditDlg::~QEditDlg()
{
    // Stops and joins the worker: no callback runs after this.
    delete m_converter;
    m_converter = nullptr;
    for (QImageChunk *record : takePending())
        m_item->frames->push_back(record);
    // The view goes first and takes its proxy, delegate and scroll bar with it, so
    // nothing can paint or hover through them afterwards.
    delete m_listView;
    delete m_progressDlg;
    delete m_btnOpen;
    delete m_control;
}

void QEditDlg::initControls()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    QInitCtrlStyle::InitZVButton(m_btnCancel, 80, 24);
    QInitCtrlStyle::InitZVButton1(m_btnOK, 80, 24);
    m_btnCancel->setText(tr("Cancel"));
    m_btnOK->setText(tr("OK"));
    QInitCtrlStyle::InitCheckBox(m_chkSelectAll);
    m_chkSelectAll->setText(tr("Selected All"));
    m_chkSelectAll->setEnabled(false);
    connect(m_btnTitleClose, &QPushButton::clicked, this, &QEditDlg::onClose);
    connect(m_btnCancel, &QPushButton::clicked, this, &QEditDlg::onClose);
    connect(m_btnOK, &QPushButton::clicked, this, &QEditDlg::onOk);
    connect(m_chkSelectAll, &QCheckBox::clicked, this, &QEditDlg::onSelectAll);
}

void QEditDlg::initData()
{
    m_delegate = new QEditListDelegate(m_listView);
}

void QEditDlg::initListView()
{
    m_listView->setStyleSheet(QStringLiteral("QListView{background:%1;}").arg(QColor(255, 255, 255).name()));
    m_listView->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setViewMode(QListView::IconMode);
    m_listView->setMovement(QListView::Static);
    m_sortModel = new QZVBaseSortModel(m_listView);
    m_sortModel->setSourceModel(&m_model);
    m_sortModel->setItemBgColor(QColor(239, 239, 239), QColor(239, 239, 239));
    m_listView->setModel(m_sortModel);
    m_listView->setSortModel(m_sortModel);
    m_listView->setSourceModel(&m_model);
    m_model.setItemSize(80, 80);
    m_listView->setGridSize(QSize(82, 82));
    m_listView->setLayoutMode(QListView::Batched);
    m_listView->setResizeMode(QListView::Adjust);

    QFont font = m_listView->font();
    font.setFamily(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    m_delegate->setFont(font);
    m_delegate->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_delegate->setImageMargins(1, 1, 1, 1);
    m_delegate->setFrameWidth(1);
    m_delegate->setFrameColor(QColor(239, 239, 239));
    m_delegate->setHoverFrameWidth(1);
    m_delegate->setHoverFrameColor(QColor(239, 239, 239));
    m_delegate->setSelectedBackgroundColor(QColor(255, 218, 43));
    m_delegate->setSelectTextColor(QColor(108, 108, 108));
    m_delegate->setImageDrawType(QBaseIconListDelegate::CentreCrop);
    const QString resources = QIAnyUtil::getResourcePath();
    m_delegate->setCheckboxImage(resources + QStringLiteral("/image/common/btn_check_off1.png"),
                                 resources + QStringLiteral("/image/common/btn_partially.png"),
                                 resources + QStringLiteral("/image/common/btn_check_on1.png"));
    m_delegate->setCheckboxPos(67, 67);
    m_listView->setItemDelegate(m_delegate);
    m_listView->setStyleDelegate(m_delegate);

    m_btnOpen = new QZVStyleButton;
    m_btnOpen->setText(QStringLiteral("search"));
    m_btnOpen->setButtonImage(resources + QStringLiteral("/image/converted/btn_pic_open.png"), QString(), true);
    m_btnOpen->setPos((80 - m_btnOpen->width()) / 2, (80 - m_btnOpen->height()) / 2);
    m_control = new QDelegateControl(0);
    m_control->setDrawWidth(m_btnOpen->width());
    m_control->setDrawHeight(m_btnOpen->height());
    m_control->addButton(m_btnOpen);
    m_delegate->addButtonWidget(m_control);
    connect(m_btnOpen, &QZVStyleButton::emitClickIndex, this, &QEditDlg::OpenImage);

    m_scrollBar = new QZVScrollBar(m_listView);
    QInitCtrlStyle::InitZvScrollBar(m_scrollBar);
    m_listView->setVerticalScrollBar(m_scrollBar);

    connect(m_delegate, &QEditListDelegate::emitCheckStateChange, this, &QEditDlg::clickItemCheckState);
    connect(m_listView, &QAbstractItemView::doubleClicked, this, &QEditDlg::doubleClickItem);
}

void QEditDlg::setItemInfo(ZvVideoConvertItem *item)
{
    m_item = item;
}

void QEditDlg::setConverProgress(uint32_t percent, convertState state)
{
    emit sendConvertPro(percent, state);
}

void QEditDlg::setRefresh()
{
    emit sendRefresh();
}

QString QEditDlg::getOutputDir(const QString &folder, const QString &name)
{
    QDir parent(folder);
    for (unsigned int k = 0;; ++k) {
        const QString candidate = QStringLiteral("%1%2_%3").arg(folder, name, threeDigits(k));
        if (QFileInfo::exists(candidate))
            continue;
        parent.mkdir(candidate); // a folder that cannot be made fails the start
        return candidate;
    }
}

void QEditDlg::getEncodeParam(CAVEncodeParam *param) const
{
    param->ClearForBuild();
    param->SetFormat("jpeg");
    param->videoCodec = 8;
    param->width = m_item->videoWidth;
    param->height = m_item->videoHeight;
    param->quality = 100;
}

void QEditDlg::showEvent(QShowEvent *event)
{
    QZVDialogEx::showEvent(event);
    if (m_extracting || !m_item || !m_item->frames)
        return;
    m_model.setDatas(m_item->frames);
    if (m_item->frames->empty()) {
        startExtraction();
        return;
    }
    m_savedChecks.clear();
    for (IBaseChunk *frame : *m_item->frames)
        m_savedChecks.append(frame->GetCheck());
    showFrames();
}

void QEditDlg::startExtraction()
{
    if (!m_progressDlg)
        m_progressDlg = new QProgressDlg(this);
    if (!m_converter)
        m_converter = new ZVLPConverter;
    const QString base = m_item->fileName.section(QLatin1Char('.'), 0, 0);
    const QString temporary = QIAnyUtil::getAppDataPath() + QStringLiteral("/TemporaryData/");
    QDir().mkpath(temporary);
    ImageWriteInfo info;
    info.folder = getOutputDir(temporary, base);
    info.extension = QStringLiteral("JPG");
    const QString output = m_item->getValidOutputName();
    const int lastDot = output.lastIndexOf(QLatin1Char('.'));
    info.baseName = lastDot < 0 ? output : output.left(lastDot);
    CAVEncodeParam param;
    getEncodeParam(&param);
    m_key = m_item->id;
    emit sendStartLoadingData();
    m_extracting = m_converter->StartConvert(m_item->path.toUtf8().constData(), info.folder.toUtf8().constData(),
                                             &param, this, ConvertProgressCallback, ImageWriteCallback, info);
    if (!m_extracting)
        emit sendConvertFinished(false);
}

void QEditDlg::startLoadingData()
{
    if (!m_progressDlg)
        return;
    CenterDlg(m_progressDlg);
    m_progressDlg->exec();
}

void QEditDlg::ConvertProgressCallback(unsigned int percent, void *user, convertState state)
{
    emit static_cast<QEditDlg *>(user)->sendConvertPro(percent, state);
}

unsigned int QEditDlg::ImageWriteCallback(void *context, const unsigned char *data, unsigned int size)
{
    auto *info = static_cast<ImageWriteInfo *>(context);
    auto *dialog = static_cast<QEditDlg *>(info->user);
    const QString number = threeDigits(++info->counter);
    // A thumbnail that cannot be made only leaves its cell empty.
    const QString cover = QStringLiteral("%1/%2_%3_Cover.%4").arg(info->folder, info->baseName, number, info->extension);
    ZVHelper::scaleImageFromUChar(data, int(size), 200).save(cover, "JPG");
    info->coverPath = cover;
    const QString frame = QStringLiteral("%1/%2_%3.%4").arg(info->folder, info->baseName, number, info->extension);
    if (!writeFrameFile(frame, dialog->m_key, data, size))
        return 0;
    info->framePath = frame;
    auto *record = new QImageChunk;
    record->setImage(cover.toStdString());
    record->setImagePath(frame.toStdString());
    record->SetCheck(2);
    record->SetID(int(info->counter));
    dialog->handOver(record);
    emit dialog->sendRefresh();
    return size;
}

void QEditDlg::handOver(QImageChunk *record)
{
    QMutexLocker lock(&m_pendingMutex);
    m_pending.push_back(record);
}

std::vector<QImageChunk *> QEditDlg::takePending()
{
    QMutexLocker lock(&m_pendingMutex);
    std::vector<QImageChunk *> records;
    records.swap(m_pending);
    return records;
}

void QEditDlg::refreshData()
{
    for (QImageChunk *record : takePending()) {
        m_item->frames->push_back(record);
        m_savedChecks.append(2);
        m_model.insertRefeshLastRow();
    }
}

void QEditDlg::getConvertPro(uint32_t percent, convertState state)
{
    if (m_progressDlg)
        m_progressDlg->setValue(int(percent));
    if (state == ::convertFinished)
        emit sendConvertFinished(true);
    else if (state == ::convertFailed)
        endExtraction(true);
}

void QEditDlg::convertFinished(bool ok)
{
    refreshData();
    const bool unreadable = m_item->frames->empty();
    if (ok && !unreadable)
        showFrames();
    endExtraction(false);
    // An empty picker alone would not say why it is empty.
    if (unreadable)
        ShowMessage(tr("This movie cannot be read: no frame could be taken from it."), QString(), 0, false);
}

// The frames written before a failure stay, shown as a later opening would show them.
void QEditDlg::endExtraction(bool failed)
{
    m_extracting = false;
    if (failed) {
        refreshData();
        if (!m_item->frames->empty())
            showFrames();
    }
    if (m_progressDlg) {
        QProgressDlg *ring = m_progressDlg;
        m_progressDlg = nullptr;
        ring->done(QDialog::Accepted);
        ring->deleteLater();
    }
    if (failed)
        ShowMessage(tr("Not every frame of this movie could be extracted."), QString(), 0, false);
}

void QEditDlg::showFrames()
{
    m_model.loadAllData();
    m_model.refresh();
    m_chkSelectAll->setEnabled(true);
    updateSelectAll();
}

void QEditDlg::updateSelectAll()
{
    m_chkSelectAll->setCheckState(m_sortModel->getItemChangeState() == 2 ? Qt::Checked : Qt::Unchecked);
}

void QEditDlg::refreshModel()
{
    m_model.refresh();
}

void QEditDlg::onOk()
{
    accept();
}

void QEditDlg::onClose()
{
    reject();
}

// Cancel, the close button, Escape and the window manager's close all put the ticks back.
void QEditDlg::reject()
{
    if (m_item && m_item->frames && !m_item->frames->empty() && !m_savedChecks.isEmpty()) {
        const int count = std::min(int(m_item->frames->size()), m_savedChecks.size());
        for (int i = 0; i < count; ++i)
            m_item->frames->at(size_t(i))->SetCheck(m_savedChecks.at(i));
        m_model.refresh();
    }
    QZVDialogEx::reject();
}

void QEditDlg::onSelectAll()
{
    if (m_chkSelectAll->checkState() == Qt::PartiallyChecked)
        m_chkSelectAll->setCheckState(Qt::Checked);
    m_sortModel->setAllItemCheck(int(m_chkSelectAll->checkState()));
}

void QEditDlg::clickItemCheckState(const QModelIndex &index, int state)
{
    m_sortModel->itemCheckStateChanged(index, state);
    updateSelectAll();
}

void QEditDlg::imageViewerSelected(bool selected)
{
    clickItemCheckState(m_listView->currentIndex(), selected ? 2 : 0);
}

void QEditDlg::doubleClickItem(const QModelIndex &index)
{
    if (index.isValid())
        viewerImage(index);
}

void QEditDlg::OpenImage(const QModelIndex &index)
{
    if (index.isValid())
        viewerImage(index);
}

void QEditDlg::viewerImage(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_listView->setCurrentIndex(index);
    auto *record = static_cast<QImageChunk *>(m_sortModel->mapToSource(index).internalPointer());
    if (m_viewer) {
        // The box shows the tick of the frame on screen.
        m_viewer->setImageChunkAndKey(record, m_item->id);
        return;
    }
    QImageViewerDlg viewer(this);
    m_viewer = &viewer;
    viewer.setImageChunkAndKey(record, m_item->id);
    connect(&viewer, &QImageViewerDlg::emitSelected, this, &QEditDlg::imageViewerSelected);
    connect(&viewer, &QImageViewerDlg::emitNext, this, &QEditDlg::imageViewerNext);
    connect(&viewer, &QImageViewerDlg::emitPrevious, this, &QEditDlg::imageViewerPrevious);
    viewer.exec();
    m_viewer = nullptr;
}

void QEditDlg::imageViewerNext()
{
    const QModelIndex current = m_listView->currentIndex();
    if (!current.isValid())
        return;
    const int next = current.row() + 1;
    showRow(next >= m_sortModel->rowCount() ? 0 : next);
}

void QEditDlg::imageViewerPrevious()
{
    const QModelIndex current = m_listView->currentIndex();
    if (!current.isValid())
        return;
    showRow(current.row() == 0 ? m_sortModel->rowCount() - 1 : current.row() - 1);
}

void QEditDlg::showRow(int row)
{
    viewerImage(m_sortModel->index(row, 0));
}

void QEditDlg::resetControlLocation()
{
    const int w = width();
    const int h = height();
    m_listView->setGeometry(13, 30, w - 21, h - 88);
    auto bandY = [h](QWidget *control) { return (h - 58) + (50 - control->height()) / 2; };
    m_btnOK->move(w - 23 - m_btnOK->width(), bandY(m_btnOK));
    m_btnCancel->move(m_btnOK->x() - 15 - m_btnCancel->width(), bandY(m_btnCancel));
    m_chkSelectAll->move(23, bandY(m_chkSelectAll));
}

void QEditDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(8, 30, width() - 16, height() - 88, Qt::white);
}
