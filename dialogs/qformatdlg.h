#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QListWidget;
class QListWidgetItem;

// The output-format choice: the only writer of the process-wide output record. One
// instance for the whole program. Its window lists the six formats; OK applies and
// stores the selection, Cancel only hides.
class QFormatDlg : public QDialog
{
    Q_OBJECT

public:
    static QFormatDlg *getFormatWidget(QWidget *parent);
    // Deletes the instance, so that one test process can build several main windows.
    static void resetInstanceForTests();

    void setFormatId(QString id);
    void setDefaultValue(QString id);
    void settingValueChange(bool save);

signals:
    void settingChangeForFormat();
    void sendSuffixChange(QString formatName);

private slots:
    void OnBtnOk();

private:
    struct Options
    {
        int width = 0;
        int height = 0;
        int quality = 100;
        bool allOutput = false;
        bool keepExif = false;
        bool keepAspectRatio = true;
    };

    explicit QFormatDlg(QWidget *parent);
    int currentRow() const;

    static QPointer<QFormatDlg> m_myself;
    QListWidget *m_listView = nullptr;
    Options m_options;
};
