#pragma once

#include "qzvmainwindow.h"

#include <QPointer>
#include <QString>

class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMainDlg;
class QMenu;
class QMenuBar;
class QFormatDlg;
class QZVBaseButton;
class QZVMenu;

// The program's only top-level window: title band, "Add file" and "Converted", the
// conversion list, and the format and Convert/Stop row. The list reads its statics, which
// are defined with the list so that the list works without the window.
class MainWindow : public QZVMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    static QString open_path;
    static bool m_bIsConverting;
    static bool m_bIsMerger;

    static bool isConverting() { return m_bIsConverting; }
    static bool isMerger() { return m_bIsMerger; }
    // Brings every process-wide value of the window and its list back to its start, so
    // that one test process can build several windows.
    static void resetStaticsForTests();

    void SetOutPath(QString path);
    QMainDlg *mainDlg() const { return m_mainDlg; }

public slots:
    void OnBtnMin();
    void OnClose();
    void OnMenu();
    void OnMaxSize();
    void OnRestoreSize();
    void ActOnHome();
    void ActOnHelp();
    void ActOnAbout();
    void ActOnPreferDlg();
    void ActOnUpdates();
    void setAutoUpdate(bool bUpdate);
    void OnAddFile();
    void OnFormatDlg();
    void OnFormatChange(QString Format);
    void SetConverterBtn(bool able);
    void OnConvert();
    void OnStopConvert();
    void IsStartToConverter(bool bStart);
    void OnOpenConverterPath();
    void OnConverted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void resetControlLocation() override;

private:
    void setupUi();
    void Init();
    void InitBtn();
    void OnInitCtrl();
    void retranslateUi();
    void InitMenu();
    static void InitLogInfo();
    static void InitAppInfo();
    static void setGlobalFunction();
    static void InitOpenPath();
    void InitDlg();
    void InitTabOrder();
    bool focusListIfFocusLost();

    QWidget *centralWidget = nullptr;
    QZVBaseButton *m_btnClose = nullptr;
    QZVBaseButton *m_btnMin = nullptr;
    QZVBaseButton *m_btnMenu = nullptr;
    QLineEdit *m_editOutPaht = nullptr;
    QZVBaseButton *m_btnConvert = nullptr;
    QZVBaseButton *m_btnOpen = nullptr;
    QZVBaseButton *m_btnFromt = nullptr;
    QLabel *m_labOutput = nullptr;
    QLabel *m_labFormat = nullptr;
    QZVBaseButton *m_btnSelFolder = nullptr;
    QZVBaseButton *m_btnCancel = nullptr;
    QZVBaseButton *m_btnAddFile = nullptr;
    QZVBaseButton *m_btnRestore = nullptr;
    QZVBaseButton *m_btnMax = nullptr;
    QZVBaseButton *m_btnConverted = nullptr;

    QMainDlg *m_mainDlg = nullptr;
    QPointer<QFormatDlg> m_formatDlg;
    QZVMenu *m_menu = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_actHome = nullptr;
    QAction *m_actHelp = nullptr;
    QAction *m_actAbout = nullptr;
    QAction *m_actPreferences = nullptr;
    QAction *m_actUpdates = nullptr;
};
