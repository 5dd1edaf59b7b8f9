#include "qprogressdlg.h"

#include "qianyutil.h"
#include "qzvbaseprogress.h"

#include <algorithm>

QProgressDlg::QProgressDlg(QWidget *parent)
    : QZVDialog(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Calvetrin Glintora"));
    setMoveTopHeight(0);
    setBackgrounColor(QColor(255, 255, 0, 20));
    setBackgroundImage(QIAnyUtil::getResourcePath() + QStringLiteral("/image/videodisplay/bg_progress.png"), true);
    setStretchPolicy(StretchNone);
    m_progress = new QZVBaseProgress(this);
    m_progress->setProgressPolicy(QZVBaseProgress::Round);
    m_progress->setBarStyle(QZVBaseProgress::StyleLine);
    m_progress->setDataPenWidth(2.0);
    m_progress->setFont(m_progress->font());
    QPalette palette = m_progress->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::WindowText})
        palette.setColor(role, QColor(53, 53, 53)); // every colour group
    m_progress->setPalette(palette);
    resize(120, 120);
}

QProgressDlg::~QProgressDlg()
{
    delete m_progress;
}

// The ring ends with the extraction it shows: dismissed early, it would let the picker
// close on part of the movie's frames, which later openings would take as all of them.
void QProgressDlg::reject() {}

void QProgressDlg::setValue(int percent)
{
    m_progress->setValue(percent);
}

void QProgressDlg::resetControlLocation()
{
    const int side = std::min(width(), height()) - 40;
    m_progress->setGeometry((width() - side) / 2, (height() - side) / 2, side, side);
}
