#pragma once

#include "videoview.h"

#include <QOpenGLFunctions>
#include <QOpenGLWidget>

#include <variant>

class QOpenGLShaderProgram;

// Draws frames with OpenGL: planar 4:2:0 through a YUV shader over three luminance
// textures, packed B, G, R, x frames as an RGBA texture through a channel-swapping shader.
// Runs on desktop compatibility contexts and on GLES 2.
class NSOpenGLVideoView : public QOpenGLWidget, protected QOpenGLFunctions, public VideoView
{
    Q_OBJECT

public:
    explicit NSOpenGLVideoView(QWidget *parent = nullptr);
    ~NSOpenGLVideoView() override;

    QWidget *widget() override { return this; }
    void reshape() override;
    // Deletes every GL object; the next frame makes them again.
    void reset();

    // Test hook: every later shader build fails as a broken shader would.
    static void setForceShaderFailure(bool on);

protected:
    void initializeGL() override;
    void paintGL() override;
    void OnPackedFrame(const VideoFrameCore::PackedFrame &frame) override;
    void OnPlanarFrame(const VideoFrameCore::PlanarFrame &frame) override;

private:
    using WaitingFrame = std::variant<std::monostate, VideoFrameCore::PackedFrame, VideoFrameCore::PlanarFrame>;

    void UploadNow(const WaitingFrame &frame);
    void Upload(const WaitingFrame &frame);
    void SwitchPath(bool packed);
    void UploadPacked(const VideoFrameCore::PackedFrame &frame);
    void UploadPlanar(const VideoFrameCore::PlanarFrame &frame);
    void ClearFrame();
    bool EnsureProgram(QOpenGLShaderProgram *&program, const char *fragment);
    void AllocatePlanes(const VideoFrameCore::PlanarFrame &frame);
    GLuint MakeTexture();
    void DrawStrip(QOpenGLShaderProgram *program);

    GLuint m_packedTexture = 0;
    GLuint m_planeTextures[3] = {};
    QOpenGLShaderProgram *m_yuvProgram = nullptr;
    QOpenGLShaderProgram *m_packedProgram = nullptr;
    QSize m_frameSize;
    VideoFrameCore::TextureLayout m_layout;
    bool m_packedPath = false;
    bool m_initialized = false;
    bool m_shaderLogged = false;
    // The newest frame that came before the context existed.
    WaitingFrame m_waiting;
};
