#include "qchunkcontrol.h"

void QChunkControl::addControl(QWidget *widget, controlType type)
{
    if (!widget)
        return;
    auto attribute = std::make_unique<Attribute>();
    attribute->type = type;
    m_controls[widget] = std::move(attribute);
}

QChunkControl::Attribute *QChunkControl::getControlAttribute(QWidget *widget) const
{
    const auto found = m_controls.find(widget);
    return found == m_controls.end() ? nullptr : found->second.get();
}
