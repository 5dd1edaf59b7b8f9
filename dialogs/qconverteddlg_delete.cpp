// The history dialog's deletions: every path asks first, maps its rows to records before
// anything changes, and takes the records out of the model before freeing them.
#include "qconverteddlg.h"

#include "askmessagedlg.h"
#include "convertedinfo.h"
#include "deletionreport.h"
#include "qhistorychunk.h"
#include "qoutputdeleter.h"
#include "qvideosettingxml.h"
#include "qzvbasesortmodel.h"
#include "showmessage.h"
#include "zvhistorythumbnail.h"

#include <QHash>

namespace {

QString pathOf(const IBaseChunk *record)
{
    return QString::fromStdString(static_cast<const QHistoryChunk *>(record)->GetFilePath());
}

// Every output path the store holds, whether or not the output still exists, with the
// identity recorded when it was written (empty in older or hand-written entries).
QHash<QString, QString> recordedIdentities()
{
    QList<convertedInfo *> entries;
    QVideoSettingXml::analysisConvertedInfo(&entries);
    QHash<QString, QString> identities;
    for (const convertedInfo *entry : qAsConst(entries))
        identities.insert(entry->convertedPath, entry->identity);
    qDeleteAll(entries);
    return identities;
}

// An output still on the disk stays listed; a folder that lost its stills holds nothing
// of ours any more.
bool keepsRecord(QOutputDeleter::Result result)
{
    return result == QOutputDeleter::Changed || result == QOutputDeleter::Refused || result == QOutputDeleter::Remained;
}

} // namespace

int QConvertedDlg::askDelete(const QString &question, bool centred)
{
    AskMessageDlg ask;
    ask.setMsgText(question);
    if (centred)
        CenterDlg(ask);
    return ask.exec();
}

void QConvertedDlg::DeleteItemFile(const QModelIndex &index)
{
    if (QHistoryChunk *record = recordAt(index))
        deleteRecords({record}, true);
}

void QConvertedDlg::deleteItem(const QModelIndex &index)
{
    if (QHistoryChunk *record = recordAt(index))
        deleteRecords({record}, false);
}

void QConvertedDlg::ActDeleteFile()
{
    std::vector<QHistoryChunk *> chosen;
    for (const QModelIndex &row : m_tableView->selectionModel()->selectedRows()) {
        if (QHistoryChunk *record = recordAt(row))
            chosen.push_back(record);
    }
    if (!chosen.empty())
        deleteRecords(chosen, true);
}

void QConvertedDlg::deleteRecords(const std::vector<QHistoryChunk *> &chosen, bool centred)
{
    const int mode = askDelete(tr("Do you want to delete the seleted files or just move \nthe files from the list?"),
                               centred);
    if (mode == AskMessageDlg::Cancelled)
        return;
    QStringList paths;
    for (const QHistoryChunk *record : chosen)
        paths << pathOf(record);
    const QStringList kept = disposeFile(paths, mode);
    std::vector<IBaseChunk *> gone;
    for (QHistoryChunk *record : chosen) {
        if (!kept.contains(pathOf(record)))
            gone.push_back(record);
    }
    dropRecords(gone);
}

void QConvertedDlg::onDeleteAll()
{
    ActDeleteAll();
}

void QConvertedDlg::ActDeleteAll()
{
    if (m_datas->empty())
        return;
    const int mode = askDelete(tr("Do you want to delete all files or just move the \nfiles from the list?"), true);
    if (mode == AskMessageDlg::Cancelled)
        return;
    const QStringList recorded = recordedIdentities().keys();
    // Entries whose outputs are gone leave the store here.
    const QStringList existing = QVideoSettingXml::GetConvertedPath();
    for (const QString &path : recorded) {
        if (!existing.contains(path))
            ZVHistoryThumbnail::remove(path);
    }
    const QStringList kept = disposeFile(existing, mode);
    std::vector<IBaseChunk *> gone;
    std::copy_if(m_datas->begin(), m_datas->end(), std::back_inserter(gone),
                 [&kept](const IBaseChunk *record) { return !kept.contains(pathOf(record)); });
    dropRecords(gone);
}

QStringList QConvertedDlg::disposeFile(const QStringList &paths, int mode)
{
    const QHash<QString, QString> identities =
        mode == AskMessageDlg::DeleteFiles ? recordedIdentities() : QHash<QString, QString>();
    DeletionReport report;
    QStringList kept;
    QStringList removed;
    for (const QString &path : paths) {
        if (mode == AskMessageDlg::DeleteFiles) {
            qint64 removedBytes = 0;
            const QOutputDeleter::Result result = QOutputDeleter::deleteOutput(path, identities.value(path), removedBytes);
            report.add(result, path, removedBytes);
            if (keepsRecord(result)) {
                kept << path;
                continue;
            }
        }
        removed << path;
        ZVHistoryThumbnail::remove(path);
    }
    if (!removed.isEmpty())
        QVideoSettingXml::DeleteConvertedPath(removed);
    if (report.keptSome())
        ShowMessage(report.message(), QString(), 0, false);
    return kept;
}

void QConvertedDlg::dropRecords(const std::vector<IBaseChunk *> &gone)
{
    // A remembered press or grid index could otherwise reach a freed record.
    m_listIndex = QPersistentModelIndex();
    m_pressPos = QPoint(-1, -1);
    m_model.removeRecords(gone);
    for (IBaseChunk *record : gone)
        delete record;
    hideViewsWhenEmpty();
}
