#pragma once

#include "qzvdialog.h"

class QZVBaseButton;

// The frame of the system's modal dialogs: a self-drawn dialog that cannot be resized
// by its edges, with close, minimise and maximise buttons in its top-left corner. Only
// the close button acts, and the derived dialog connects it.
class QZVDialogEx : public QZVDialog
{
    Q_OBJECT

public:
    explicit QZVDialogEx(QWidget *parent = nullptr);
    ~QZVDialogEx() override;

    // A second call replaces the button, and the old one's connections go with it.
    void addCloseBtn(const QString &imagePath, bool visible);
    void addMinBtn(const QString &imagePath, bool visible);
    void addMaxBtn(const QString &imagePath, bool visible);
    void addRestoreBtn(const QString &imagePath, bool visible);
    void setTransDlg(bool on);

protected:
    QZVBaseButton *m_btnTitleClose = nullptr;
    QZVBaseButton *m_btnTitleMin = nullptr;
    QZVBaseButton *m_btnTitleMax = nullptr;
    QZVBaseButton *m_btnTitleRestore = nullptr;
    bool m_bTransDlg = true;

private:
    QZVBaseButton *replaceTitleButton(QZVBaseButton *&slot, const char *name,
                                      const QString &imagePath, bool visible, QPoint position);
};
