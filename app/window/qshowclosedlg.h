#pragma once

#include "qzvdialogex.h"

class QZVBaseButton;
class QZVCheckBox;
class QZVRadioButton;

// Asked when the main window's close button is clicked: minimise or exit, and whether
// to ask again. It only collects the answer; the window acts on it and stores it.
class QShowCloseDlg : public QZVDialogEx
{
    Q_OBJECT

public:
    explicit QShowCloseDlg(QWidget *parent = nullptr);

    bool isCloseDlg() const;
    bool isNoShowThisDlg() const;

private slots:
    void OnClickRadio();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void InitCtrl();

    QZVBaseButton *m_btnOk = nullptr;
    QZVBaseButton *m_btnCancel = nullptr;
    QZVRadioButton *m_radioMin = nullptr;
    QZVRadioButton *m_radioClose = nullptr;
    QZVCheckBox *m_chkNote = nullptr;
};
