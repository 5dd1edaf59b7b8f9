#include "qconverterprogresswgt.h"

#include "qianyutil.h"

QConverterProgressWgt::QConverterProgressWgt(QWidget *parent)
    : QZVWidget(parent)
{
    setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground, true);
    setBackgrounColor(QColor(255, 255, 0, 20));
    setBackgroundImage(QIAnyUtil::getResourcePath() + QStringLiteral("/image/videodisplay/bg_progress.png"), true);
    setStretchPolicy(QBaseDrawWidget::StretchNone);
    m_progress->setProgressPolicy(QZVBaseProgress::Round);
    m_progress->setBarStyle(QZVBaseProgress::StyleLine);
    m_progress->setDataPenWidth(2.0);
    QPalette palette = m_progress->palette();
    palette.setColor(QPalette::Highlight, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, QColor(53, 53, 53));
    m_progress->setPalette(palette);
    resize(120, 120);
}

QConverterProgressWgt::~QConverterProgressWgt() = default;

void QConverterProgressWgt::setValue(int value)
{
    m_progress->setValue(value);
}

void QConverterProgressWgt::resetControlLocation()
{
    const int side = qMax(0, qMin(width(), height()) - 40);
    m_progress->setGeometry((width() - side) / 2, (height() - side) / 2, side, side);
}
