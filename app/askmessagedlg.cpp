#include "askmessagedlg.h"

#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"

namespace {

// German, French and Japanese labels need wider buttons.
bool needsWideButtons()
{
    const int language = QConverterOperate::getLanguageType();
    return language >= 2 && language <= 4;
}

void moveIfChanged(QWidget *widget, const QPoint &position)
{
    if (widget->pos() != position)
        widget->move(position);
}

} // namespace

AskMessageDlg::AskMessageDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    Init();
    InitCtrl();
}

AskMessageDlg::~AskMessageDlg() = default;

void AskMessageDlg::Init()
{
    QInitCtrlStyle::InitBg1(this);
    setWindowTitle(QStringLiteral("Calvetrin Glintora"));
    setDlgTitle(QStringLiteral("Calvetrin Glintora"));
    setFixedSize(390, 175);
}

void AskMessageDlg::InitCtrl()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    connect(m_btnTitleClose, &QAbstractButton::clicked, this, &QWidget::close);

    m_labMsg->setText(m_strMsg);
    m_labMsg->move(40, 60);
    QInitCtrlStyle::InitZVButton(m_btnCancel, 81, 24);
    QInitCtrlStyle::InitZVButton1(m_btnMove, 80, 24);
    QInitCtrlStyle::InitDestructiveButton(m_btnDelete, 80, 24);
    m_btnCancel->setText(tr("Cancel"));
    m_btnMove->setText(tr("Move files"));
    m_btnDelete->setText(tr("Delete files"));
    const bool wide = needsWideButtons();
    for (QZVBaseButton *button : {m_btnDelete, m_btnMove}) {
        button->resize(wide ? 110 : 80, 24);
        QInitCtrlStyle::InitFont(button, wide ? 11 : 13);
    }

    QPalette palette = m_labMsg->palette();
    palette.setColor(QPalette::WindowText, QColor(53, 53, 53));
    m_labMsg->setPalette(palette);
    QInitCtrlStyle::InitFont(m_labMsg, 13);

    connect(m_btnCancel, &QAbstractButton::clicked, this, &QWidget::close);
    connect(m_btnMove, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_btnDelete, &QAbstractButton::clicked, this, &AskMessageDlg::OnBtnDeleted);
}

void AskMessageDlg::setMsgText(const QString &text)
{
    m_strMsg = text;
    m_labMsg->setText(text);
    m_labMsg->adjustSize();
}

void AskMessageDlg::OnBtnDeleted()
{
    done(DeleteFiles);
}

void AskMessageDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    const int w = width();
    moveIfChanged(m_labMsg, QPoint((w - m_labMsg->width()) / 2, 60));
    const int y = (50 - m_btnCancel->height()) / 2 + height() - 58;
    moveIfChanged(m_btnCancel, QPoint(28, y));
    const int moveX = w - 28 - m_btnMove->width();
    moveIfChanged(m_btnMove, QPoint(moveX, y));
    moveIfChanged(m_btnDelete, QPoint(moveX - 16 - m_btnDelete->width(), y));
}
