#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

class QDialog;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QWidget;
class QBaseDrawWidgetPrivate;

// One corner of the background nine-slice, in logical pixels.
struct rectSize
{
    int width = 0;
    int height = 0;
};

// Turns a frameless Qt window into a self-drawn one: paints the background, logo and
// title, drags the window by its top band, resizes it by its edges and maximises it.
// A plain second base of the host; the host forwards its paint and mouse events.
class QBaseDrawWidget
{
public:
    enum dlgType { MainWindowType = 0, DialogType = 1, ChildWidgetType = 2 };
    enum enumStretchPolicy { StretchNone = 0, StretchHorizontal = 1, StretchVertical = 2, StretchBoth = 3 };
    enum CursorAndState {
        CursorNone = 0,
        CursorLeft = 1,
        CursorTopLeft = 2,
        CursorTop = 3,
        CursorTopRight = 4,
        CursorRight = 5,
        CursorBottomRight = 6,
        CursorBottom = 7,
        CursorBottomLeft = 8
    };

    QBaseDrawWidget(QWidget *host, dlgType type);
    ~QBaseDrawWidget();
    QBaseDrawWidget(const QBaseDrawWidget &) = delete;
    QBaseDrawWidget &operator=(const QBaseDrawWidget &) = delete;

    virtual void resetControlLocation();
    virtual void OnBtnMax();
    virtual void setCursorType(CursorAndState state);
    virtual void setCursorAndState(QMouseEvent *event);
    virtual void setFrameGeomtry(QMouseEvent *event);
    virtual void DrawLogo(QPainter &painter);
    virtual void DrawText(QPainter &painter);

    // Called by the host after its own Qt handler.
    void paintEvent(QPaintEvent *event);
    void mousePressEvent(QMouseEvent *event);
    void mouseMoveEvent(QMouseEvent *event);
    void mouseReleaseEvent(QMouseEvent *event);
    void mouseDoubleClickEvent(QMouseEvent *event);

    void setDrawWidget(QWidget *host);
    QWidget *DrawWiget() const;
    void setMoveTopHeight(int height);
    void setStretchWidth(int width);
    int stretchWidth() const;
    void setStretchPolicy(enumStretchPolicy policy);
    void setStretchPolicy(int policy);
    bool isMaxSize() const;
    void setTransparentW(int width);
    void setTransparentW(int left, int top, int right, int bottom);
    // False when the file is missing or does not decode; nothing changes then.
    bool setBackgroundImage(const QString &path, bool resizable);
    bool setBackgroundImage(const QImage &image, bool resizable);
    void changeBackgroundImage(const QImage &image);
    void setGridViewInfo(rectSize topLeft, rectSize topRight, rectSize bottomLeft,
                         rectSize bottomRight);
    void setBackgrounColor(const QColor &color);
    void setLogoImage(const QString &path);
    void setLogoImage(const QImage &image);
    void setLogoRect(const QRect &rect);
    void setTitleRect(const QRect &rect);
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    void setDlgTitle(const QString &title);
    void CenterDlg(QDialog &dialog);
    void CenterDlg(QWidget *dialog);

private:
    void repaintHost();
    // The background's look changed, and with it the shape an opaque frame keeps.
    void refreshShape();
    void drawBackground(QPainter &painter, int W, int H);
    void startCompositorDrag();
    void moveEdges(QRect &geometry, const QPoint &global);

    QBaseDrawWidgetPrivate *d;
};
