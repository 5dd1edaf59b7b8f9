#pragma once

#include "qzvbasebutton.h"
#include "qzvcheckbox.h"

#include "formparts.h"

namespace Ui {

class QImageViewerBtn
{
public:
    QZVBaseButton *m_btnBlowup = nullptr;
    QZVBaseButton *m_btnBlowdown = nullptr;
    QZVBaseButton *m_btnPrevious = nullptr;
    QZVBaseButton *m_btnNext = nullptr;
    QZVBaseButton *m_btnFullScreen = nullptr;
    QZVBaseButton *m_btnNormalScreen = nullptr;
    QZVCheckBox *m_cbxSelected = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QImageViewerBtn"));
        form->resize(762, 112);
        m_btnBlowup = formChild<QZVBaseButton>(form, "m_btnBlowup", {130, 60, 75, 23});
        m_btnBlowdown = formChild<QZVBaseButton>(form, "m_btnBlowdown", {210, 60, 75, 23});
        m_btnPrevious = formChild<QZVBaseButton>(form, "m_btnPrevious", {290, 60, 75, 23});
        m_btnNext = formChild<QZVBaseButton>(form, "m_btnNext", {370, 60, 75, 23});
        m_btnFullScreen = formChild<QZVBaseButton>(form, "m_btnFullScreen", {450, 60, 75, 23});
        m_btnNormalScreen = formChild<QZVBaseButton>(form, "m_btnNormalScreen", {450, 30, 75, 23});
        m_cbxSelected = formChild<QZVCheckBox>(form, "m_cbxSelected", {540, 60, 101, 16});
        form->setWindowTitle(QCoreApplication::translate("QImageViewerBtn", "Form"));
        m_cbxSelected->setText(QCoreApplication::translate("QImageViewerBtn", "Selected"));
    }
};

} // namespace Ui
