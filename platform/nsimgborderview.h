#pragma once

#include "imagepiece.h"

#include <QWidget>

class NSImgItemView;

// Paints a background image stretched around four fixed corners, hosts one item view,
// and reports mouse activity to plain callbacks.
class NSImgBorderView : public QWidget
{
    Q_OBJECT

public:
    using MouseCallback = void (*)(float x, float y, void *object);

    explicit NSImgBorderView(QWidget *parent = nullptr);
    NSImgBorderView(const QRect &frame, QWidget *parent = nullptr);

    void setCallBackObject(void *object);
    void setMoveCallback(MouseCallback callback);
    void setDownCallback(MouseCallback callback);
    void setUpCallback(MouseCallback callback);

    void setBackgroundImage(const QString &path);
    void setImage(const QImage &image);
    void setGridViewInfo(const QSizeF &upLeft, const QSizeF &upRight, const QSizeF &downLeft,
                         const QSizeF &downRight);
    // Only stored; the item view takes it when it is created.
    void setItemImage(const QString &path);
    // rect has its origin at the bottom left of this view.
    void setItemRect(const QRectF &rect);
    NSImgItemView *itemView() const;

    // Corners, edges and centre in drawing order, in Qt coordinates. An edge takes the
    // thickness of its first corner; a piece with no room is left out.
    static QVector<ImagePiece> pieces(const QSizeF &view, const QSizeF &image, const QSizeF &upLeft,
                                      const QSizeF &upRight, const QSizeF &downLeft, const QSizeF &downRight);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void report(MouseCallback callback, QMouseEvent *event) const;
    void placeItemView();

    QImage _image;
    QString _itemImg;
    QSizeF _upLeft, _upRight, _downLeft, _downRight;
    NSImgItemView *_itemView = nullptr;
    QRectF _itemRect;
    MouseCallback _mouseMove = nullptr;
    MouseCallback _mouseDown = nullptr;
    MouseCallback _mouseUp = nullptr;
    void *_pObject = nullptr;
};
