#pragma once

#include <QDialog>

class QLabel;
class ZvVideoConvertItem;

// The frame picker of one queue item. For now it names the item and leaves its frames
// as they are; it closes with its close button or Escape.
class QEditDlg : public QDialog
{
    Q_OBJECT

public:
    explicit QEditDlg(QWidget *parent = nullptr);
    ~QEditDlg() override;

    void setItemInfo(ZvVideoConvertItem *item);
    ZvVideoConvertItem *itemInfo() const { return m_item; }

private:
    ZvVideoConvertItem *m_item = nullptr;
    QLabel *m_labName = nullptr;
};
