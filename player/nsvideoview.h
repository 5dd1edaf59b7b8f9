#pragma once

#include "videoview.h"

#include <QImage>
#include <QWidget>

// Draws frames on the CPU where no OpenGL context can be made: packed frames as they
// are, planar frames converted at the view's size.
class NSVideoView : public QWidget, public VideoView
{
    Q_OBJECT

public:
    explicit NSVideoView(QWidget *parent = nullptr);
    ~NSVideoView() override;

    QWidget *widget() override { return this; }
    void reshape() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void OnPackedFrame(const VideoFrameCore::PackedFrame &frame) override;
    void OnPlanarFrame(const VideoFrameCore::PlanarFrame &frame) override;

private:
    QByteArray m_pixels;
    QImage m_image;
};
