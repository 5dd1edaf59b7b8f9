#pragma once

#include "qzvwidget.h"
#include "ui_qconverterprogresswgt.h"

// The batch's overall progress: a translucent panel with a progress ring in its middle,
// shown over the list while it converts.
class QConverterProgressWgt : public QZVWidget, public Ui::QConverterProgressWgt
{
    Q_OBJECT

public:
    explicit QConverterProgressWgt(QWidget *parent = nullptr);
    ~QConverterProgressWgt() override;

    // Clamped to 0..100.
    void setValue(int value);
    void resetControlLocation() override;
};
