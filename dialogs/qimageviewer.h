#pragma once

#include "qimageviewerform.h"
#include "qzvdialogex.h"

class QLabel;
class QScrollArea;
class QScrollBar;

// A frameless dialog showing one picture in a scroll area, zoomed around the visible
// centre. The picture is given to its label from outside.
class QImageViewer : public QZVDialogEx, private Ui::QImageViewer
{
    Q_OBJECT

public:
    explicit QImageViewer(QWidget *parent = nullptr);
    ~QImageViewer() override;

    void scaleImage(double factor);
    void adjustScrollBar(QScrollBar *bar, double factor);
    void resetControlLocation() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void initControls();

    double m_scaleFactor = 1.0;
    QScrollArea *m_scrollArea = nullptr;
    QLabel *m_imageLabel = nullptr;
};
