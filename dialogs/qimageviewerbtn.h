#pragma once

#include "qimageviewerbtnform.h"
#include "qzvwidget.h"

// The frame viewer's button bar: zoom, previous, next, full screen and the "Selected" box
// in one centred row.
class QImageViewerBtn : public QZVWidget, public Ui::QImageViewerBtn
{
    Q_OBJECT

public:
    explicit QImageViewerBtn(QWidget *parent = nullptr);
    ~QImageViewerBtn() override;

    void setFullscreen(bool full);
    // Sets the box without announcing it.
    void setSelected(bool selected);

public slots:
    void onFullScreen();
    void onNormalScreen();

signals:
    void emitBlowup();
    void emitBlowdown();
    void emitPrevious();
    void emitNext();
    void emitFullScreen();
    void emitNormalScreen();
    void emitSelected(bool selected);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void initControls();
    void placeRow();
};
