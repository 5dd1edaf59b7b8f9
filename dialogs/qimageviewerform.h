#pragma once

#include <QCoreApplication>
#include <QGridLayout>
#include <QWidget>

namespace Ui {

// Written by hand: the grid layout must be free to become the dialog's own layout.
class QImageViewer
{
public:
    QWidget *gridLayoutWidget = nullptr;
    QGridLayout *m_gridLayout = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QImageViewer"));
        form->resize(1006, 653);
        gridLayoutWidget = new QWidget(form);
        gridLayoutWidget->setObjectName(QStringLiteral("gridLayoutWidget"));
        gridLayoutWidget->setGeometry(160, 170, 621, 391);
        gridLayoutWidget->raise();
        m_gridLayout = new QGridLayout;
        m_gridLayout->setObjectName(QStringLiteral("m_gridLayout"));
        m_gridLayout->setContentsMargins(0, 0, 0, 0);
        form->setWindowTitle(QCoreApplication::translate("QImageViewer", "Dialog"));
    }
};

} // namespace Ui
