#pragma once

#include "qzvdialogex.h"

#include <QList>

class ConvertWidget;
class GeneralWidget;
class QHBoxLayout;
class QScrollArea;
class QVBoxLayout;
class QZVBaseButton;

// The modal "Preferences" dialog: two tab buttons switch between the General and the
// Convert page; OK lets both pages save, Cancel and the close button discard the edits.
class QPreferencesDlg : public QZVDialogEx
{
    Q_OBJECT

public:
    explicit QPreferencesDlg(QWidget *parent = nullptr);

signals:
    void emitAutoUpdate(bool autoUpdate);

public slots:
    void OnBtnOk();
    void OnLeftBtn();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setupUi();
    void Init();
    void InitTitleButtons();
    void InitBtn();
    void InitDlg();
    void retranslateUi();
    void showPage(int tag);

    QZVBaseButton *m_btnCancel = nullptr;
    QZVBaseButton *m_btnOk = nullptr;
    QVBoxLayout *m_vLayout = nullptr;
    QHBoxLayout *m_btnHLayout = nullptr;
    QScrollArea *scrollArea = nullptr;
    QWidget *m_scrollAreaWidget = nullptr;
    QVBoxLayout *m_listLayout = nullptr;

    QZVBaseButton *m_curTabBtn = nullptr;
    QList<QZVBaseButton *> m_tabBtnList;
    GeneralWidget *m_pGeneralWgt = nullptr;
    ConvertWidget *m_pConvertWgt = nullptr;
};
