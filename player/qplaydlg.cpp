#include "qplaydlg.h"

#include "playbtnwidget.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qplayerwidget.h"
#include "qzvbasebutton.h"

#include <QKeyEvent>
#include <QPainter>

QPlayDlg::QPlayDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    QInitCtrlStyle::InitBg3(this);
    setTitleRect(QRect());
    setTransDlg(false);
    setAttribute(Qt::WA_TranslucentBackground, false);
    setDlgTitle(QObject::tr("Play"));
    setWindowTitle(QStringLiteral("Calvetrin Glintora"));
    setMinimumSize(350, 492);
    resize(350, 492);
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    connect(m_btnTitleClose, &QZVBaseButton::clicked, this, &QPlayDlg::OnBtnClose);
    installEventFilter(this);
    m_playerWidget = new QPlayerWidget(this);
    connect(m_playerWidget, &QPlayerWidget::emitFullScreen, this, &QPlayDlg::OnFullScreen);
    connect(m_playerWidget->playBtnWidget(), &PlayBtnWidget::emitBtnPreVideo, this, &QPlayDlg::emitPreFile);
    connect(m_playerWidget->playBtnWidget(), &PlayBtnWidget::emitBtnNextVideo, this, &QPlayDlg::emitNextFile);
}

QPlayDlg::~QPlayDlg()
{
    delete m_playerWidget;
}

void QPlayDlg::setPlayFile(const QString &path)
{
    m_filePath = path;
    m_playerWidget->PlayVideoFile(path);
    m_playerWidget->PlayVideo();
    if (!m_playerWidget->isShowPlayWgt())
        m_playerWidget->startShowPlayWgt();
}

void QPlayDlg::setPlayFileName(const QString &name)
{
    m_fileName = name;
    setDlgTitle(name);
}

void QPlayDlg::showCtrl(bool hide)
{
    m_btnTitleClose->setHidden(hide);
}

// The close button, Escape and the window manager's close all come here: without it the
// sound would play on in a hidden window.
void QPlayDlg::reject()
{
    if (m_isFullScreen)
        OnFullScreen();
    m_playerWidget->OnClose();
    QZVDialogEx::reject();
}

// Escape in full screen only leaves it, as a desktop's players do; from the window it closes.
void QPlayDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_isFullScreen) {
        event->accept();
        OnFullScreen();
        return;
    }
    QZVDialogEx::keyPressEvent(event);
}

void QPlayDlg::OnBtnClose()
{
    close();
}

void QPlayDlg::OnFullScreen()
{
    m_isFullScreen = !m_isFullScreen;
    if (m_isFullScreen)
        showFullScreen();
    else
        showNormal();
    m_playerWidget->setFullScreen(m_isFullScreen);
    m_btnTitleClose->setHidden(m_isFullScreen);
    m_playerWidget->startShowPlayWgt();
}

void QPlayDlg::resetControlLocation()
{
    m_btnTitleClose->move(8, 5);
    m_btnTitleMin->move(28, 5);
    m_btnTitleMax->move(48, 5);
    if (!m_playerWidget)
        return;
    if (m_isFullScreen)
        m_playerWidget->setGeometry(rect());
    else
        m_playerWidget->setGeometry(2, 22, width() - 4, height() - 24);
}

void QPlayDlg::resizeEvent(QResizeEvent *event)
{
    QZVDialogEx::resizeEvent(event);
    m_playerWidget->ResizeVideoWindow();
    // The name stays between the title buttons and a matching right margin.
    setTitleRect(QRect(30, 0, width() - 60, 0));
}

void QPlayDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(212, 212, 212));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void QPlayDlg::mousePressEvent(QMouseEvent *event)
{
    QZVDialogEx::mousePressEvent(event);
    QPlayerWidget::setHistoryDlgActivate(true);
}

void QPlayDlg::mouseDoubleClickEvent(QMouseEvent *event)
{
    QZVDialogEx::mouseDoubleClickEvent(event);
    m_playerWidget->ResizeVideoWindow();
}

void QPlayDlg::setFrameGeomtry(QMouseEvent *event)
{
    m_playerWidget->ResizeVideoWindow();
    QZVDialogEx::setFrameGeomtry(event);
}

void QPlayDlg::moveEvent(QMoveEvent *event)
{
    QZVDialogEx::moveEvent(event);
    m_playerWidget->reseizeBtnLocation();
}

bool QPlayDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        switch (event->type()) {
        case QEvent::FocusIn:
            QPlayerWidget::setHistoryDlgActivate(true);
            break;
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            QPlayerWidget::setHistoryDlgActivate(event->type() == QEvent::WindowActivate);
            return true;
        default:
            break;
        }
    }
    return QZVDialogEx::eventFilter(watched, event);
}
