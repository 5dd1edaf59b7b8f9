#include "qpreferencesdlg.h"

#include "convertwidget.h"
#include "generalwidget.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qzvbasebutton.h"
#include "qzvscrollbar.h"
#include "taborder.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

QPreferencesDlg::QPreferencesDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi();
    Init();
    InitBtn();
    InitDlg();
    retranslateUi();
    // Made first, read last: the band under the pages.
    TabOrder::chainLast(this, {m_btnCancel, m_btnOk});
}

void QPreferencesDlg::setupUi()
{
    setObjectName(QStringLiteral("QPreferencesDlg"));
    m_btnCancel = new QZVBaseButton(this);
    m_btnCancel->setObjectName(QStringLiteral("m_btnCancel"));
    m_btnOk = new QZVBaseButton(this);
    m_btnOk->setObjectName(QStringLiteral("m_btnOk"));

    // The tab row sits centred above the page area; the bottom margin keeps the band of
    // Cancel and OK free.
    m_vLayout = new QVBoxLayout(this);
    m_vLayout->setContentsMargins(8, 30, 8, 58);
    m_vLayout->setSpacing(0);
    auto *tabRow = new QHBoxLayout;
    m_btnHLayout = new QHBoxLayout;
    m_btnHLayout->setContentsMargins(0, 0, 0, 0);
    m_btnHLayout->setSpacing(12);
    tabRow->addStretch();
    tabRow->addLayout(m_btnHLayout);
    tabRow->addStretch();
    m_vLayout->addLayout(tabRow);

    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setWidgetResizable(true);
    scrollArea->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    scrollArea->setFrameStyle(QFrame::NoFrame);
    // The pages fit it: Tab goes to their controls, not to the frame around them.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollAreaWidget = new QWidget;
    m_scrollAreaWidget->setObjectName(QStringLiteral("m_scrollAreaWidget"));
    auto *pageColumn = new QVBoxLayout(m_scrollAreaWidget);
    pageColumn->setContentsMargins(0, 0, 0, 0);
    m_listLayout = new QVBoxLayout;
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(0);
    pageColumn->addLayout(m_listLayout);
    pageColumn->addStretch();
    scrollArea->setWidget(m_scrollAreaWidget);
    m_vLayout->addWidget(scrollArea);
}

void QPreferencesDlg::Init()
{
    setWindowTitle(tr("Preferences"));
    QInitCtrlStyle::InitBg4(this);
    setFixedSize(466, 316);
    setDlgTitle(QString());

    QPalette palette = m_scrollAreaWidget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    m_scrollAreaWidget->setPalette(palette);
    auto *scrollBar = new QZVScrollBar;
    QInitCtrlStyle::InitZvScrollBar(scrollBar);
    scrollArea->setVerticalScrollBar(scrollBar); // the area owns it from here
}

void QPreferencesDlg::InitTitleButtons()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
}

void QPreferencesDlg::InitBtn()
{
    for (int tag : {0, 1}) {
        auto *tab = new QZVBaseButton(this);
        tab->setObjectName(tag == 0 ? QStringLiteral("m_btnGeneral") : QStringLiteral("m_btnConvert"));
        tab->setTag(tag);
        QInitCtrlStyle::InitTabBtn(tab);
        if (tag == 0) {
            tab->setChecked(true);
            tab->setEnabled(false);
            m_curTabBtn = tab;
        }
        QInitCtrlStyle::InitFont(tab, 13);
        QInitCtrlStyle::InitPalette(tab, QPalette::WindowText, QColor(53, 53, 53));
        tab->setFixedSize(87, 20);
        connect(tab, &QZVBaseButton::clicked, this, &QPreferencesDlg::OnLeftBtn);
        m_tabBtnList.append(tab);
        m_btnHLayout->addWidget(tab);
    }
    InitTitleButtons();
    QInitCtrlStyle::InitZVButton(m_btnCancel, 80, 24);
    QInitCtrlStyle::InitZVButton1(m_btnOk, 80, 24);
    connect(m_btnTitleClose, &QZVBaseButton::clicked, this, &QPreferencesDlg::close);
    connect(m_btnCancel, &QZVBaseButton::clicked, this, &QPreferencesDlg::close);
    connect(m_btnOk, &QZVBaseButton::clicked, this, &QPreferencesDlg::OnBtnOk);
}

void QPreferencesDlg::InitDlg()
{
    const QSize pageSize(width() - 88, height() - 109);
    m_pGeneralWgt = new GeneralWidget(m_scrollAreaWidget);
    connect(m_pGeneralWgt, &GeneralWidget::sendUpdate, this, &QPreferencesDlg::emitAutoUpdate);
    m_pGeneralWgt->setMinimumSize(pageSize);
    m_pConvertWgt = new ConvertWidget(m_scrollAreaWidget);
    m_pConvertWgt->setMinimumSize(pageSize);
    m_listLayout->addWidget(m_pGeneralWgt);
    m_listLayout->addWidget(m_pConvertWgt);
    showPage(0);
}

void QPreferencesDlg::retranslateUi()
{
    m_tabBtnList.at(0)->setText(tr("General"));
    m_tabBtnList.at(1)->setText(tr("Convert"));
    m_btnCancel->setText(tr("Cancel"));
    m_btnOk->setText(tr("OK"));
    m_pConvertWgt->retranslateUi();
    m_pGeneralWgt->retranslateUi();
}

void QPreferencesDlg::showPage(int tag)
{
    m_pGeneralWgt->setVisible(tag == 0);
    m_pConvertWgt->setVisible(tag == 1);
}

void QPreferencesDlg::OnLeftBtn()
{
    auto *tab = qobject_cast<QZVBaseButton *>(sender());
    if (!tab || tab == m_curTabBtn)
        return;
    m_curTabBtn->setChecked(false);
    m_curTabBtn->setEnabled(true);
    m_curTabBtn = tab;
    tab->setChecked(true);
    tab->setEnabled(false);
    showPage(tab->getTag());
}

void QPreferencesDlg::OnBtnOk()
{
    m_pGeneralWgt->saveSetting();
    m_pConvertWgt->saveSetting();
    close();
}

void QPreferencesDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    const int bandTop = height() - 58;
    m_btnCancel->move(width() - m_btnCancel->width() - m_btnOk->width() - 44,
                      bandTop + (50 - m_btnCancel->height()) / 2);
    m_btnOk->move(width() - m_btnOk->width() - 28, bandTop + (50 - m_btnOk->height()) / 2);
}
