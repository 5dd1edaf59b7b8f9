#pragma once

#include <QPoint>
#include <QScrollArea>

class QTimer;

// The list's scroll area: a press and drag, on a row or on the empty list, becomes a
// vertical selection span in content coordinates; holding the mouse near the top or
// bottom edge scrolls the list and extends the span.
class QScrollAreaFrameSelection : public QScrollArea
{
    Q_OBJECT

public:
    explicit QScrollAreaFrameSelection(QWidget *parent = nullptr);
    ~QScrollAreaFrameSelection() override;

signals:
    void emitSelectPtChange(QPoint start, QPoint end);
    void emitScrollBarShow(bool shown);

public slots:
    void itemPressStart();
    void itemRelease();
    void mouseChangeSliderTimer();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void sendSpan();

    QTimer *m_scrollTimer = nullptr;
    bool m_bPressed = false;
    bool m_bScrollUp = false;
    QPoint m_startPt;
    QPoint m_curPt;
    int m_nLastEndY = 0;
    bool m_bScrollBarShown = false;
};
