#include "qplaydlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QPlayDlg::QPlayDlg()
    : QDialog(nullptr)
    , m_labName(new QLabel(this))
    , m_labPath(new QLabel(this))
{
    auto *previous = new QPushButton(tr("Previous"), this);
    auto *next = new QPushButton(tr("Next"), this);
    previous->setObjectName(QStringLiteral("m_btnPrevious"));
    next->setObjectName(QStringLiteral("m_btnNext"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(previous);
    buttons->addWidget(next);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_labName);
    layout->addWidget(m_labPath);
    layout->addLayout(buttons);
    connect(previous, &QPushButton::clicked, this, &QPlayDlg::emitPreFile);
    connect(next, &QPushButton::clicked, this, &QPlayDlg::emitNextFile);
}

QPlayDlg::~QPlayDlg() = default;

void QPlayDlg::setPlayFileName(const QString &name)
{
    m_fileName = name;
    m_labName->setText(name);
}

void QPlayDlg::setPlayFile(const QString &path)
{
    m_filePath = path;
    m_labPath->setText(path);
}
