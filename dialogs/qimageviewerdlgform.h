#pragma once

#include "formparts.h"
#include "qzvimageviewer.h"

namespace Ui {

class QImageViewerDlg
{
public:
    ::QZVImageViewer *m_imageViewer = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QImageViewerDlg"));
        form->resize(872, 545);
        m_imageViewer = formChild<::QZVImageViewer>(form, "m_imageViewer", {80, 60, 721, 361});
        form->setWindowTitle(QCoreApplication::translate("QImageViewerDlg", "Dialog"));
    }
};

} // namespace Ui
