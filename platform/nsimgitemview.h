#pragma once

#include "imagepiece.h"

#include <QWidget>

// Paints a selection frame cut from one image: eight handles, an optional centre mark
// and a dashed white outline. Transparent elsewhere; mouse events go to the parent.
class NSImgItemView : public QWidget
{
    Q_OBJECT

public:
    explicit NSImgItemView(QWidget *parent = nullptr);

    void setItemImage(const QString &path);
    void setImage(const QImage &image);
    void showBorderImg(bool show);
    void showMidImg(bool show);

    // Handles, then the centre mark when asked, in Qt coordinates.
    static QVector<ImagePiece> pieces(const QSizeF &view, const QSizeF &image, bool withMid);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage _image;
    bool _bShowBorder = true;
    bool _bShowMid = true;
};
