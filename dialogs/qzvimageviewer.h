#pragma once

#include "qzvimageviewerform.h"

#include <QImage>
#include <QWidget>

class QImageContainer;
class QScrollAreaEx;
class QScrollBar;
class QZVScrollBar;

// A picture fitted to the widget, zoomed in steps around the visible centre, panned by
// dragging, with thin skinned scroll bars only while the picture is larger than the view.
class QZVImageViewer : public QWidget, private Ui::QZVImageViewer
{
    Q_OBJECT

public:
    explicit QZVImageViewer(QWidget *parent = nullptr);
    ~QZVImageViewer() override;

    bool setImage(const QString &path);
    bool setImage(const QImage &image);
    QSize getImageScale(int width, int height) const;
    void zoomIN(double factor);
    void zoomOut(double factor);
    void adjustScrollBar(QScrollBar *bar, double factor);
    void setVerticalScrollBar(QScrollBar *bar);
    void setHorizontalScrollBar(QScrollBar *bar);
    double scale() const { return m_scale; }

public slots:
    void showScrollBar(bool horizontal, bool vertical);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEvent *event) override;

private:
    void initControls();
    QZVScrollBar *makeScrollBar(Qt::Orientation orientation);
    void applyZoom(double factor);

    double m_scale = 1.0;
    QScrollAreaEx *m_scrollArea = nullptr;
    QImageContainer *m_container = nullptr;
    bool m_hasImage = false;
    QZVScrollBar *m_horizontalBar = nullptr;
    QZVScrollBar *m_verticalBar = nullptr;
};
