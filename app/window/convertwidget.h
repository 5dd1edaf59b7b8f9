#pragma once

#include <QWidget>

class QGroupBox;
class QZVBaseButton;
class QZVComboBox;
class QZVTextEdit;

// The "Convert" preferences page: the output folder and the action after all jobs.
// saveSetting hands the folder to the process-wide settings; the main window stores it.
class ConvertWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ConvertWidget(QWidget *parent = nullptr);

    void saveSetting();
    void retranslateUi();

public slots:
    void OnChangePath();
    void OnResetPath();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setupUi();
    void InitCtrl();
    void InitOutPath();
    void InitBtn();
    void showOutPath(const QString &path);
    static QStringList archiveTexts();
    static QStringList finishTexts();

    QGroupBox *m_GroupFinish = nullptr;
    QZVComboBox *m_cmbFinished = nullptr;
    QGroupBox *m_groupOutput = nullptr;
    QZVBaseButton *m_btnChange = nullptr;
    QZVBaseButton *m_btnReset = nullptr;
    QZVTextEdit *m_pathTextEdit = nullptr;
    QGroupBox *m_GroupArchive = nullptr;
    QZVComboBox *m_cmbOutput = nullptr;

    QString m_strOutPath;
};
