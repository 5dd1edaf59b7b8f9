// The batch: one job at a time, overall progress, finish reports, history records,
// stop, and the action after the batch.
#include "qmaindlg.h"

#include "convertedinfo.h"
#include "listlog.h"
#include "mmc.h"
#include "qconverterprogresswgt.h"
#include "qvideosettingxml.h"
#include "qzvmessagedlg.h"
#include "showmessage.h"
#include "videoconvertbar.h"
#include "zvcommoninterface.h"
#include "zvhistorythumbnail.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include <QFile>
#include "qscrollareaframeselection.h"
#include <QTimer>

namespace {

constexpr int kSchedulerIntervalMs = 100;

} // namespace

void QMainDlg::OnStartToCoverter()
{
    startBatch(m_allBarList);
}

void QMainDlg::startBatch(const QList<VideoConvertBar *> &rows)
{
    if (rows.isEmpty())
        return;
    m_convertList = rows;
    m_nConvertedCount = 0;
    m_nConvertCount = 0;
    ZvVideoConvertItem::resetConvetedPathList();
    for (VideoConvertBar *bar : rows)
        m_nConvertCount += unsigned(bar->getConvertCount());
    OnConverterAllCheck();
}

void QMainDlg::OnConverterAllCheck()
{
    MMC_SetConvertingMode(1);
    emit emitIsStartConverter(true);
    for (VideoConvertBar *bar : qAsConst(m_convertList))
        bar->WaitConverVideo();
    m_convertingList.clear();
    m_converterTimer->start(kSchedulerIntervalMs);
}

void QMainDlg::OnConverterTimer()
{
    if (!m_convertingList.isEmpty())
        return;
    VideoConvertBar *next = nullptr;
    for (VideoConvertBar *bar : qAsConst(m_convertList)) {
        if (bar->getConvertState() == BarWaiting) {
            next = bar;
            break;
        }
    }
    if (!next)
        return;
    m_convertingList.append(next);
    // A start that cannot run reports its failed finish from inside this call.
    next->StartToConvertVideo(false, true);
}

void QMainDlg::convertOnePro(unsigned int percent)
{
    if (m_nConvertCount == 0)
        return;
    m_convertProgressWgt->setValue(int((m_nConvertedCount * 100 + percent) / m_nConvertCount));
}

void QMainDlg::converterFinishCount(bool ok)
{
    auto *bar = qobject_cast<VideoConvertBar *>(sender());
    // A deleted row's or an earlier batch's late report belongs to no running job.
    if (!bar || !m_convertingList.contains(bar))
        return;
    ++m_nConvertedCount;
    if (!ok) {
        bar->FailConverVideo();
        if (!bar->failureReason().isEmpty())
            m_batchFailures << QStringLiteral("%1: %2").arg(bar->getVideoName(), bar->failureReason());
    }
    m_convertList.removeAll(bar);
    m_convertingList.removeAll(bar);
    if (m_convertList.isEmpty())
        emit emitIsStartConverter(false);
    if (ok)
        saveHistory(bar);
    else
        bar->removeOwnOutput();
    hideListWhenEmpty();
    if (!m_convertList.isEmpty())
        return;
    m_converterTimer->stop();
    runAfterBatchAction();
    reportBatchFailures();
}

void QMainDlg::reportBatchFailures()
{
    if (m_batchFailures.isEmpty())
        return;
    const QString text = tr("These items were not converted:") + QStringLiteral("\n\n")
                         + m_batchFailures.join(QLatin1Char('\n'));
    m_batchFailures.clear();
    // Shown once the row's report has been handled: a modal run inside it could let the
    // user remove the row that is reporting.
    QTimer::singleShot(0, this, [text] { ShowMessage(text, tr("Convert"), QZVMessageDlg::WarningIcon, false); });
}

void QMainDlg::saveHistory(VideoConvertBar *bar)
{
    const int index = m_allBarList.indexOf(bar);
    if (index >= 0)
        m_allBarList.removeAt(index);
    m_showBarList.removeAll(bar);
    forgetRow(bar);
    ZvVideoConvertItem *item = bar->videoItem();
    queue()->RemoveOne(item);

    convertedInfo info;
    bar->getConvertedInfo(info);
    info.imgPath = ZVHistoryThumbnail::renew(info.convertedPath);
    QVideoSettingXml::SaveConvertedInfo(&info);
    emit emitConvertedFinish();

    bar->detachItem();
    delete item;
    bar->deleteLater(); // it is the sender of the report being handled
}

void QMainDlg::runAfterBatchAction()
{
    const QString value = QVideoSettingXml::GetItemValue(QStringLiteral("SHOWDOWN_ITEM"),
                                                         QStringLiteral("Finished_All_Job"), QStringLiteral("0"));
    bool number = false;
    const int action = value.toInt(&number);
    if (!number)
        return;
    if (action == 1) {
        qCDebug(lcList) << "\n\n\nSleep---------\n\n\n";
        ZvCommonInterface::sleepComputer();
    } else if (action == 2) {
        qCDebug(lcList) << "\n\n\ndown---------\n\n\n";
        ZvCommonInterface::shutdownComputer();
    }
}

void QMainDlg::converterFinishItemTrim(bool ok)
{
    auto *bar = qobject_cast<VideoConvertBar *>(sender());
    if (!ok && bar)
        QFile::remove(bar->getOutputPath());
}

void QMainDlg::OnStopConvert()
{
    m_converterTimer->stop();
    const QList<VideoConvertBar *> batch = m_convertList;
    for (VideoConvertBar *bar : batch)
        bar->StopConverVideo();
    m_convertList.clear();
    emit emitIsStartConverter(false);
}

void QMainDlg::startConverterChange(bool converting)
{
    scrollArea->setEnabled(!converting);
    m_convertProgressWgt->setVisible(converting);
    m_convertProgressWgt->setValue(0);
    if (converting)
        m_convertProgressWgt->raise();
    else
        m_convertProgressWgt->lower();
}

// Called on every change of the output format, which each row shows.
void QMainDlg::setEditBtnEnable(bool enabled)
{
    for (VideoConvertBar *bar : qAsConst(m_allBarList)) {
        bar->setEditBtnEnabled(enabled);
        bar->update();
    }
}

void QMainDlg::addConvertProgress()
{
    ++m_nConvertedCount;
}
