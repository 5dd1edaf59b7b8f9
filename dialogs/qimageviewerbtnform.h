#pragma once

#include "qzvbasebutton.h"
#include "qzvcheckbox.h"

#include <QCoreApplication>
#include <QWidget>

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
        m_btnBlowup = button(form, "m_btnBlowup", 130, 60);
        m_btnBlowdown = button(form, "m_btnBlowdown", 210, 60);
        m_btnPrevious = button(form, "m_btnPrevious", 290, 60);
        m_btnNext = button(form, "m_btnNext", 370, 60);
        m_btnFullScreen = button(form, "m_btnFullScreen", 450, 60);
        m_btnNormalScreen = button(form, "m_btnNormalScreen", 450, 30);
        m_cbxSelected = new QZVCheckBox(form);
        m_cbxSelected->setObjectName(QStringLiteral("m_cbxSelected"));
        m_cbxSelected->setGeometry(540, 60, 101, 16);
        form->setWindowTitle(QCoreApplication::translate("QImageViewerBtn", "Form"));
        m_cbxSelected->setText(QCoreApplication::translate("QImageViewerBtn", "Selected"));
    }

private:
    static QZVBaseButton *button(QWidget *form, const char *name, int x, int y)
    {
        auto *result = new QZVBaseButton(form);
        result->setObjectName(QLatin1String(name));
        result->setGeometry(x, y, 75, 23);
        return result;
    }
};

} // namespace Ui
