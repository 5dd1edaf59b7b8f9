#pragma once

#include "qzvdialog.h"
#include "ui_qplaynamewgt.h"

// A band across the top of the player panel with the played file's name centred in it,
// set through the frame's title. The panel places it but keeps it hidden.
class QPlayNameWgt : public QZVDialog, public Ui::QPlayNameWgt
{
    Q_OBJECT

public:
    explicit QPlayNameWgt(QWidget *parent = nullptr);
    ~QPlayNameWgt() override;

public slots:
    void setDialogWindow(bool dialog);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
