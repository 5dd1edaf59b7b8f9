#pragma once

#include <QDialog>

class QListWidget;

// The history of earlier outputs. For now it lists the titles of the stored records and
// changes nothing; it closes with its close button or Escape.
class QConvertedDlg : public QDialog
{
    Q_OBJECT

public:
    explicit QConvertedDlg(QWidget *parent = nullptr);
    ~QConvertedDlg() override;

private:
    void InitList();

    QListWidget *m_list = nullptr;
};
