#pragma once

#include "qzvdialogex.h"
#include "ui_qloadingdlg.h"

// The modal "Adding File(s):" dialog of an import: the path being examined, a count
// such as 3/12, a thin progress bar and Cancel. The setters may be called from any
// thread; the values reach the widgets on the dialog's thread in the order they were
// set, so the last value set is the one shown. Any dismissal asks the import to stop.
class QLoadingDlg : public QZVDialogEx, public Ui::QLoadingDlg
{
    Q_OBJECT

public:
    explicit QLoadingDlg(QWidget *parent = nullptr);
    ~QLoadingDlg() override;

    void setAddFilePath(const QString &path);
    void setAddCount(const QString &count);
    void setProgressVale(float value);
    void resetControlLocation() override;

signals:
    void seedStopAddFile();

public slots:
    void OnCloseStop();

private:
    void Init();
    void OnInitCtrl();
    template<typename Apply>
    void applyInOrder(Apply apply);
};
