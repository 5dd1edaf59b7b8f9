// Selection, the context menu and the commands on rows.
#include "qmaindlg.h"

#include "mainwindow.h"
#include "qeditdlg.h"
#include "qinitctrlstyle.h"
#include "qplaydlg.h"
#include "qzvmenu.h"
#include "videoconvertbar.h"
#include "zvcommoninterface.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include "qscrollareaframeselection.h"

#include <QCursor>
#include <QFile>
#include <QMouseEvent>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

VideoConvertBar *senderBar(QObject *sender)
{
    return qobject_cast<VideoConvertBar *>(sender);
}

} // namespace

void QMainDlg::InitMenu()
{
    m_menu = new QZVMenu(this);
    QInitCtrlStyle::InitZvMenu(m_menu);
    m_actPlay = new QAction(tr("Play"), this);
    m_actConvert = new QAction(tr("Convert"), this);
    m_actRename = new QAction(tr("Rename"), this);
    m_actOpenFile = new QAction(tr("Open File"), this);
    m_actDelete = new QAction(tr("&Delete"), this);
    m_actDeleteAll = new QAction(tr("Delete All"), this);
    m_actImport = new QAction(tr("Import"), this);
    m_actClearInvalid = new QAction(tr("Clear invalid files"), this);
    m_menu->addAction(m_actConvert);
    m_menu->addAction(m_actRename);
    m_menu->addSeparator();
    m_menu->addAction(m_actOpenFile);
    m_menu->addAction(m_actDelete);
    m_menu->addAction(m_actDeleteAll);
    m_menu->addSeparator();
    m_menu->addAction(m_actImport);
    m_menu->addAction(m_actClearInvalid);
    connect(m_actPlay, &QAction::triggered, this, &QMainDlg::OnACtionPlay);
    connect(m_actConvert, &QAction::triggered, this, &QMainDlg::OnACtionConvert);
    connect(m_actRename, &QAction::triggered, this, &QMainDlg::OnACtionRename);
    connect(m_actOpenFile, &QAction::triggered, this, &QMainDlg::OnACtionOpenFile);
    connect(m_actDelete, &QAction::triggered, this, &QMainDlg::OnACtionDelete);
    connect(m_actDeleteAll, &QAction::triggered, this, &QMainDlg::OnACtionDeleteAll);
    connect(m_actImport, &QAction::triggered, this, &QMainDlg::OnACtionImport);
    connect(m_actClearInvalid, &QAction::triggered, this, &QMainDlg::OnACtionClearInvalidFile);
}

// Window-wide, since the pane itself rarely holds the focus; a focused text field keeps
// these keys for its own editing.
void QMainDlg::InitKeys()
{
    auto *selectAll = new QShortcut(QKeySequence::SelectAll, this);
    connect(selectAll, &QShortcut::activated, this, &QMainDlg::SelectAllItem);
    auto *remove = new QShortcut(QKeySequence::Delete, this);
    connect(remove, &QShortcut::activated, this, [this] {
        if (!MainWindow::isConverting())
            OnACtionDelete();
    });
}

void QMainDlg::respondMouseStateEmit()
{
    VideoConvertBar *bar = senderBar(sender());
    for (VideoConvertBar *other : qAsConst(m_allBarList)) {
        if (other != bar)
            other->setMouseState(ConvertMouseNone);
    }
    m_pressBar = m_shiftBar = bar;
    emit emitPressItem();
}

void QMainDlg::shiftMouseStateEmit()
{
    VideoConvertBar *bar = senderBar(sender());
    m_pressBar = bar;
    const int anchor = m_shiftBar ? m_allBarList.indexOf(m_shiftBar) : 0;
    const int clicked = m_allBarList.indexOf(bar);
    const int lo = qMin(anchor, clicked);
    const int hi = qMax(anchor, clicked);
    for (int j = 0; j < m_allBarList.size(); ++j)
        m_allBarList.at(j)->setMouseState(j >= lo && j <= hi ? ConvertMouseSelected : ConvertMouseNone);
}

void QMainDlg::ctrlMouseStateEmit()
{
    m_pressBar = m_shiftBar = senderBar(sender());
}

void QMainDlg::SelectAllItem()
{
    for (VideoConvertBar *bar : qAsConst(m_allBarList))
        bar->setMouseState(ConvertMouseSelected);
}

void QMainDlg::selectPtChange(QPoint start, QPoint end)
{
    const int lo = qMin(start.y(), end.y());
    const int hi = qMax(start.y(), end.y());
    for (VideoConvertBar *bar : qAsConst(m_allBarList)) {
        const int top = bar->y();
        const int bottom = bar->y() + bar->height();
        const bool met = (lo < top && top < hi) || (lo < bottom && bottom < hi)
                         || (top <= start.y() && start.y() <= bottom);
        bar->setMouseState(met ? ConvertMouseSelected : ConvertMouseNone);
    }
}

// The menu's commands act on the row under the cursor, selected before or not.
void QMainDlg::respondShowTreeMenu()
{
    if (VideoConvertBar *bar = senderBar(sender()))
        m_pressBar = bar;
    if (!m_pressBar)
        return;
    const int state = m_pressBar->getConvertState();
    const bool idle = state == BarIdle || state == BarDone;
    m_actConvert->setEnabled(idle);
    m_actRename->setEnabled(idle);
    m_actPlay->setEnabled(idle);
    m_actOpenFile->setEnabled(true);
    if (idle) {
        m_actDelete->setEnabled(true);
        m_actDeleteAll->setEnabled(true);
    }
    m_actImport->setEnabled(true);
    m_actClearInvalid->setEnabled(true);
    if (MainWindow::isConverting()) {
        m_actImport->setEnabled(false);
        m_actDelete->setEnabled(false);
        m_actDeleteAll->setEnabled(false);
        m_actClearInvalid->setEnabled(false);
    }
    m_menu->popup(QCursor::pos());
}

void QMainDlg::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::RightButton || MainWindow::isConverting())
        return;
    // No row lies under the cursor: nothing that acts on one is offered.
    for (QAction *onRow : {m_actPlay, m_actConvert, m_actRename, m_actOpenFile, m_actDelete})
        onRow->setEnabled(false);
    m_actDeleteAll->setEnabled(true);
    m_actClearInvalid->setEnabled(true);
    m_menu->popup(QCursor::pos());
}

void QMainDlg::forgetRow(VideoConvertBar *bar)
{
    m_listLayout->removeWidget(bar);
    for (VideoConvertBar **ref : {&m_pressBar, &m_shiftBar, &m_curBar, &m_playBar}) {
        if (*ref == bar)
            *ref = nullptr;
    }
}

// Removes row index and its queue item; the row is detached first because its
// deletion is deferred and a paint before then would read the item.
void QMainDlg::destroyRowAt(int index)
{
    VideoConvertBar *bar = m_allBarList.takeAt(index);
    forgetRow(bar);
    m_showBarList.removeAll(bar);
    m_convertList.removeAll(bar);
    m_convertingList.removeAll(bar);
    bar->detachItem();
    bar->deleteLater();
    queue()->DeleteItemAt(index);
}

void QMainDlg::hideListWhenEmpty()
{
    if (!m_allBarList.isEmpty())
        return;
    scrollArea->hide();
    emit seedIsAddItem(false);
}

void QMainDlg::respondDeleteEmit()
{
    m_curBar = senderBar(sender());
    OnBarbtnDelete();
}

void QMainDlg::OnBarbtnDelete()
{
    if (!m_curBar || !m_showBarList.contains(m_curBar))
        return;
    destroyRowAt(m_allBarList.indexOf(m_curBar));
    if (m_showBarList.isEmpty())
        SearchTextChanged(m_strSearch);
    hideListWhenEmpty();
}

void QMainDlg::ActionDeleteBar()
{
    if (!m_pressBar || !m_showBarList.contains(m_pressBar))
        return;
    destroyRowAt(m_allBarList.indexOf(m_pressBar));
    if (m_allBarList.isEmpty())
        scrollArea->hide();
}

void QMainDlg::OnACtionDelete()
{
    int i = 0;
    while (i < m_allBarList.size()) {
        VideoConvertBar *bar = m_allBarList.at(i);
        if (bar->getMouseState() == ConvertMouseSelected && m_showBarList.contains(bar))
            bar->OnBtnDelete(); // the row leaves the list: the same index holds the next one
        else
            ++i;
    }
}

void QMainDlg::OnACtionDeleteAll()
{
    ActionDeleteALL();
}

void QMainDlg::ActionDeleteALL()
{
    m_pressBar = nullptr;
    OnStopConvert();
    // No report of the stopped job may reach the pane: its row is going.
    m_convertingList.clear();
    for (int i = m_allBarList.size() - 1; i >= 0; --i) {
        if (m_showBarList.contains(m_allBarList.at(i)))
            destroyRowAt(i);
    }
    SearchTextChanged(m_strSearch);
    hideListWhenEmpty();
}

void QMainDlg::OnACtionClearInvalidFile()
{
    for (int i = m_allBarList.size() - 1; i >= 0; --i) {
        if (!QFile::exists(m_allBarList.at(i)->getVideoPath()))
            destroyRowAt(i);
    }
}

void QMainDlg::respondEditEmit()
{
    VideoConvertBar *bar = senderBar(sender());
    if (!bar)
        return;
    QEditDlg dialog(this);
    dialog.setItemInfo(bar->videoItem());
    dialog.exec();
}

void QMainDlg::showPlayFile(VideoConvertBar *bar)
{
    m_playBar = bar;
    m_playDlg->setPlayFileName(bar->getVideoName());
    m_playDlg->setPlayFile(bar->getVideoPath());
}

void QMainDlg::respondPlayEmit()
{
    VideoConvertBar *bar = senderBar(sender());
    if (!bar)
        return;
    if (!m_playDlg) {
        m_playDlg = new QPlayDlg;
        connect(m_playDlg, &QPlayDlg::emitPreFile, this, &QMainDlg::OnBtnPrevious);
        connect(m_playDlg, &QPlayDlg::emitNextFile, this, &QMainDlg::OnBtnNext);
    }
    showPlayFile(bar);
    if (m_playDlg->isHidden())
        m_playDlg->exec();
}

void QMainDlg::OnBtnNext()
{
    if (m_allBarList.isEmpty() || !m_playDlg)
        return;
    const int at = m_allBarList.indexOf(m_playBar);
    showPlayFile(m_allBarList.at(at < 0 || at + 1 >= m_allBarList.size() ? 0 : at + 1));
}

void QMainDlg::OnBtnPrevious()
{
    if (m_allBarList.isEmpty() || !m_playDlg)
        return;
    const int at = m_allBarList.indexOf(m_playBar);
    showPlayFile(m_allBarList.at(at <= 0 ? m_allBarList.size() - 1 : at - 1));
}

void QMainDlg::respondFileEmit()
{
    if (VideoConvertBar *bar = senderBar(sender()))
        ZvCommonInterface::showFileInFolder(bar->getVideoPath().toUtf8().toStdString());
}

void QMainDlg::OnACtionOpenFile()
{
    if (m_pressBar)
        ZvCommonInterface::showFileInFolder(m_pressBar->getVideoPath().toUtf8().toStdString());
}

void QMainDlg::OnACtionRename()
{
    if (m_pressBar)
        m_pressBar->OnBtnEditName();
}

void QMainDlg::OnACtionConvert()
{
    if (m_pressBar)
        startBatch({m_pressBar});
}

void QMainDlg::OnACtionPlay() {}
