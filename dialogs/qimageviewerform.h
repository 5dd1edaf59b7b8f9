#pragma once

#include "formparts.h"

namespace Ui {

class QImageViewer : public GridLayoutForm
{
public:
    void setupUi(QWidget *form)
    {
        setupGrid(form, "QImageViewer", {1006, 653}, {160, 170, 621, 391}, "Dialog");
        gridLayoutWidget->raise();
    }
};

} // namespace Ui
