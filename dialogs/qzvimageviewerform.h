#pragma once

#include <QCoreApplication>
#include <QGridLayout>
#include <QWidget>

namespace Ui {

// Written by hand: the grid layout must be free to become the viewer's own layout,
// which a layout made on its container widget can never be.
class QZVImageViewer
{
public:
    QWidget *gridLayoutWidget = nullptr;
    QGridLayout *m_gridLayout = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QZVImageViewer"));
        form->resize(745, 500);
        gridLayoutWidget = new QWidget(form);
        gridLayoutWidget->setObjectName(QStringLiteral("gridLayoutWidget"));
        gridLayoutWidget->setGeometry(99, 100, 451, 261);
        m_gridLayout = new QGridLayout;
        m_gridLayout->setObjectName(QStringLiteral("m_gridLayout"));
        m_gridLayout->setContentsMargins(0, 0, 0, 0);
        form->setWindowTitle(QCoreApplication::translate("QZVImageViewer", "Form"));
    }
};

} // namespace Ui
