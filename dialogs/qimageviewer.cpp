#include "qimageviewer.h"

#include "imagezoom.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qzvbasebutton.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

QImageViewer::QImageViewer(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    QInitCtrlStyle::InitBg1(this);
    setStretchPolicy(StretchBoth);
    setStretchWidth(3);
    setTransparentW(7, 8, 7, 8);
    initControls();
    resize(760, 580);
}

QImageViewer::~QImageViewer() = default;

void QImageViewer::initControls()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    connect(m_btnTitleClose, &QPushButton::clicked, this, &QWidget::close);
    m_scrollArea = new QScrollArea;
    m_scrollArea->setBackgroundRole(QPalette::Dark);
    m_scrollArea->viewport()->setStyleSheet(QStringLiteral("background-color:transparent;"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_imageLabel = new QLabel(this);
    m_imageLabel->setBackgroundRole(QPalette::Base);
    m_imageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_imageLabel->setScaledContents(true);
    m_scrollArea->setWidget(m_imageLabel);
    m_gridLayout->addWidget(m_scrollArea, 0, 0); // no alignment: the area fills the dialog
    setLayout(m_gridLayout);
    m_gridLayout->setContentsMargins(9, 30, 9, 58);
}

void QImageViewer::scaleImage(double factor)
{
    // Nothing to zoom until the label shows a picture.
    const QPixmap pixmap = m_imageLabel->pixmap(Qt::ReturnByValue);
    if (pixmap.isNull())
        return;
    m_scaleFactor *= factor;
    m_imageLabel->resize(qRound(pixmap.width() * m_scaleFactor), qRound(pixmap.height() * m_scaleFactor));
    adjustScrollBar(m_scrollArea->horizontalScrollBar(), factor);
    adjustScrollBar(m_scrollArea->verticalScrollBar(), factor);
}

void QImageViewer::adjustScrollBar(QScrollBar *bar, double factor)
{
    bar->setValue(ImageZoom::correctedBarValue(bar->value(), bar->pageStep(), factor));
}

void QImageViewer::resetControlLocation()
{
}

void QImageViewer::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
}
