#pragma once

#include <QCoreApplication>
#include <QGridLayout>
#include <QRect>
#include <QWidget>

// Pieces of the dialogs' hand-written forms.
namespace Ui {

// A named child at its designed geometry; the layout code places it later.
template <class Widget>
Widget *formChild(QWidget *form, const char *name, const QRect &geometry)
{
    auto *child = new Widget(form);
    child->setObjectName(QLatin1String(name));
    child->setGeometry(geometry);
    return child;
}

// A form holding one grid layout that is left free, so that it can become the form's own
// layout: a layout made on its container widget never can.
class GridLayoutForm
{
public:
    QWidget *gridLayoutWidget = nullptr;
    QGridLayout *m_gridLayout = nullptr;

protected:
    void setupGrid(QWidget *form, const char *name, QSize size, const QRect &container, const char *title)
    {
        form->setObjectName(QLatin1String(name));
        form->resize(size);
        gridLayoutWidget = formChild<QWidget>(form, "gridLayoutWidget", container);
        m_gridLayout = new QGridLayout;
        m_gridLayout->setObjectName(QStringLiteral("m_gridLayout"));
        m_gridLayout->setContentsMargins(0, 0, 0, 0);
        form->setWindowTitle(QCoreApplication::translate(name, title));
    }
};

} // namespace Ui
