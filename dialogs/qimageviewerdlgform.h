#pragma once

#include "qzvimageviewer.h"

#include <QCoreApplication>
#include <QWidget>

namespace Ui {

class QImageViewerDlg
{
public:
    ::QZVImageViewer *m_imageViewer = nullptr;

    void setupUi(QWidget *form)
    {
        form->setObjectName(QStringLiteral("QImageViewerDlg"));
        form->resize(872, 545);
        m_imageViewer = new ::QZVImageViewer(form);
        m_imageViewer->setObjectName(QStringLiteral("m_imageViewer"));
        m_imageViewer->setGeometry(80, 60, 721, 361);
        form->setWindowTitle(QCoreApplication::translate("QImageViewerDlg", "Dialog"));
    }
};

} // namespace Ui
