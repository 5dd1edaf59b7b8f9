#pragma once

#include "qzvdialogex.h"
#include "ui_qplaydlg.h"

class QPlayerWidget;

// The "Play" window that previews an item's source movie: a skinned frame around one
// player panel, with the file's name as its title, full-screen switching, and requests
// for the previous and next file. The conversion list keeps one instance and runs it
// modally while it is hidden. Every way of closing it stops playback first.
class QPlayDlg : public QZVDialogEx, public Ui::QPlayDlg
{
    Q_OBJECT

public:
    explicit QPlayDlg(QWidget *parent = nullptr);
    ~QPlayDlg() override;

    void setPlayFile(const QString &path);
    void setPlayFileName(const QString &name);
    QString playFileName() const { return m_fileName; }
    QString playFile() const { return m_filePath; }
    void showCtrl(bool hide);
    QPlayerWidget *playerWidget() const { return m_playerWidget; }

    void resetControlLocation() override;
    void setFrameGeomtry(QMouseEvent *event) override;

signals:
    void emitPreFile();
    void emitNextFile();

public slots:
    void OnBtnClose();
    void OnFullScreen();
    // Escape, and the window manager's close through QDialog's close handling.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPlayerWidget *m_playerWidget = nullptr;
    bool m_isFullScreen = false;
    QString m_fileName;
    QString m_filePath;
};
