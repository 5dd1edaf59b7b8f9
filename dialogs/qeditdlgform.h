#pragma once

#include "qzvbasebutton.h"
#include "qzvcheckbox.h"
#include "qzvlistview.h"

#include <QCoreApplication>
#include <QWidget>

namespace Ui {

class QEditDlg
{
public:
    QZVListView *m_listView = nullptr;
    QZVBaseButton *m_btnOK = nullptr;
    QZVBaseButton *m_btnCancel = nullptr;
    QZVCheckBox *m_chkSelectAll = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QEditDlg"));
        form->resize(628, 478);
        m_listView = new QZVListView(form);
        m_listView->setObjectName(QStringLiteral("m_listView"));
        m_listView->setGeometry(20, 20, 591, 391);
        m_btnOK = new QZVBaseButton(form);
        m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
        m_btnOK->setGeometry(530, 430, 75, 23);
        m_btnCancel = new QZVBaseButton(form);
        m_btnCancel->setObjectName(QStringLiteral("m_btnCancel"));
        m_btnCancel->setGeometry(440, 430, 75, 23);
        m_chkSelectAll = new QZVCheckBox(form);
        m_chkSelectAll->setObjectName(QStringLiteral("m_chkSelectAll"));
        m_chkSelectAll->setGeometry(140, 440, 141, 16);
        QPalette palette = m_chkSelectAll->palette();
        palette.setColor(QPalette::Active, QPalette::WindowText, QColor(69, 69, 69));
        palette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(69, 69, 69));
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(170, 172, 171));
        m_chkSelectAll->setPalette(palette);
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSize(8);
        m_chkSelectAll->setFont(font);
        form->setWindowTitle(QCoreApplication::translate("QEditDlg", "Dialog"));
        m_btnOK->setText(QCoreApplication::translate("QEditDlg", "OK"));
        m_btnCancel->setText(QCoreApplication::translate("QEditDlg", "Cancel"));
        m_chkSelectAll->setText(QCoreApplication::translate("QEditDlg", "Select All"));
    }
};

} // namespace Ui
