#include "qimagecontainer.h"

#include "imagezoom.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

QImageContainer::QImageContainer(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
{
    m_label->setBackgroundRole(QPalette::Base);
    m_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_label->setScaledContents(true);
}

QImageContainer::~QImageContainer()
{
    delete m_label;
}

void QImageContainer::setImage(const QString &path, QSize size)
{
    setImage(QImage(path), size);
}

void QImageContainer::setImage(const QImage &image, QSize size)
{
    m_hasImage = !image.isNull();
    if (!m_hasImage)
        return;
    m_label->resize(size);
    m_label->setPixmap(QPixmap::fromImage(image));
    m_baseSize = size;
    centreLabel();
    m_maxSize = ImageZoom::maximumSize(image.size(), QGuiApplication::primaryScreen()->geometry().size());
}

void QImageContainer::zoom(double scale)
{
    if (!m_hasImage)
        return;
    m_label->resize(ImageZoom::zoomedLabelSize(m_baseSize, scale, m_maxSize));
    const QSize label = m_label->size();
    resize(ImageZoom::zoomedContainerSize(m_containerSize, label));
    emit emitShowScrollBar(ImageZoom::needsHorizontalBar(m_containerSize, label),
                           ImageZoom::needsVerticalBar(m_containerSize, label));
    centreLabel();
}

bool QImageContainer::isZoomIn() const
{
    return m_maxSize.width() >= 1 && m_maxSize.height() >= 1 && m_label->width() < m_maxSize.width();
}

void QImageContainer::setImageContainerSize(QSize size)
{
    const QSize label = m_label->size();
    resize(ImageZoom::viewContainerSize(this->size(), size, label));
    m_containerSize = size;
    emit emitShowScrollBar(ImageZoom::needsHorizontalBar(size, label), ImageZoom::needsVerticalBar(size, label));
}

void QImageContainer::restoreImage()
{
    if (!m_hasImage)
        return;
    m_label->adjustSize();
    resize(m_label->size());
}

QSize QImageContainer::getImageSize() const
{
    return m_hasImage ? m_label->size() : QSize(0, 0);
}

void QImageContainer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_hasImage)
        centreLabel();
}

void QImageContainer::centreLabel()
{
    m_label->move(ImageZoom::centred(size(), m_label->size()));
}
