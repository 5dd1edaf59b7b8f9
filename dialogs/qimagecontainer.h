#pragma once

#include <QImage>
#include <QSize>
#include <QWidget>

class QLabel;

// The scrolled widget of the zooming view: a label showing the picture at a size,
// centred, and the decision which scroll bars the view needs.
class QImageContainer : public QWidget
{
    Q_OBJECT

public:
    explicit QImageContainer(QWidget *parent = nullptr);
    ~QImageContainer() override;

    void setImage(const QString &path, QSize size);
    void setImage(const QImage &image, QSize size);
    void zoom(double scale);
    bool isZoomIn() const;
    void setImageContainerSize(QSize size);
    void restoreImage();
    QSize getImageSize() const;

signals:
    void emitShowScrollBar(bool horizontalScrollBar, bool verticalScrollBar);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void centreLabel();

    QLabel *m_label = nullptr;
    bool m_hasImage = false;
    QSize m_baseSize{0, 0};
    QSize m_containerSize{0, 0};
    QSize m_maxSize{0, 0};
};
