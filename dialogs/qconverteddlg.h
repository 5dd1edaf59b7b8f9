#pragma once

#include "qconverteddlgform.h"
#include "qhistorymodel.h"
#include "qzvdialogex.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QStringList>

#include <vector>

class IBaseChunk;
class QAction;
class QCheckHeaderView;
class QDelegateControl;
class QHistoryChunk;
class QHistoryListDelegate;
class QZVBaseSortModel;
class QZVBaseStyleDelegate;
class QZVMenu;
class QZVScrollBar;
class QZVStyleButton;
struct convertedInfo;

// The conversion history: every earlier output that still exists, as a table or as a grid
// of thumbnails over one model, one proxy and one selection. The user can search it,
// reveal an output, take entries off the list or delete their outputs from the disk.
// Deletion goes through one guarded function, and an entry whose output survived stays.
class QConvertedDlg : public QZVDialogEx, public Ui::QConvertedDlg
{
    Q_OBJECT

public:
    explicit QConvertedDlg(QWidget *parent = nullptr);
    ~QConvertedDlg() override;

    void resetControlLocation() override;

    QZVBaseSortModel *sortModel() const { return m_sortModel; }
    QZVMenu *menu() const { return m_menu; }
    QCheckHeaderView *header() const { return m_header; }

public slots:
    void onDeleteAll();
    void OnBtnList();
    void OnBtnThumbnail();
    void OnSearchString(const QString &text);
    void ClickItemView(const QModelIndex &index);
    void listClickItemView(const QModelIndex &index);
    void showTableMenu(const QPoint &pos);
    void listShowTableMenu(const QPoint &pos);
    void OpenFile(const QModelIndex &index);
    void DeleteItemFile(const QModelIndex &index);
    void deleteItem(const QModelIndex &index);
    void ActDeleteFile();
    void ActDeleteAll();
    void ActFindFile();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void initControls();
    void InitMenu();
    void initTableView();
    void initListView();
    void AnalyXmlToList();
    void addRecord(const convertedInfo &info);
    void showMode(bool table);
    void hideViewsWhenEmpty();
    QHistoryChunk *recordAt(const QModelIndex &proxyIndex) const;
    void revealRecord(const QHistoryChunk *record) const;
    void showMenu(const QList<QAction *> &rowActions);
    // 0 cancelled, 1 take off the list, 2 delete the files too.
    int askDelete(const QString &question, bool centred);
    void deleteRecords(const std::vector<QHistoryChunk *> &chosen, bool centred);
    // Removes the entries of the paths from the store and their thumbnails; with mode 2
    // it deletes the outputs first. Returns the paths whose outputs survived: their
    // entries stay.
    QStringList disposeFile(const QStringList &paths, int mode);
    void dropRecords(const std::vector<IBaseChunk *> &gone);

    QCheckHeaderView *m_header = nullptr;
    QZVScrollBar *m_tableVScrollBar = nullptr;
    QZVScrollBar *m_tableHScrollBar = nullptr;
    QZVScrollBar *m_listVScrollBar = nullptr;
    QHistoryModel m_model;
    QZVBaseSortModel *m_sortModel = nullptr;
    QZVBaseStyleDelegate *m_styleDelegate = nullptr;
    std::vector<IBaseChunk *> *m_datas = nullptr;
    QHistoryListDelegate *m_listDelegate = nullptr;
    QDelegateControl *m_delegateControl = nullptr;
    QDelegateControl *m_listDelegateControl = nullptr;
    QZVStyleButton *m_btnSearch = nullptr;
    QZVStyleButton *m_btnDelete = nullptr;
    QZVStyleButton *m_btnListDelete = nullptr;
    QPersistentModelIndex m_listIndex;
    QList<convertedInfo *> *m_historyList = nullptr;
    QPoint m_pressPos{-1, -1};
    QZVMenu *m_menu = nullptr;
    QAction *m_actDelete = nullptr;
    QAction *m_actDeleteAll = nullptr;
    QAction *m_actFindFile = nullptr;
};
