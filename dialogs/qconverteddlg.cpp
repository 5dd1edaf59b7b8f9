#include "qconverteddlg.h"

#include "convertedinfo.h"
#include "qvideosettingxml.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

QConvertedDlg::QConvertedDlg(QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("QConvertedDlg"));
    auto *layout = new QVBoxLayout(this);
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("m_btnClose"));
    layout->addWidget(m_list);
    layout->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    InitList();
}

QConvertedDlg::~QConvertedDlg() = default;

void QConvertedDlg::InitList()
{
    QList<convertedInfo *> records;
    QVideoSettingXml::analysisConvertedInfo(&records);
    for (convertedInfo *record : records) {
        m_list->addItem(record->title);
        delete record;
    }
}
