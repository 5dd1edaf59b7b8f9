#pragma once

#include <QtGlobal>

#include <map>
#include <memory>

class QWidget;

// Per-record state of the controls drawn in a record's cells, kept by widget.
class QChunkControl
{
public:
    enum controlType
    {
        ButtonControl,
        CheckControl,
        ProgressControl
    };

    struct Attribute
    {
        quint8 state = 0;
        double value = 0.0;
        controlType type = ButtonControl;
    };

    QChunkControl() = default;
    QChunkControl(const QChunkControl &) = delete;
    QChunkControl &operator=(const QChunkControl &) = delete;

    // A null widget is ignored; adding a widget again replaces its attribute.
    void addControl(QWidget *widget, controlType type);
    Attribute *getControlAttribute(QWidget *widget) const;

private:
    std::map<QWidget *, std::unique_ptr<Attribute>> m_controls;
};
