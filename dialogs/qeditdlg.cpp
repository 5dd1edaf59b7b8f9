#include "qeditdlg.h"

#include "zvvideoconvertitem.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QEditDlg::QEditDlg(QWidget *parent)
    : QDialog(parent)
    , m_labName(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("m_btnClose"));
    layout->addWidget(m_labName);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QEditDlg::~QEditDlg() = default;

void QEditDlg::setItemInfo(ZvVideoConvertItem *item)
{
    m_item = item;
    m_labName->setText(item ? item->fileName : QString());
}
