#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QVariant>

class QAbstractButton;
class QPaintEvent;
class QPainter;
class QZVBaseBoxDrawPrivate;

// Paints check boxes and radio buttons from one box image per check state, an optional
// icon and the text elided right of the box. A plain second base of the button.
class QZVBaseBoxDraw
{
public:
    enum enumBoxType { CheckBoxType = 0, RadioType = 1 };

    QZVBaseBoxDraw(QAbstractButton *host, enumBoxType type);
    ~QZVBaseBoxDraw();
    QZVBaseBoxDraw(const QZVBaseBoxDraw &) = delete;
    QZVBaseBoxDraw &operator=(const QZVBaseBoxDraw &) = delete;

    virtual void DrawCheckImage(QPainter &painter);
    virtual void DrawIconImage(QPainter &painter);
    virtual void DrawText(QPainter &painter);

    // Nothing happens unless the checked file loads; the fourth argument has no effect.
    void setCheckImage(const QString &checked, const QString &unchecked, const QString &partial,
                       bool ignored, bool twoFrames);
    // With copy false the caller keeps the images alive for as long as the box uses them.
    void setCheckImage(QImage *checked, QImage *unchecked, QImage *partial, bool ignored,
                       bool twoFrames, bool copy);
    bool setBtnIcon(const QString &path);
    void setIconRect(const QRect &rect);
    void setTextRect(const QRect &rect);
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const;
    void setBgFillMode(bool on);
    void setData(const QVariant &data);
    QVariant getData() const;
    bool isCustomDraw() const;
    void adjustSize();
    void paintEvent(QPaintEvent *event);

private:
    void releaseImages();

    QZVBaseBoxDrawPrivate *d;
};
