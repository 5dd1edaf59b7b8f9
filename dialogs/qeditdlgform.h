#pragma once

#include "qzvbasebutton.h"
#include "qzvcheckbox.h"
#include "qzvlistview.h"

#include "formparts.h"

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
        m_listView = formChild<QZVListView>(form, "m_listView", {20, 20, 591, 391});
        m_btnOK = formChild<QZVBaseButton>(form, "m_btnOK", {530, 430, 75, 23});
        m_btnCancel = formChild<QZVBaseButton>(form, "m_btnCancel", {440, 430, 75, 23});
        m_chkSelectAll = formChild<QZVCheckBox>(form, "m_chkSelectAll", {140, 440, 141, 16});
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
