#pragma once

#include <QWidget>

class QGroupBox;
class QZVRadioButton;

// The "General" preferences page: automatic updates and what the close button does.
// Choices are read when the page is built and written only by saveSetting, and only
// when they changed.
class GeneralWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GeneralWidget(QWidget *parent = nullptr);

    void saveSetting();
    void retranslateUi();

signals:
    void sendUpdate(bool autoUpdate);

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void OnChanegeUpdate();
    void OnChangeClose();

private:
    void setupUi();
    void InitCtrl();
    void placeControls();

    QGroupBox *m_GroupUpdates = nullptr;
    QZVRadioButton *m_radAutoUpdate = nullptr;
    QZVRadioButton *m_radCloseUpdate = nullptr;
    QGroupBox *m_GroupClose = nullptr;
    QZVRadioButton *m_radMin = nullptr;
    QZVRadioButton *m_radExit = nullptr;

    bool m_bAutoUpdate = false;
    bool m_bExitOnClose = false;
};
