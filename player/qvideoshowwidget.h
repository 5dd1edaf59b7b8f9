#pragma once

#include <QWidget>

#include <mutex>

class VideoView;

// Hosts one video view, filling itself with it, and forwards frames to it from any
// thread. The view is swapped under a mutex, so a frame never meets a deleted view.
class QVideoShowWidget : public QWidget
{
    Q_OBJECT

public:
    explicit QVideoShowWidget(QWidget *parent = nullptr);
    ~QVideoShowWidget() override;

    // Replaces the view: OpenGL when asked and a context can be made, else the raster view.
    void SetOpenGl(bool useOpenGl);
    void reshape();
    // Any thread; false before the first SetOpenGl and for a dropped frame.
    bool showImage(unsigned char *data, unsigned width, unsigned height, unsigned stride);
    bool showYUVImage(unsigned char **planes, int width, int height, int *strides);

    // The current view, for tests; null before the first SetOpenGl.
    VideoView *view() const;

    // Test switch: every later SetOpenGl makes the raster view.
    static void setForceRaster(bool on);
    // Whether an OpenGL context can be made here; probed once.
    static bool isOpenGlAvailable();

private:
    bool m_useOpenGl = true;
    mutable std::mutex m_viewMutex;
    VideoView *m_view = nullptr;
};
