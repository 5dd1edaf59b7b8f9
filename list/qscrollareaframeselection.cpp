#include "qscrollareaframeselection.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

namespace {
constexpr int kEdgeZone = 20;
constexpr int kScrollStep = 20;
constexpr int kScrollIntervalMs = 100;
} // namespace

QScrollAreaFrameSelection::QScrollAreaFrameSelection(QWidget *parent)
    : QScrollArea(parent)
    , m_scrollTimer(new QTimer(this))
{
    connect(m_scrollTimer, &QTimer::timeout, this, &QScrollAreaFrameSelection::mouseChangeSliderTimer);
}

QScrollAreaFrameSelection::~QScrollAreaFrameSelection() = default;

void QScrollAreaFrameSelection::sendSpan()
{
    const int endY = verticalScrollBar()->value() + m_curPt.y();
    if (endY == m_nLastEndY)
        return;
    m_nLastEndY = endY;
    emit emitSelectPtChange(m_startPt, QPoint(m_curPt.x(), endY));
}

void QScrollAreaFrameSelection::itemPressStart()
{
    const QPoint p = mapFromGlobal(QCursor::pos());
    m_startPt = QPoint(p.x(), p.y() + verticalScrollBar()->value());
    m_curPt = p;
    m_nLastEndY = -1;
    m_bPressed = true;
    sendSpan();
}

void QScrollAreaFrameSelection::itemRelease()
{
    m_bPressed = false;
    m_startPt = QPoint();
    m_curPt = QPoint();
    m_nLastEndY = 0;
    m_scrollTimer->stop();
}

void QScrollAreaFrameSelection::mouseChangeSliderTimer()
{
    QScrollBar *bar = verticalScrollBar();
    if (!bar->isVisible())
        return;
    bar->setValue(bar->value() + (m_bScrollUp ? -kScrollStep : kScrollStep));
    sendSpan();
}

void QScrollAreaFrameSelection::mousePressEvent(QMouseEvent *event)
{
    QScrollArea::mousePressEvent(event);
    itemPressStart();
}

void QScrollAreaFrameSelection::mouseMoveEvent(QMouseEvent *event)
{
    QScrollArea::mouseMoveEvent(event);
    if (!m_bPressed)
        return;
    const int x = event->localPos().toPoint().x();
    const int y = event->localPos().toPoint().y();
    const int h = height();
    if (y > h - kEdgeZone) {
        m_bScrollUp = false;
        m_scrollTimer->start(kScrollIntervalMs);
    } else if (y < kEdgeZone) {
        m_bScrollUp = true;
        m_scrollTimer->start(kScrollIntervalMs);
    } else {
        m_scrollTimer->stop();
    }
    m_curPt = y < 0 ? QPoint(x, 0) : QPoint(x, qMin(y, h));
    sendSpan();
}

void QScrollAreaFrameSelection::mouseReleaseEvent(QMouseEvent *event)
{
    QScrollArea::mouseReleaseEvent(event);
    itemRelease();
}

bool QScrollAreaFrameSelection::event(QEvent *event)
{
    const bool handled = QScrollArea::event(event);
    if (event->type() == QEvent::LayoutRequest) {
        const bool shown = verticalScrollBar()->isVisible();
        if (shown != m_bScrollBarShown) {
            m_bScrollBarShown = shown;
            emit emitScrollBarShow(shown);
        }
    }
    return handled;
}

void QScrollAreaFrameSelection::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
}
