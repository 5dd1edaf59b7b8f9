#pragma once

#include "qcellcontroldelegate.h"

#include <QMargins>

#include <memory>

// Paints the cells of the thumbnail grids: background with selection or hover frame, the
// cell's image fitted one of four ways, an optional shadow band, the text, in-cell buttons
// and an image check box. Derived delegates usually replace drawImage.
class QBaseIconListDelegate : public QCellControlDelegate
{
    Q_OBJECT

public:
    enum drawPhotoType
    {
        NaturalSize = 0,
        Stretched = 1,
        FittedCentred = 2,
        CentreCrop = 3
    };

    explicit QBaseIconListDelegate(QObject *parent = nullptr);
    ~QBaseIconListDelegate() override;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

    virtual void drawImage(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    virtual void DrawBackground(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const;
    virtual void DrawTextShadow(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const;
    virtual void DrawText(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    virtual void drawControl(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    virtual void DrawCheckbox(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    void setSelectedBackgroundColor(const QColor &color);
    void setHoverRow(int row);
    void setHideCtrl(bool hide);
    bool isHideCtrl() const;
    void setImageMargins(int left, int top, int right, int bottom);
    void setImageMargins(const QMargins &margins);
    QMargins ImageMargins() const;
    void setImageDrawType(drawPhotoType type);
    drawPhotoType getImageDrawType() const;
    void setFrameWidth(int width);
    int getFrameWidth() const;
    void setFrameColor(const QColor &color);
    QColor getFrameColor() const;
    void setHoverFrameWidth(int width);
    int getHoverFrameWidth() const;
    void setHoverFrameColor(const QColor &color);
    QColor getHoverFrameColor() const;
    void setFont(const QFont &font);
    void setSelectTextColor(const QColor &color);
    void setDrawTextMargins(int left, int top, int right, int bottom);
    void setDrawTextMargins(const QMargins &margins);
    QMargins drawTextMargins() const;
    void setAlignment(Qt::Alignment alignment);
    void setTextElideMode(Qt::TextElideMode mode);
    Qt::TextElideMode textElideMode() const;
    void setImageBgColor(const QColor &color);
    QColor getImageBgColor() const;
    // Relative to the cell's top-left corner; no band while its width is 0.
    void setTextShadowRect(const QRect &rect);
    QRect getTextShadowRect() const;
    void setShadowGradualColor(const QColor &start, const QColor &end, bool vertical);

signals:
    void emitPaintIndex(const QModelIndex &index);

protected:
    // The cell's mask image (user role), when it has one, scaled into the cell.
    void drawOverlay(QPainter *painter, const QRect &cell, const QModelIndex &index) const;

private:
    QImage cellImage(const QModelIndex &index) const;
    QDelegateControl *shownGroup(const QModelIndex &index) const;

    struct Private;
    std::unique_ptr<Private> d;
};
