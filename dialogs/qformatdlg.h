#pragma once

#include "qformatdlgform.h"
#include "qiconlistmodel.h"
#include "qzvdialogex.h"

#include <QMap>
#include <QPointer>
#include <QString>

#include <vector>

class IBaseChunk;
class QFormatChunk;
class QFormatListDelegate;

// The "Format Setting" popup: the only writer of the process-wide output record. One
// instance for the whole program, created hidden by the main window and run modally from
// its format button. The list offers the six still formats; OK or a double click applies
// and stores the choice with the format's size, quality and flags, Cancel only hides.
class QFormatDlg : public QZVDialogEx, public Ui::QFormatDlg
{
    Q_OBJECT

public:
    static QFormatDlg *getFormatWidget(QWidget *parent);
    // Deletes the instance, so that one test process can build several main windows.
    static void resetInstanceForTests();
    ~QFormatDlg() override;

    void ReleaseDatas();
    void setFormatId(QString id);
    void setDefaultValue(QString id);
    void settingValueChange(bool save);

signals:
    void settingChangeForFormat();
    void sendSuffixChange(QString formatName);

public slots:
    void selectItemChange(const QModelIndex &index);
    void doubleClickItemView(const QModelIndex &index);
    void OnBtnOk();
    void OnBtnCancel();
    void QualityValueChange(int value);
    void QualityValueChange(double fraction);
    void EditTextChange(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resetControlLocation() override;

private:
    explicit QFormatDlg(QWidget *parent);
    void InitFrame();
    void InitCtrl();
    void InitRecords();
    void InitListView();
    void InitConnect();
    QFormatChunk *currentRecord() const;

    static QPointer<QFormatDlg> m_myself;
    // Owned; the model and the map only point into it.
    std::vector<IBaseChunk *> *m_records = nullptr;
    QMap<QString, QFormatChunk *> m_formatMap;
    QIconListModel m_model;
    // Parented to the list view, which deletes it.
    QFormatListDelegate *m_delegate = nullptr;
};
