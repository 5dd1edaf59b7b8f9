#pragma once

#include "imagezoom.h"

#include <QScrollArea>

// A scroll area that pans its contents while the left mouse button drags over it.
class QScrollAreaEx : public QScrollArea
{
    Q_OBJECT

public:
    explicit QScrollAreaEx(QWidget *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ImageZoom::DragState m_drag;
};
