#pragma once

#include "formparts.h"

namespace Ui {

class QZVImageViewer : public GridLayoutForm
{
public:
    void setupUi(QWidget *form) { setupGrid(form, "QZVImageViewer", {745, 500}, {99, 100, 451, 261}, "Form"); }
};

} // namespace Ui
