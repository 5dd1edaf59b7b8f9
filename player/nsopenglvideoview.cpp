#include "nsopenglvideoview.h"

#include "playerlog.h"

#include <QOpenGLContext>
#include <QOpenGLShaderProgram>

#include <atomic>
#include <vector>

using namespace VideoFrameCore;

namespace {

std::atomic<bool> g_forceShaderFailure{false};

// GLSL ES 1.00 style without a version line: valid on desktop compatibility contexts,
// where QOpenGLShader defines the precision qualifiers away, and on GLES 2.
const char *const kVertexShader = R"(
attribute vec4 vPosition;
attribute vec2 a_texCoord;
varying vec2 tc;
void main()
{
    gl_Position = vPosition;
    tc = a_texCoord;
}
)";

const char *const kYuvShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
varying vec2 tc;
uniform sampler2D SamplerY;
uniform sampler2D SamplerU;
uniform sampler2D SamplerV;
void main()
{
    float y = texture2D(SamplerY, tc).r - 0.0625;
    float u = texture2D(SamplerU, tc).r - 0.5;
    float v = texture2D(SamplerV, tc).r - 0.5;
    gl_FragColor = vec4(1.164 * y + 1.596 * v, 1.164 * y - 0.392 * u - 0.813 * v, 1.164 * y + 2.017 * u, 1.0);
}
)";

// The packed frame is uploaded as RGBA bytes, so its B, G, R arrive as r, g, b.
const char *const kPackedShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
varying vec2 tc;
uniform sampler2D SamplerY;
void main()
{
    gl_FragColor = vec4(texture2D(SamplerY, tc).bgr, 1.0);
}
)";

const char *const kSamplers[3] = {"SamplerY", "SamplerU", "SamplerV"};

} // namespace

NSOpenGLVideoView::NSOpenGLVideoView(QWidget *parent)
    : QOpenGLWidget(parent)
{
}

NSOpenGLVideoView::~NSOpenGLVideoView()
{
    // The base class destroys the context after this part of the object is gone.
    if (context())
        disconnect(context(), &QOpenGLContext::aboutToBeDestroyed, this, nullptr);
    if (m_initialized) {
        makeCurrent();
        reset();
        doneCurrent();
    }
}

void NSOpenGLVideoView::setForceShaderFailure(bool on)
{
    g_forceShaderFailure = on;
}

void NSOpenGLVideoView::reshape()
{
    // Qt sets the viewport before every paintGL.
    update();
}

void NSOpenGLVideoView::reset()
{
    if (m_packedTexture)
        glDeleteTextures(1, &m_packedTexture);
    if (m_planeTextures[0])
        glDeleteTextures(3, m_planeTextures);
    m_packedTexture = 0;
    std::fill(std::begin(m_planeTextures), std::end(m_planeTextures), 0);
    delete m_yuvProgram;
    delete m_packedProgram;
    m_yuvProgram = nullptr;
    m_packedProgram = nullptr;
    ClearFrame();
}

void NSOpenGLVideoView::ClearFrame()
{
    m_frameSize = QSize(0, 0);
    m_layout = TextureLayout();
    m_layout.width = m_layout.height = 0;
}

void NSOpenGLVideoView::initializeGL()
{
    initializeOpenGLFunctions();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    m_initialized = true;
    // A context replaced under the widget takes its objects along: drop the names first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        reset();
        doneCurrent();
        m_initialized = false;
    });
}

void NSOpenGLVideoView::OnPackedFrame(const PackedFrame &frame)
{
    UploadNow(frame);
}

void NSOpenGLVideoView::OnPlanarFrame(const PlanarFrame &frame)
{
    UploadNow(frame);
}

void NSOpenGLVideoView::UploadNow(const WaitingFrame &frame)
{
    // Frames arrive before the first show: keep the newest for initializeGL/paintGL.
    if (!m_initialized) {
        m_waiting = frame;
        return;
    }
    makeCurrent();
    Upload(frame);
    doneCurrent();
}

void NSOpenGLVideoView::Upload(const WaitingFrame &frame)
{
    if (const auto *packed = std::get_if<PackedFrame>(&frame))
        UploadPacked(*packed);
    else if (const auto *planar = std::get_if<PlanarFrame>(&frame))
        UploadPlanar(*planar);
}

void NSOpenGLVideoView::SwitchPath(bool packed)
{
    // The two paths share the sizes: a change of path must reallocate.
    if (m_packedPath != packed)
        ClearFrame();
    m_packedPath = packed;
}

GLuint NSOpenGLVideoView::MakeTexture()
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

void NSOpenGLVideoView::UploadPacked(const PackedFrame &frame)
{
    if (frame.isNull) {
        ClearFrame();
        return;
    }
    SwitchPath(true);
    if (!m_packedTexture)
        m_packedTexture = MakeTexture();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_packedTexture);
    if (PackedNeedsRealloc(m_frameSize, m_layout, frame.width, frame.height, frame.stride)) {
        m_layout = PackedTextureLayout(frame.width, frame.height, frame.stride);
        m_frameSize = QSize(frame.width, frame.height);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_layout.width, m_layout.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
    }
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame.stride / 4, frame.height, GL_RGBA, GL_UNSIGNED_BYTE,
                    frame.pixels.constData());
}

bool NSOpenGLVideoView::EnsureProgram(QOpenGLShaderProgram *&program, const char *fragment)
{
    if (program)
        return true;
    auto candidate = std::make_unique<QOpenGLShaderProgram>();
    const QByteArray fragmentSource = g_forceShaderFailure ? QByteArray("not a shader") : QByteArray(fragment);
    candidate->bindAttributeLocation("vPosition", 0);
    candidate->bindAttributeLocation("a_texCoord", 1);
    if (!candidate->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader)
        || !candidate->addShaderFromSourceCode(QOpenGLShader::Fragment, fragmentSource) || !candidate->link()) {
        // Black until the next frame tries again; one log line is enough.
        if (!std::exchange(m_shaderLogged, true))
            qCWarning(lcPlayer) << "video shader failed:" << candidate->log();
        return false;
    }
    candidate->bind();
    for (int i = 0; i < 3; ++i)
        candidate->setUniformValue(kSamplers[i], i);
    candidate->release();
    program = candidate.release();
    return true;
}

void NSOpenGLVideoView::AllocatePlanes(const PlanarFrame &frame)
{
    m_layout = PlanarTextureLayout(frame.width, frame.height, frame.strides);
    m_frameSize = QSize(frame.width, frame.height);
    // Black in limited range until the first upload covers it.
    std::vector<char> fill(size_t(m_layout.width) * m_layout.height, 16);
    for (int i = 0; i < 3; ++i) {
        if (i == 1)
            std::fill(fill.begin(), fill.begin() + fill.size() / 4, 128);
        const int divisor = i == 0 ? 1 : 2;
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, m_planeTextures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, m_layout.width / divisor, m_layout.height / divisor, 0,
                     GL_LUMINANCE, GL_UNSIGNED_BYTE, fill.data());
    }
}

void NSOpenGLVideoView::UploadPlanar(const PlanarFrame &frame)
{
    if (frame.isNull) {
        ClearFrame();
        return;
    }
    SwitchPath(false);
    if (!EnsureProgram(m_yuvProgram, kYuvShader))
        return;
    if (!m_planeTextures[0])
        for (GLuint &texture : m_planeTextures)
            texture = MakeTexture();
    if (PlanarNeedsRealloc(m_frameSize, m_layout, frame.width, frame.height, frame.strides))
        AllocatePlanes(frame);
    for (int i = 0; i < 3; ++i) {
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, m_planeTextures[i]);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame.strides[i], i == 0 ? frame.evenHeight : frame.evenHeight / 2,
                        GL_LUMINANCE, GL_UNSIGNED_BYTE, frame.planes[i].constData());
    }
}

void NSOpenGLVideoView::paintGL()
{
    if (!std::holds_alternative<std::monostate>(m_waiting))
        Upload(std::exchange(m_waiting, WaitingFrame()));
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!m_frameSize.isEmpty()) {
        if (m_packedPath && EnsureProgram(m_packedProgram, kPackedShader)) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, m_packedTexture);
            DrawStrip(m_packedProgram);
        } else if (!m_packedPath && m_yuvProgram) {
            for (int i = 0; i < 3; ++i) {
                glActiveTexture(GL_TEXTURE0 + i);
                glBindTexture(GL_TEXTURE_2D, m_planeTextures[i]);
            }
            DrawStrip(m_yuvProgram);
        }
    }
    CountPainted();
}

void NSOpenGLVideoView::DrawStrip(QOpenGLShaderProgram *program)
{
    // The first line of the frame at the top.
    static const GLfloat positions[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    const GLfloat vw = m_layout.visibleWidth;
    const GLfloat vh = m_layout.visibleHeight;
    const GLfloat coordinates[] = {0, vh, vw, vh, 0, 0, vw, 0};
    program->bind();
    program->enableAttributeArray(0);
    program->enableAttributeArray(1);
    program->setAttributeArray(0, GL_FLOAT, positions, 2);
    program->setAttributeArray(1, GL_FLOAT, coordinates, 2);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    program->disableAttributeArray(0);
    program->disableAttributeArray(1);
    program->release();
    glActiveTexture(GL_TEXTURE0);
}
