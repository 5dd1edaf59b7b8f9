#pragma once

#include "qzvdialogex.h"

#include <QPixmap>
#include <QUrl>

class QLabel;

// The Help menu's About box: logo, product title, version, rights line and the help page shipped with it.
class QAboutDlg : public QZVDialogEx
{
    Q_OBJECT

public:
    explicit QAboutDlg(QWidget *parent = nullptr);

    static QUrl homePage();

private slots:
    void OnClickHome(const QString &link);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Init();
    void InitCtrl();
    static void setLabelStyle(QLabel &label);
    QLabel *makeLabel(const char *name);

    QPixmap m_logoPixmap;
    QLabel *m_labProject = nullptr;
    QLabel *m_labVersion = nullptr;
    QLabel *m_labCopyright = nullptr;
    QLabel *m_labHome = nullptr;
    QLabel *m_labVisit = nullptr;
    QLabel *m_labProjectVersion = nullptr;
};
