#pragma once

#include <QColor>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QString>

class QEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QWidget;
class QZVBaseRectImageDrawPrivate;

// Paints rectangular skinned controls: a nine-slice background (or, in button mode, a
// four-frame strip by state), an icon and one line of text inside margins. Paints
// nothing at all until a background image is set. A plain second base of the host.
class QZVBaseRectImageDraw
{
public:
    explicit QZVBaseRectImageDraw(QWidget *widget);
    ~QZVBaseRectImageDraw();
    QZVBaseRectImageDraw(const QZVBaseRectImageDraw &) = delete;
    QZVBaseRectImageDraw &operator=(const QZVBaseRectImageDraw &) = delete;

    virtual void drawBackgroundImage(QPainter &painter);
    virtual void drawIcon(QPainter &painter);
    virtual void drawRectText(QPainter &painter);

    bool mousePressEventDraw(QMouseEvent *event);
    void mouseReleaseEventDraw(QMouseEvent *event);
    void enterEventDraw(QEvent *event);
    void leaveEventDraw(QEvent *event);
    void changeEventDraw(QEvent *event);
    void paintEvent(QPaintEvent *event);
    void resetBtnState();

    // Deletes the current background first; false when the file is missing or does not decode.
    bool setBackgroundImage(const QString &path);
    bool setBackgroundImage(const QImage &image);
    bool setRectIcon(const QString &path);
    bool setRectIcon(const QImage &image);
    void setIconRect(const QRect &rect);
    void setDrawText(const QString &text);
    QString drawText() const;
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    void setTextDrawable(bool on);
    bool isTextDrawable() const;
    void setDrawTextMargins(int left, int top, int right, int bottom);
    void setDrawTextMargins(const QMargins &margins);
    QMargins drawTextMargins() const;
    void setTextColor(const QColor &color);
    void setTextColor(const QColor &normal, const QColor &hover, const QColor &pressed,
                      const QColor &disabled);
    void setCheckState(bool on);
    void setIconBtnMode(bool on);
    bool IsIconBtnMode() const;
    void setBtnMode(bool on);
    bool isBtnMode() const;
    bool isCustomDraw() const;

private:
    void updateWidget();
    void repaintWidget();
    QColor textColorForState();

    QZVBaseRectImageDrawPrivate *d;
};
