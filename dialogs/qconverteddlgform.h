#pragma once

#include "qzvbasebutton.h"
#include "qzvlineedit.h"
#include "qzvlistview.h"
#include "qzvtableview.h"

#include "formparts.h"

namespace Ui {

class QConvertedDlg
{
public:
    QZVTableView *m_tableView = nullptr;
    QZVListView *m_listView = nullptr;
    QZVBaseButton *m_btnDeleteAll = nullptr;
    QZVLineEdit *m_editSearch = nullptr;
    QZVBaseButton *m_btnIconList = nullptr;
    QZVBaseButton *m_btnTable = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QConvertedDlg"));
        form->resize(793, 572);
        m_tableView = formChild<QZVTableView>(form, "m_tableView", {40, 40, 331, 421});
        m_listView = formChild<QZVListView>(form, "m_listView", {400, 40, 351, 421});
        m_btnDeleteAll = formChild<QZVBaseButton>(form, "m_btnDeleteAll", {690, 540, 75, 23});
        m_editSearch = formChild<QZVLineEdit>(form, "m_editSearch", {200, 540, 101, 21});
        m_btnIconList = formChild<QZVBaseButton>(form, "m_btnIconList", {100, 540, 31, 23});
        m_btnTable = formChild<QZVBaseButton>(form, "m_btnTable", {70, 540, 31, 23});
        form->setWindowTitle(QCoreApplication::translate("QConvertedDlg", "Dialog"));
        m_btnDeleteAll->setText(QCoreApplication::translate("QConvertedDlg", "Delete All"));
    }
};

} // namespace Ui
