#include "qplaynamewgt.h"

#include <QKeyEvent>

QPlayNameWgt::QPlayNameWgt(QWidget *parent)
    : QZVDialog(parent)
{
    setupUi(this);
    setBackgrounColor(QColor(255, 255, 255, 1));
    setMoveTopHeight(0);
    setDialogWindow(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    setStretchPolicy(QBaseDrawWidget::StretchNone);
    QPalette textPalette = palette();
    textPalette.setColor(QPalette::WindowText, QColor(53, 53, 53));
    setPalette(textPalette);
    QFont nameFont = font();
    nameFont.setFamily(QStringLiteral("Tahoma"));
    nameFont.setPixelSize(15);
    setFont(nameFont);
    setAlignment(Qt::AlignCenter);
}

QPlayNameWgt::~QPlayNameWgt() = default;

// A child of the panel, like the control strip, whatever the argument.
void QPlayNameWgt::setDialogWindow(bool)
{
    setWindowFlags(Qt::FramelessWindowHint);
}

void QPlayNameWgt::resizeEvent(QResizeEvent *event)
{
    QZVDialog::resizeEvent(event);
    setTitleRect(rect());
}

void QPlayNameWgt::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QZVDialog::keyPressEvent(event);
}
