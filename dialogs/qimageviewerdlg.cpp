#include "qimageviewerdlg.h"

#include "mmc.h"
#include "qianyutil.h"
#include "imagezoom.h"
#include "qimagechunk.h"
#include "qimageviewerbtn.h"
#include "qinitctrlstyle.h"
#include "qzvbasebutton.h"

#include <QCursor>
#include <QTimer>

namespace {

// A frame file claiming more than this is not believed.
constexpr uint64_t kMaxFrameBytes = 64ull * 1024 * 1024;

// The decoded frame, or a null image when it cannot be read; the handle is always closed.
QImage readFrame(const std::string &path, int key)
{
    QImage image;
    const MMC_Handle handle = MMC_ImageOpen(path.c_str(), 0);
    if (!handle)
        return image;
    MMC_ImageSetKey(handle, key);
    const uint64_t size = MMC_ImageGetEncodedSize(handle);
    if (size > 0 && size <= kMaxFrameBytes) {
        QByteArray bytes(int(size), Qt::Uninitialized);
        if (MMC_ImageReadEncoded(handle, bytes.data(), size) > 0)
            image.loadFromData(bytes);
    }
    MMC_ImageClose(handle);
    return image;
}

} // namespace

QImageViewerDlg::QImageViewerDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    setWindowTitle(tr("Frame Viewer"));
    QInitCtrlStyle::InitBg1(this);
    setDlgTitle(tr("Frame Viewer"));
    setStretchPolicy(StretchBoth);
    setTransparentW(6, 6, 6, 6);
    setStretchWidth(3);
    initControls();
    resize(924, 700);
    m_imageViewer->resize(width() - 16, height() - 88);
    placeNormal(); // the resize event only comes with the first show
}

QImageViewerDlg::~QImageViewerDlg()
{
    delete m_bar;
    delete m_showTimer;
}

void QImageViewerDlg::initControls()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    connect(m_btnTitleClose, &QPushButton::clicked, this, &QWidget::close);
    m_showTimer = new QTimer(this);
    connect(m_showTimer, &QTimer::timeout, this, &QImageViewerDlg::showTimer);
    m_bar = new QImageViewerBtn(this);
    connect(m_bar, &QImageViewerBtn::emitBlowdown, this, &QImageViewerDlg::onBlowdown);
    connect(m_bar, &QImageViewerBtn::emitBlowup, this, &QImageViewerDlg::onBlowup);
    connect(m_bar, &QImageViewerBtn::emitFullScreen, this, &QImageViewerDlg::onFullScreen);
    connect(m_bar, &QImageViewerBtn::emitNormalScreen, this, &QImageViewerDlg::onNormalScreen);
    connect(m_bar, &QImageViewerBtn::emitNext, this, &QImageViewerDlg::emitNext);
    connect(m_bar, &QImageViewerBtn::emitPrevious, this, &QImageViewerDlg::emitPrevious);
    connect(m_bar, &QImageViewerBtn::emitSelected, this, &QImageViewerDlg::emitSelected);
}

void QImageViewerDlg::setImageChunkAndKey(QImageChunk *chunk, int key)
{
    m_chunk = chunk;
    m_key = key;
    m_bar->setSelected(chunk && chunk->GetCheck() != 0);
    setImageChunk(chunk);
}

void QImageViewerDlg::setImageChunk(QImageChunk *chunk)
{
    if (!chunk)
        return;
    const QImage image = readFrame(chunk->GetImagePath(), m_key);
    if (!image.isNull())
        m_imageViewer->setImage(image);
}

bool QImageViewerDlg::setImage(const QString &path)
{
    return m_imageViewer->setImage(path);
}

bool QImageViewerDlg::setImage(const QImage &image)
{
    return m_imageViewer->setImage(image);
}

void QImageViewerDlg::resetControlLocation()
{
    if (m_fullScreen)
        placeFullScreen();
    else
        placeNormal();
}

void QImageViewerDlg::placeNormal()
{
    m_imageViewer->setGeometry(8, 30, width() - 16, height() - 88);
    if (m_bar)
        m_bar->setGeometry(8, height() - 58, width() - 16, 50);
}

void QImageViewerDlg::placeFullScreen()
{
    m_imageViewer->setGeometry(0, 0, width(), height());
    if (m_bar)
        m_bar->move((width() - m_bar->width()) / 2, height() - 50);
}

void QImageViewerDlg::onBlowup()
{
    m_imageViewer->zoomIN(1.25);
}

void QImageViewerDlg::onBlowdown()
{
    m_imageViewer->zoomOut(0.8);
}

void QImageViewerDlg::onFullScreen()
{
    m_fullScreen = true;
    setTransparentW(0);
    showFullScreen();
    m_showTimer->start(100);
    m_bar->hide();
}

void QImageViewerDlg::onNormalScreen()
{
    m_fullScreen = false;
    setTransparentW(6, 6, 6, 6);
    showNormal();
    m_showTimer->stop();
    m_bar->show();
}

void QImageViewerDlg::onSelected(bool selected)
{
    emit emitSelected(selected);
}

// The cursor is mapped into the dialog, so the band holds wherever the screen lies.
void QImageViewerDlg::showTimer()
{
    const int y = mapFromGlobal(QCursor::pos()).y();
    m_bar->setVisible(ImageZoom::inBottomBand(y, height()));
}

void QImageViewerDlg::showEvent(QShowEvent *event)
{
    // The controls are placed by the resizes; the base's placing on show is not wanted.
    QDialog::showEvent(event);
}

void QImageViewerDlg::changeEvent(QEvent *event)
{
    QZVDialogEx::changeEvent(event);
    if (!m_imageViewer || !m_bar)
        return;
    const bool full = isFullScreen();
    if (full)
        placeFullScreen();
    else
        m_imageViewer->setGeometry(8, 30, width() - 16, height() - 88);
    setTitleButtonsVisible(!full);
}

void QImageViewerDlg::setTitleButtonsVisible(bool visible)
{
    for (QZVBaseButton *button : {m_btnTitleClose, m_btnTitleMin, m_btnTitleMax})
        if (button)
            button->setVisible(visible);
}

void QImageViewerDlg::mouseDoubleClickEvent(QMouseEvent *event)
{
    QZVDialogEx::mouseDoubleClickEvent(event);
    const bool enter = !m_fullScreen;
    if (enter)
        onFullScreen();
    else
        onNormalScreen();
    m_bar->setFullscreen(enter);
}
