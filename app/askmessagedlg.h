#pragma once

#include "qzvdialogex.h"
#include "ui_askmessagedlg.h"

// Asks whether selected outputs are only taken out of a list or deleted from the disk
// too. exec() returns 0 (cancelled), 1 (take out of the list) or 2 (delete the files).
class AskMessageDlg : public QZVDialogEx, public Ui::AskMessageDlg
{
    Q_OBJECT

public:
    enum Result { Cancelled = 0, MoveFromList = 1, DeleteFiles = 2 };

    explicit AskMessageDlg(QWidget *parent = nullptr);
    ~AskMessageDlg() override;

    void setMsgText(const QString &text);

public slots:
    void OnBtnDeleted();

protected:
    // Places the controls after the frame has painted.
    void paintEvent(QPaintEvent *event) override;

private:
    void Init();
    void InitCtrl();

    QString m_strMsg;
};
