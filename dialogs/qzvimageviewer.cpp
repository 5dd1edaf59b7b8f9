#include "qzvimageviewer.h"

#include "imagezoom.h"
#include "qimagecontainer.h"
#include "qinitctrlstyle.h"
#include "qscrollareaex.h"
#include "qzvscrollbar.h"

#include <QResizeEvent>

QZVImageViewer::QZVImageViewer(QWidget *parent)
    : QWidget(parent)
{
    setupUi(this);
    initControls();
    setMouseTracking(true);
}

QZVImageViewer::~QZVImageViewer()
{
    delete m_container;
    delete m_scrollArea;
}

void QZVImageViewer::initControls()
{
    m_scrollArea = new QScrollAreaEx(this);
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->viewport()->setStyleSheet(QStringLiteral("background-color:rgb(242,242,242);"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_container = new QImageContainer;
    m_scrollArea->setWidget(m_container);
    m_gridLayout->addWidget(m_scrollArea); // no alignment: the area fills the viewer
    setLayout(m_gridLayout);
    m_gridLayout->setContentsMargins(0, 0, 0, 0);
    connect(m_container, &QImageContainer::emitShowScrollBar, this, &QZVImageViewer::showScrollBar);
    m_verticalBar = makeScrollBar(Qt::Vertical);
    m_scrollArea->setVerticalScrollBar(m_verticalBar);
    m_horizontalBar = makeScrollBar(Qt::Horizontal);
    m_scrollArea->setHorizontalScrollBar(m_horizontalBar);
}

// Made with the default orientation and turned through QZVScrollBar, whose
// setOrientation fixes the bar's thickness; the view's bars are thinner than that.
QZVScrollBar *QZVImageViewer::makeScrollBar(Qt::Orientation orientation)
{
    constexpr int thickness = 8;
    auto *bar = new QZVScrollBar(this);
    bar->setOrientation(orientation);
    QInitCtrlStyle::InitZvScrollBar(bar);
    QZVScrollBarStyleAttribute style = bar->styleAttribute();
    style.scrollBarExtent = thickness;
    bar->setStyleAttribute(style);
    if (orientation == Qt::Horizontal)
        bar->setFixedHeight(thickness);
    else
        bar->setFixedWidth(thickness);
    return bar;
}

bool QZVImageViewer::setImage(const QString &path)
{
    return setImage(QImage(path));
}

bool QZVImageViewer::setImage(const QImage &image)
{
    if (image.isNull()) {
        m_hasImage = false;
        return false;
    }
    m_hasImage = true;
    m_scale = 1.0;
    m_container->resize(size());
    m_container->setImage(image, getImageScale(image.width(), image.height()));
    return true;
}

QSize QZVImageViewer::getImageScale(int width, int height) const
{
    return ImageZoom::fitSize(QSize(width, height), size());
}

void QZVImageViewer::zoomIN(double factor)
{
    if (!m_hasImage || !m_container->isZoomIn())
        return;
    m_scale *= factor;
    applyZoom(factor);
}

void QZVImageViewer::zoomOut(double factor)
{
    if (!m_hasImage)
        return;
    m_scale = ImageZoom::zoomOutScale(m_scale, factor);
    applyZoom(factor);
}

void QZVImageViewer::applyZoom(double factor)
{
    m_container->zoom(m_scale);
    m_scrollArea->viewport()->updateGeometry();
    adjustScrollBar(m_scrollArea->horizontalScrollBar(), factor);
    adjustScrollBar(m_scrollArea->verticalScrollBar(), factor);
}

void QZVImageViewer::adjustScrollBar(QScrollBar *bar, double factor)
{
    bar->setValue(ImageZoom::correctedBarValue(bar->value(), bar->pageStep(), factor));
}

void QZVImageViewer::setVerticalScrollBar(QScrollBar *bar)
{
    m_scrollArea->setVerticalScrollBar(bar);
}

void QZVImageViewer::setHorizontalScrollBar(QScrollBar *bar)
{
    m_scrollArea->setHorizontalScrollBar(bar);
}

void QZVImageViewer::showScrollBar(bool horizontal, bool vertical)
{
    m_scrollArea->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void QZVImageViewer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_container->setImageContainerSize(size());
}

void QZVImageViewer::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    setCursor(Qt::ArrowCursor);
}
