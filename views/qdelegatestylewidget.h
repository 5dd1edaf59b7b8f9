#pragma once

#include <QProxyStyle>

#include <memory>

// Paints an in-cell push button from a four-frame state strip (normal, hover, pressed,
// disabled); everything else, and a button without a strip, goes to the base style.
class QDelegateStyleWidget : public QProxyStyle
{
    Q_OBJECT

public:
    explicit QDelegateStyleWidget(QStyle *base = nullptr);
    ~QDelegateStyleWidget() override;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    virtual void DrawButton(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    virtual void DrawBackground(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    // Button texts are never painted.
    virtual void DrawText(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;

    void setImage(const QImage &strip);
    QImage image() const;
    void setGrid(bool grid);
    void setButtonRect(const QRect &rect);

    // The strip frame a button state shows: 1 hover, else 2 pressed, else 3 disabled, else 0.
    static int frameForState(QStyle::State state);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
