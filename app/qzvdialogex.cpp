#include "qzvdialogex.h"

#include "qzvbasebutton.h"

QZVDialogEx::QZVDialogEx(QWidget *parent)
    : QZVDialog(parent)
{
    setStretchPolicy(QBaseDrawWidget::StretchNone);
}

QZVDialogEx::~QZVDialogEx()
{
    delete m_btnTitleClose;
    delete m_btnTitleMin;
    delete m_btnTitleMax;
}

QZVBaseButton *QZVDialogEx::replaceTitleButton(QZVBaseButton *&slot, const char *name,
                                               const QString &imagePath, bool visible,
                                               QPoint position)
{
    delete slot;
    slot = new QZVBaseButton(this);
    slot->setObjectName(QLatin1String(name));
    slot->setButtonImage(imagePath, true);
    // Title bar buttons answer the mouse only, as a desktop's own do.
    slot->setFocusPolicy(Qt::NoFocus);
    if (!visible)
        slot->hide();
    slot->move(position);
    return slot;
}

void QZVDialogEx::addCloseBtn(const QString &imagePath, bool visible)
{
    replaceTitleButton(m_btnTitleClose, "m_btnTitleClose", imagePath, visible, QPoint(16, 13))
        ->setToolTip(QObject::tr("Close"));
}

void QZVDialogEx::addMinBtn(const QString &imagePath, bool visible)
{
    replaceTitleButton(m_btnTitleMin, "m_btnTitleMin", imagePath, visible, QPoint(36, 13))
        ->setEnabled(false);
}

void QZVDialogEx::addMaxBtn(const QString &imagePath, bool visible)
{
    replaceTitleButton(m_btnTitleMax, "m_btnTitleMax", imagePath, visible, QPoint(56, 13))
        ->setEnabled(false);
}

void QZVDialogEx::addRestoreBtn(const QString &, bool)
{
}

void QZVDialogEx::setTransDlg(bool on)
{
    m_bTransDlg = on;
}
