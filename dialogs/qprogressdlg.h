#pragma once

#include "qzvdialog.h"

class QZVBaseProgress;

// The small frameless ring shown while a movie's frames are extracted.
class QProgressDlg : public QZVDialog
{
    Q_OBJECT

public:
    explicit QProgressDlg(QWidget *parent = nullptr);
    ~QProgressDlg() override;

    void setValue(int percent);
    void resetControlLocation() override;

public slots:
    void reject() override;

private:
    QZVBaseProgress *m_progress = nullptr;
};
