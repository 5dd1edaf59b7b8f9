#include "qshowclosedlg.h"

#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "qzvcheckbox.h"
#include "qzvradiobutton.h"

QShowCloseDlg::QShowCloseDlg(QWidget *parent)
    : QZVDialogEx(parent)
    , m_btnOk(new QZVBaseButton(this))
    , m_btnCancel(new QZVBaseButton(this))
    , m_radioMin(new QZVRadioButton(this))
    , m_radioClose(new QZVRadioButton(this))
    , m_chkNote(new QZVCheckBox(this))
{
    setObjectName(QStringLiteral("QShowCloseDlg"));
    setWindowTitle(QStringLiteral("Calvetrin Glintora"));
    m_btnOk->setObjectName(QStringLiteral("m_btnOk"));
    m_btnCancel->setObjectName(QStringLiteral("m_btnCancel"));
    m_radioMin->setObjectName(QStringLiteral("m_radioMin"));
    m_radioClose->setObjectName(QStringLiteral("m_radioClose"));
    m_chkNote->setObjectName(QStringLiteral("m_chkNote"));
    QInitCtrlStyle::InitBg2(this);
    setFixedSize(316, 170);
    InitCtrl();
}

void QShowCloseDlg::InitCtrl()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    QInitCtrlStyle::InitZVButton(m_btnCancel, 60, 24);
    QInitCtrlStyle::InitZVButton1(m_btnOk, 60, 24);
    for (QZVRadioButton *radio : {m_radioMin, m_radioClose}) {
        QInitCtrlStyle::InitRadio(radio);
        QInitCtrlStyle::InitFont(radio, 11);
    }
    QInitCtrlStyle::InitCheckBox(m_chkNote);
    QInitCtrlStyle::InitFont(m_chkNote, 11);
    m_chkNote->setText(tr("Don't show this message again"));
    m_radioMin->setText(tr("Minimize to Tray"));
    m_radioClose->setText(tr("Exit"));
    m_btnCancel->setText(tr("Cancel"));
    m_btnOk->setText(tr("OK"));
    for (QWidget *control : {static_cast<QWidget *>(m_chkNote), static_cast<QWidget *>(m_radioMin),
                             static_cast<QWidget *>(m_radioClose)})
        control->adjustSize();
    m_radioMin->move(50, 55);
    m_radioClose->move(50, 80);
    m_btnCancel->move(216, 125);
    m_btnCancel->hide();
    const bool exit = QVideoSettingXml::GetItemValue(QStringLiteral("CLOSE_ITEM"), QStringLiteral("bIsCloseDlg"),
                                                     QStringLiteral("Y")) == QLatin1String("Y");
    m_radioClose->setChecked(exit);
    m_radioMin->setChecked(!exit);
    connect(m_btnTitleClose, &QZVBaseButton::clicked, this, &QShowCloseDlg::close);
    connect(m_btnCancel, &QZVBaseButton::clicked, this, &QShowCloseDlg::close);
    connect(m_btnOk, &QZVBaseButton::clicked, this, &QShowCloseDlg::accept);
    connect(m_radioClose, &QZVRadioButton::clicked, this, &QShowCloseDlg::OnClickRadio);
    connect(m_radioMin, &QZVRadioButton::clicked, this, &QShowCloseDlg::OnClickRadio);
}

void QShowCloseDlg::OnClickRadio()
{
    const bool close = sender() == m_radioClose;
    m_radioClose->setChecked(close);
    m_radioMin->setChecked(!close);
}

bool QShowCloseDlg::isCloseDlg() const
{
    return m_radioClose->isChecked();
}

bool QShowCloseDlg::isNoShowThisDlg() const
{
    return m_chkNote->checkState() == Qt::Checked;
}

void QShowCloseDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    m_chkNote->move(35, 115);
    m_btnOk->move(216, m_chkNote->y() + (m_chkNote->height() - m_btnOk->height()) / 2);
}
