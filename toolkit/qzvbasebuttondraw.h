#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QAbstractButton;
class QEvent;
class QFocusEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QTimerEvent;
class QZVBaseButtonDrawPrivate;

// State logic and painting of a skinned button: a four-frame state strip, a text in
// four state colours, an icon, a blinking effect and a round count badge. A plain
// second base of the button; the button forwards its events to the handlers below.
class QZVBaseButtonDraw
{
public:
    explicit QZVBaseButtonDraw(QAbstractButton *button);
    ~QZVBaseButtonDraw();
    QZVBaseButtonDraw(const QZVBaseButtonDraw &) = delete;
    QZVBaseButtonDraw &operator=(const QZVBaseButtonDraw &) = delete;

    virtual void focusInEvent(QFocusEvent *event);
    virtual void focusOutEvent(QFocusEvent *event);
    virtual void DrawBackground(QPainter &painter);
    virtual void DrawText(QPainter &painter);
    virtual void DrawFocus(QPainter &painter);
    virtual void DrawIcon(QPainter &painter);
    virtual void DrawFlicker(QPainter &painter);
    virtual void DrawDigitalTag(QPainter &painter);

    // Handlers called by the host; the bool tells the host whether to emit its signal.
    bool mousePressEvent(QMouseEvent *event);
    bool mouseReleaseEvent(QMouseEvent *event);
    bool mouseMoveEvent(QMouseEvent *event);
    void enterEvent(QEvent *event);
    void leaveEvent(QEvent *event);
    void changeEvent(QEvent *event);
    void paintEvent(QPaintEvent *event);
    void timerEvent(QTimerEvent *event);

    // False when the file is missing or does not decode; the previous strip stays.
    bool setButtonImage(const QString &path, bool grid);
    // With own false the caller keeps the image alive for as long as the button uses it.
    bool setButtonImage(QImage *image, bool grid, bool own);
    bool setButtonImage(QImage &image, bool grid);
    void setStaticState(bool on);
    void setBtnState(int state);
    int getBtnState() const;
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    void setTextColor(const QColor &color);
    void setTextColor(const QColor &normal, const QColor &hover, const QColor &pressed,
                      const QColor &disabled);
    void setTextRect(const QRect &rect);
    QRect textRect() const;
    // Widens the button, never narrows it, until its text fits right of where the text
    // starts, measured in the face the font really resolves to: a stand-in for a skin
    // font may run wider than the size the skin was drawn for.
    void widenToText();
    bool setBtnIcon(const QString &path);
    bool setBtnIcon(const QImage &image);
    void setIconBtnMode(bool on);
    bool isIconbtnMode() const;
    void setIconRect(const QRect &rect);
    void setGridView(bool grid);
    void setTag(int tag);
    int getTag() const;
    void addItemCount();
    void resetCount();
    int itmeCount() const;
    void setTagPixelSize(int size);
    void setTagRect(const QRect &rect);
    void setTagBgAlternateColor(const QColor &first, const QColor &alternate);
    void setTagTextAlternateColor(const QColor &first, const QColor &alternate);
    void setAlternateEffect(bool on, int interval);
    void startFlicker(int interval);
    void stopFlicker();
    int getMouseMapValue() const;
    bool isCustomDraw() const;
    QColor currentDrawColor() const;

private:
    void releaseStrip();
    void drawFrame(QPainter &painter, int index);
    void drawIconImage(QPainter &painter, const QImage &image);
    void updateButton();
    void repaintButton();

    QZVBaseButtonDrawPrivate *d;
};
