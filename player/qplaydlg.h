#pragma once

#include <QDialog>

class QLabel;

// The preview player's window. For now it shows which file it was given and offers the
// previous and next buttons; it does not play.
class QPlayDlg : public QDialog
{
    Q_OBJECT

public:
    QPlayDlg();
    ~QPlayDlg() override;

    void setPlayFileName(const QString &name);
    void setPlayFile(const QString &path);
    QString playFileName() const { return m_fileName; }
    QString playFile() const { return m_filePath; }

signals:
    void emitPreFile();
    void emitNextFile();

private:
    QString m_fileName;
    QString m_filePath;
    QLabel *m_labName = nullptr;
    QLabel *m_labPath = nullptr;
};
