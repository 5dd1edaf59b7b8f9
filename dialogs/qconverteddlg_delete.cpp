// The history dialog's deletions: every path asks first, maps its rows to records before
// anything changes, and takes the records out of the model before freeing them.
#include "qconverteddlg.h"

#include "askmessagedlg.h"
#include "convertedinfo.h"
#include "qhistorychunk.h"
#include "qoutputdeleter.h"
#include "qvideosettingxml.h"
#include "qzvbasesortmodel.h"
#include "showmessage.h"
#include "zvhistorythumbnail.h"

namespace {

constexpr int kMostNamed = 10;

QString pathOf(const IBaseChunk *record)
{
    return QString::fromStdString(static_cast<const QHistoryChunk *>(record)->GetFilePath());
}

// Every output path the store holds, whether or not the output still exists.
QStringList recordedPaths()
{
    QList<convertedInfo *> entries;
    QVideoSettingXml::analysisConvertedInfo(&entries);
    QStringList paths;
    for (const convertedInfo *entry : qAsConst(entries))
        paths << entry->convertedPath;
    qDeleteAll(entries);
    return paths;
}

void reportKept(const QStringList &kept)
{
    if (kept.isEmpty())
        return;
    QStringList lines = kept.mid(0, kMostNamed);
    if (kept.size() > kMostNamed)
        lines << QStringLiteral("...");
    ShowMessage(QConvertedDlg::tr("These outputs were not deleted and stay in the history:") + QLatin1Char('\n')
                    + lines.join(QLatin1Char('\n')),
                QString(), 0, false);
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
    reportKept(kept);
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
    const QStringList recorded = recordedPaths();
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
    reportKept(kept);
}

QStringList QConvertedDlg::disposeFile(const QStringList &paths, int mode)
{
    QStringList kept;
    QStringList removed;
    for (const QString &path : paths) {
        if (mode == AskMessageDlg::DeleteFiles) {
            const QOutputDeleter::Result result = QOutputDeleter::deleteOutput(path);
            if (result == QOutputDeleter::Refused || result == QOutputDeleter::Remained) {
                kept << path;
                continue;
            }
        }
        removed << path;
        ZVHistoryThumbnail::remove(path);
    }
    if (!removed.isEmpty())
        QVideoSettingXml::DeleteConvertedPath(removed);
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
