#pragma once

#include "qzvbasebutton.h"
#include "qzvbaseslider.h"
#include "qzvcheckbox.h"
#include "qzvlineedit.h"
#include "qzvlistview.h"
#include "qzvspinbox.h"

#include "formparts.h"

#include <QLabel>

namespace Ui {

// The format popup's designed widgets; the popup sets their texts and looks, and its
// layout code places them.
class QFormatDlg
{
public:
    QZVListView *m_listView = nullptr;
    QZVLineEdit *m_editW = nullptr;
    QZVLineEdit *m_editH = nullptr;
    QZVBaseButton *m_btnOk = nullptr;
    QZVBaseButton *m_btnCancel = nullptr;
    QZVBaseSlider *m_sliderQuality = nullptr;
    QLabel *m_labQuality = nullptr;
    QLabel *m_labResolution = nullptr;
    QZVSpinBox *m_spinboxQuality = nullptr;
    QZVCheckBox *m_chkAllOutput = nullptr;
    QZVCheckBox *m_chkKeepExif = nullptr;
    QZVCheckBox *m_chkKeepAspectRatio = nullptr;
    QLabel *m_labX = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QFormatDlg"));
        form->resize(513, 478);
        m_listView = formChild<QZVListView>(form, "m_listView", {10, 40, 491, 261});
        m_editW = formChild<QZVLineEdit>(form, "m_editW", {110, 320, 50, 22});
        m_editH = formChild<QZVLineEdit>(form, "m_editH", {180, 320, 50, 22});
        m_btnOk = formChild<QZVBaseButton>(form, "m_btnOk", {410, 430, 75, 23});
        m_btnCancel = formChild<QZVBaseButton>(form, "m_btnCancel", {320, 430, 75, 23});
        m_sliderQuality = formChild<QZVBaseSlider>(form, "m_sliderQuality", {100, 360, 75, 20});
        m_labQuality = formChild<QLabel>(form, "m_labQuality", {20, 360, 71, 16});
        m_labResolution = formChild<QLabel>(form, "m_labResolution", {20, 320, 71, 16});
        m_spinboxQuality = formChild<QZVSpinBox>(form, "m_spinboxQuality", {180, 360, 50, 22});
        m_chkAllOutput = formChild<QZVCheckBox>(form, "m_chkAllOutput", {300, 320, 151, 16});
        m_chkKeepExif = formChild<QZVCheckBox>(form, "m_chkKeepExif", {300, 380, 151, 16});
        m_chkKeepAspectRatio = formChild<QZVCheckBox>(form, "m_chkKeepAspectRatio", {300, 350, 151, 16});
        m_labX = formChild<QLabel>(form, "m_labX", {165, 320, 10, 16});
        form->setWindowTitle(QCoreApplication::translate("QFormatDlg", "Dialog"));
    }
};

} // namespace Ui
