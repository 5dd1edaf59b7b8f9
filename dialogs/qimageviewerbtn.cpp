#include "qimageviewerbtn.h"

#include "imagezoom.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"

#include <QSignalBlocker>

QImageViewerBtn::QImageViewerBtn(QWidget *parent)
    : QZVWidget(parent)
{
    setupUi(this);
    setMoveTopHeight(0);
    setBackgroundImage(QIAnyUtil::getResourcePath() + QStringLiteral("/image/PlayerImage/bg_play.png"), false);
    initControls();
}

QImageViewerBtn::~QImageViewerBtn() = default;

void QImageViewerBtn::initControls()
{
    struct Look
    {
        QZVBaseButton *button;
        const char *image;
        QString tip;
    };
    const QString folder = QIAnyUtil::getResourcePath() + QStringLiteral("/image/imageviewer/");
    for (const Look &look : {Look{m_btnNormalScreen, "btn_back_pic.png", tr("Back Screen")},
                             Look{m_btnBlowdown, "btn_pic_shrink.png", tr("Blow down")},
                             Look{m_btnBlowup, "btn_pic_enlarge.png", tr("Blow up")},
                             Look{m_btnPrevious, "btn_pic_previous.png", tr("Previous Image")},
                             Look{m_btnNext, "btn_pic_next.png", tr("Next Image")},
                             Look{m_btnFullScreen, "btn_full_pic.png", tr("Full Screen")}}) {
        look.button->setButtonImage(folder + QLatin1String(look.image), true);
        look.button->setToolTip(look.tip);
    }
    QInitCtrlStyle::InitCheckBox(m_cbxSelected);
    m_cbxSelected->adjustSize();
    m_btnNormalScreen->hide();
    connect(m_btnNormalScreen, &QPushButton::clicked, this, &QImageViewerBtn::onNormalScreen);
    connect(m_btnBlowdown, &QPushButton::clicked, this, &QImageViewerBtn::emitBlowdown);
    connect(m_cbxSelected, &QCheckBox::toggled, this, &QImageViewerBtn::emitSelected);
    connect(m_btnBlowup, &QPushButton::clicked, this, &QImageViewerBtn::emitBlowup);
    connect(m_btnPrevious, &QPushButton::clicked, this, &QImageViewerBtn::emitPrevious);
    connect(m_btnNext, &QPushButton::clicked, this, &QImageViewerBtn::emitNext);
    connect(m_btnFullScreen, &QPushButton::clicked, this, &QImageViewerBtn::onFullScreen);
}

void QImageViewerBtn::setFullscreen(bool full)
{
    m_btnFullScreen->setVisible(!full);
    m_btnNormalScreen->setVisible(full);
}

void QImageViewerBtn::setSelected(bool selected)
{
    const QSignalBlocker quiet(m_cbxSelected);
    m_cbxSelected->setChecked(selected);
}

void QImageViewerBtn::onFullScreen()
{
    setFullscreen(true);
    emit emitFullScreen();
}

void QImageViewerBtn::onNormalScreen()
{
    setFullscreen(false);
    emit emitNormalScreen();
}

void QImageViewerBtn::resizeEvent(QResizeEvent *event)
{
    QZVWidget::resizeEvent(event);
    placeRow();
}

// Each control starts 20 pixels after its left neighbour's right edge (x + width - 1).
void QImageViewerBtn::placeRow()
{
    const QList<QWidget *> row{m_btnBlowup, m_btnBlowdown, m_btnPrevious, m_btnNext, m_btnFullScreen, m_cbxSelected};
    int controls = 0;
    for (QWidget *control : row)
        controls += control->width();
    int x = ImageZoom::buttonRowStart(width(), controls);
    for (QWidget *control : row) {
        control->move(x, (height() - control->height()) / 2);
        if (control == m_btnFullScreen)
            m_btnNormalScreen->move(x, (height() - m_btnNormalScreen->height()) / 2);
        x += control->width() - 1 + 20;
    }
}
