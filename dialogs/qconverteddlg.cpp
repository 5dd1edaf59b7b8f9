#include "qconverteddlg.h"

#include "convertedinfo.h"
#include "dialogslog.h"
#include "qcheckheaderview.h"
#include "qdelegatecontrol.h"
#include "qhistorychunk.h"
#include "qhistorylistdelegate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qvideosettingxml.h"
#include "qzvbasesortmodel.h"
#include "qzvbasestyledelegate.h"
#include "qzvmenu.h"
#include "qzvscrollbar.h"
#include "qzvstylebutton.h"
#include "taborder.h"
#include "zvcommoninterface.h"
#include "zvhistorythumbnail.h"

#include <QAction>
#include <QCursor>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kText(108, 108, 108);
const QColor kSelected(255, 218, 43);
// The grey of the other rows reads at 3.8:1 on the yellow; this one at 7:1.
const QColor kSelectedText(68, 68, 68);

QString resource(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

// Records written before the history took the format popup's names say "JPEG".
QString shownFormat(const QString &stored)
{
    return stored == QLatin1String("JPEG") ? QStringLiteral("JPG") : stored;
}

} // namespace

QConvertedDlg::QConvertedDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("History"));
    QInitCtrlStyle::InitBg1(this);
    setDlgTitle(QStringLiteral("History"));
    initControls();
    InitMenu();
    initTableView();
    initListView();
    AnalyXmlToList();
    showMode(true);
    setFixedSize(548, 600);
    // The views, then the bottom band from left to right.
    TabOrder::chain({m_tableView, m_listView, m_btnTable, m_btnIconList, m_editSearch, m_btnDeleteAll});
}

QConvertedDlg::~QConvertedDlg()
{
    // The views go first and take their proxy, delegates, header and scroll bars with
    // them, so nothing can paint or hover a record once it is freed.
    delete m_listView;
    delete m_tableView;
    delete m_delegateControl;
    delete m_listDelegateControl;
    delete m_btnSearch;
    delete m_btnDelete;
    delete m_btnListDelete;
    if (m_datas)
        qDeleteAll(*m_datas);
    delete m_datas;
}

void QConvertedDlg::initControls()
{
    addCloseBtn(resource("/image/btn_close.png"), true);
    addMinBtn(resource("/image/btn_min.png"), true);
    addMaxBtn(resource("/image/btn_max.png"), true);
    m_tableView->show();
    m_listView->hide();
    connect(m_btnTitleClose, &QAbstractButton::clicked, this, &QWidget::close);
    connect(m_btnDeleteAll, &QAbstractButton::clicked, this, &QConvertedDlg::onDeleteAll);

    m_btnTable->setButtonImage(resource("/image/converted/btn_list.png"), true);
    m_btnIconList->setButtonImage(resource("/image/converted/btn_Thumbnail.png"), true);
    m_btnTable->setCheckable(true);
    m_btnIconList->setCheckable(true);
    QInitCtrlStyle::InitZVButton(m_btnDeleteAll, 80, 24);
    connect(m_btnTable, &QAbstractButton::clicked, this, &QConvertedDlg::OnBtnList);
    connect(m_btnIconList, &QAbstractButton::clicked, this, &QConvertedDlg::OnBtnThumbnail);

    m_editSearch->setPlaceholderText(tr("Search"));
    m_editSearch->setBackgroundImage(resource("/image/converted/search.png"));
    m_editSearch->setRectIcon(resource("/image/converted/serch_ico.png"));
    m_editSearch->setIconRect(QRect(5, -1, 0, 0));
    m_editSearch->setTextMargins(22, 0, 0, 0);
    QInitCtrlStyle::InitFont(m_editSearch, 12);
    QInitCtrlStyle::InitPalette(m_editSearch, QPalette::Text, QColor(212, 212, 212));
    m_editSearch->setPlaceholderTextColor(QColor(180, 180, 180), true);
    m_editSearch->resize(125, 25);
    connect(m_editSearch, &QLineEdit::textChanged, this, &QConvertedDlg::OnSearchString);
}

void QConvertedDlg::InitMenu()
{
    m_actDelete = new QAction(tr("&Delete"), this);
    m_actDeleteAll = new QAction(tr("Delete All"), this);
    m_actFindFile = new QAction(tr("Find File"), this);
    m_menu = new QZVMenu(this);
    QInitCtrlStyle::InitZvMenu(m_menu);
    connect(m_actDelete, &QAction::triggered, this, &QConvertedDlg::ActDeleteFile);
    connect(m_actDeleteAll, &QAction::triggered, this, &QConvertedDlg::ActDeleteAll);
    connect(m_actFindFile, &QAction::triggered, this, &QConvertedDlg::ActFindFile);
}

void QConvertedDlg::initTableView()
{
    m_datas = new std::vector<IBaseChunk *>;
    m_tableView->setAcceptDrops(true);
    m_tableView->setMouseTracking(true);
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tableView->setDragDropMode(QAbstractItemView::DragDrop);
    m_tableView->verticalHeader()->hide();
    m_tableView->setShowGrid(false);
    m_tableView->setSortingEnabled(true);
    m_tableView->setAlternatingRowColors(true);
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->verticalHeader()->setDefaultSectionSize(27);
    m_tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_model.setHeaderList({tr("Name"), tr("Resolution"), tr("Format"), tr("Created Time"), QString()});

    m_sortModel = new QZVBaseSortModel(m_tableView);
    m_sortModel->setSourceModel(&m_model);
    m_sortModel->setDynamicSortFilter(true);
    m_sortModel->setFilterKeyColumn(-1);
    m_sortModel->setItemBgColor(kWhite, kWhite);
    m_sortModel->setHoverBgColor(QColor(243, 243, 243), kText);
    m_sortModel->setItemTextColor(kText, kText);
    m_tableView->setModel(m_sortModel);
    m_tableView->setSortModel(m_sortModel);
    m_tableView->setSourceModel(&m_model);
    m_model.setDatas(m_datas);

    m_styleDelegate = new QZVBaseStyleDelegate(m_tableView);
    m_styleDelegate->setBottomLineColor(QColor(231, 231, 231));
    m_styleDelegate->setSelectedBackgroundColor(kSelected);
    m_styleDelegate->setSelectedTextColor(kSelectedText);
    m_btnSearch = new QZVStyleButton;
    m_btnSearch->setText(QStringLiteral("sreach"));
    m_btnSearch->setButtonImage(resource("/image/converted/btn_sreach.png"), resource("/image/converted/btn_sreach.png"), true);
    m_btnDelete = new QZVStyleButton;
    m_btnDelete->setText(QStringLiteral("delete"));
    m_btnDelete->setButtonImage(resource("/image/converted/btn_list_delete.png"),
                                resource("/image/converted/btn_list_delete.png"), true);
    m_delegateControl = new QDelegateControl(4);
    m_delegateControl->addButton(m_btnSearch);
    m_delegateControl->addButton(m_btnDelete);
    m_delegateControl->setDrawSpacing(10);
    m_delegateControl->setDrawWidth(std::max(m_btnSearch->width(), m_btnDelete->width()));
    m_delegateControl->setDrawHeight(std::max(m_btnSearch->height(), m_btnDelete->height()));
    m_delegateControl->refreshAllWidgetWidth();
    m_styleDelegate->addButtonWidget(m_delegateControl);
    m_tableView->setItemDelegate(m_styleDelegate);
    m_tableView->setStyleDelegate(m_styleDelegate);
    connect(m_btnSearch, &QZVStyleButton::emitClickIndex, this, &QConvertedDlg::OpenFile);
    connect(m_btnDelete, &QZVStyleButton::emitClickIndex, this, &QConvertedDlg::DeleteItemFile);
    m_tableView->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_tableView->setStyleSheet(QStringLiteral("QTableView{border:none;background:%1;}").arg(kWhite.name()));

    // Made on the heap for the table: the table owns and deletes its header.
    m_header = new QCheckHeaderView(Qt::Horizontal, m_tableView);
    m_header->setBackgroundImage(resource("/image/converted/header_bg.png"));
    m_header->setSlipImage(resource("/image/converted/header_slip.png"));
    m_header->setSelBackgroundImage(resource("/image/converted/header_select_bg.png"));
    m_header->setOrderFlagsImage(resource("/image/converted/order_flag_up.png"));
    m_header->setTextColor(QColor(53, 53, 53));
    m_header->setFixedHeight(23); // after the background, which sets its pixel height
    m_header->setSectionsClickable(true);
    m_header->setCheckVisable(false);
    m_header->setStretchLastSection(true);
    m_tableView->setHorizontalHeader(m_header);
    m_header->setDefaultSectionSize(25);
    const int widths[] = {140, 95, 70, 140, 70};
    for (int column = 0; column < 5; ++column)
        m_header->resizeSection(column, widths[column]);
    m_tableView->sortByColumn(0, Qt::AscendingOrder);
    m_header->setMinimumSectionSize(66);

    m_tableVScrollBar = new QZVScrollBar(m_tableView);
    QInitCtrlStyle::InitZvScrollBar(m_tableVScrollBar);
    m_tableView->setVerticalScrollBar(m_tableVScrollBar);
    m_tableHScrollBar = new QZVScrollBar(Qt::Horizontal, m_tableView);
    QInitCtrlStyle::InitZvScrollBar(m_tableHScrollBar);
    m_tableView->setHorizontalScrollBar(m_tableHScrollBar);
    connect(m_tableView, &QAbstractItemView::pressed, this, &QConvertedDlg::ClickItemView);
    connect(m_tableView, &QWidget::customContextMenuRequested, this, &QConvertedDlg::showTableMenu);
}

void QConvertedDlg::initListView()
{
    m_listView->setStyleSheet(QStringLiteral("QListView{background:%1;}").arg(kWhite.name()));
    m_listView->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_listView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->setViewMode(QListView::IconMode);
    m_listView->setMovement(QListView::Static);
    m_model.setItemSize(98, 113);
    m_listView->setGridSize(QSize(100, 115));
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->setModel(m_sortModel);
    m_listView->setSortModel(m_sortModel);
    m_listView->setSourceModel(&m_model);
    // One selection for both views: a switch keeps it.
    QItemSelectionModel *own = m_listView->selectionModel();
    m_listView->setSelectionModel(m_tableView->selectionModel());
    delete own;
    m_listView->SetToolTip(true);

    m_listDelegate = new QHistoryListDelegate(m_listView);
    m_listDelegate->setImageDrawType(QBaseIconListDelegate::CentreCrop);
    QFont font = m_listView->font();
    font.setFamily(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    m_listDelegate->setFont(font);
    m_listDelegate->setAlignment(Qt::AlignBottom | Qt::AlignHCenter);
    m_listDelegate->setDrawTextMargins(3, 88, 3, 5);
    m_listDelegate->setImageMargins(10, 5, 10, 28);
    m_listDelegate->setSelectedBackgroundColor(kSelected);
    m_listDelegate->setSelectTextColor(kSelectedText);
    m_listView->setItemDelegate(m_listDelegate);
    m_listView->setStyleDelegate(m_listDelegate);

    m_listVScrollBar = new QZVScrollBar(m_listView);
    QInitCtrlStyle::InitZvScrollBar(m_listVScrollBar);
    m_listView->setVerticalScrollBar(m_listVScrollBar);

    m_btnListDelete = new QZVStyleButton;
    m_btnListDelete->setText(QStringLiteral("delete"));
    m_btnListDelete->setButtonImage(resource("/image/converted/btn_Thmbnail_delet.png"),
                                    resource("/image/converted/btn_Thmbnail_delet.png"), true);
    m_btnListDelete->setPos(73, 5);
    m_listDelegateControl = new QDelegateControl(0);
    m_listDelegateControl->addButton(m_btnListDelete);
    m_listDelegateControl->setDrawWidth(m_btnListDelete->width());
    m_listDelegateControl->setDrawHeight(m_btnListDelete->height());
    m_listDelegate->addButtonWidget(m_listDelegateControl);
    connect(m_btnListDelete, &QZVStyleButton::emitClickIndex, this, &QConvertedDlg::deleteItem);
    connect(m_listView, &QAbstractItemView::pressed, this, &QConvertedDlg::listClickItemView);
    connect(m_listView, &QWidget::customContextMenuRequested, this, &QConvertedDlg::listShowTableMenu);
}

void QConvertedDlg::AnalyXmlToList()
{
    if (!m_historyList) {
        m_historyList = new QList<convertedInfo *>;
        QVideoSettingXml::analysisConvertedInfo(m_historyList);
    }
    for (convertedInfo *info : qAsConst(*m_historyList)) {
        // An entry whose output is gone is hidden but stays in the store.
        if (!QFileInfo::exists(info->convertedPath))
            continue;
        if (!QFileInfo::exists(info->imgPath))
            info->imgPath = ZVHistoryThumbnail::make(info->convertedPath);
        addRecord(*info);
    }
    m_model.refresh();
    if (!m_datas->empty())
        m_tableView->setCurrentIndex(m_sortModel->index(0, 0));
    qDeleteAll(*m_historyList);
    delete m_historyList;
    m_historyList = nullptr;
    hideViewsWhenEmpty();
}

void QConvertedDlg::addRecord(const convertedInfo &info)
{
    auto *record = new QHistoryChunk;
    record->SetFilePath(info.convertedPath.toStdString());
    record->SetTitle(info.title.toStdString());
    record->SetCreateTime(info.createTime.toStdString());
    record->SetFormat(shownFormat(info.format).toStdString());
    record->SetResolution(info.resolution.toStdString());
    record->setImage(info.imgPath.toStdString());
    m_datas->push_back(record);
}

void QConvertedDlg::hideViewsWhenEmpty()
{
    if (!m_datas->empty())
        return;
    m_tableView->hide();
    m_listView->hide();
}

void QConvertedDlg::showMode(bool table)
{
    m_model.setIsIcon(!table);
    m_btnTable->setChecked(table);
    m_btnTable->setEnabled(!table);
    m_btnIconList->setChecked(!table);
    m_btnIconList->setEnabled(table);
    if (m_datas->empty()) {
        hideViewsWhenEmpty();
        return;
    }
    m_tableView->setVisible(table);
    m_listView->setVisible(!table);
}

void QConvertedDlg::OnBtnList()
{
    showMode(true);
}

void QConvertedDlg::OnBtnThumbnail()
{
    showMode(false);
}

void QConvertedDlg::OnSearchString(const QString &text)
{
    if (!m_datas || m_datas->empty())
        return;
    m_sortModel->setFilterRegExp(QRegExp(text, Qt::CaseInsensitive, QRegExp::RegExp));
}

void QConvertedDlg::ClickItemView(const QModelIndex &index)
{
    if (index.isValid())
        m_pressPos = QCursor::pos();
}

void QConvertedDlg::listClickItemView(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_pressPos = QCursor::pos();
    m_listIndex = index;
}

void QConvertedDlg::showTableMenu(const QPoint &)
{
    showMenu({m_actDelete});
}

void QConvertedDlg::listShowTableMenu(const QPoint &)
{
    showMenu({m_actDelete, m_actFindFile});
}

// The row actions are enabled only when the right-click landed on the row pressed last.
void QConvertedDlg::showMenu(const QList<QAction *> &rowActions)
{
    m_menu->clear();
    m_menu->addAction(m_actDelete);
    m_menu->addAction(m_actDeleteAll);
    if (rowActions.contains(m_actFindFile))
        m_menu->addAction(m_actFindFile);
    const bool onRow = QCursor::pos() == m_pressPos;
    for (QAction *action : rowActions)
        action->setEnabled(onRow);
    m_actDeleteAll->setEnabled(true);
    const QPoint at = onRow ? m_pressPos : QCursor::pos();
    if (onRow)
        m_pressPos = QPoint(-1, -1);
    m_menu->popup(at);
}

QHistoryChunk *QConvertedDlg::recordAt(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid())
        return nullptr;
    return static_cast<QHistoryChunk *>(m_sortModel->mapToSource(proxyIndex).internalPointer());
}

void QConvertedDlg::revealRecord(const QHistoryChunk *record) const
{
    if (record)
        ZvCommonInterface::showFileInFolder(record->GetFilePath());
}

void QConvertedDlg::OpenFile(const QModelIndex &index)
{
    revealRecord(recordAt(index));
}

void QConvertedDlg::ActFindFile()
{
    const QHistoryChunk *record = recordAt(m_listIndex);
    if (!record)
        return;
    qCDebug(lcDialogs) << "find file" << QString::fromStdString(record->GetFilePath());
    revealRecord(record);
}

void QConvertedDlg::resetControlLocation()
{
    const int w = width();
    const int h = height();
    m_listView->setGeometry(22, 30, w - 30, h - 88);
    m_tableView->setGeometry(8, 30, w - 16, h - 88);
    auto bandY = [h](QWidget *control) { return h - 58 + (50 - control->height()) / 2; };
    m_btnDeleteAll->move(w - 23 - m_btnDeleteAll->width(), bandY(m_btnDeleteAll));
    m_btnTable->move(23, bandY(m_btnTable));
    m_btnIconList->move(m_btnTable->geometry().right(), bandY(m_btnIconList));
    m_editSearch->move(m_btnIconList->geometry().right() + 15, bandY(m_editSearch));
}

void QConvertedDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    // Covered by the views; it shows only once both are hidden.
    QPixmap picture(resource("/image/Converted/bg_noFile.png"));
    picture.setDevicePixelRatio(2.0);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap((width() - picture.width() / 2) / 2, (height() - picture.height() / 2) / 2, picture);
}
