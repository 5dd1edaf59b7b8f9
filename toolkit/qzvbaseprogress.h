#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPair>
#include <QVector>
#include <QWidget>

class QZVBaseProgressPrivate;

// A value inside a range shown as a bar (from two three-piece skin images or two palette
// colours) or as a round dial, with an optional text. Every painting step is virtual.
class QZVBaseProgress : public QWidget
{
    Q_OBJECT

public:
    enum ProgressPolicy { Horizontal = 1, Vertical = 2, Round = 3 };
    enum BarStyle { StyleDonut = 0, StylePie = 1, StyleLine = 2 };

    explicit QZVBaseProgress(QWidget *parent = nullptr);
    ~QZVBaseProgress() override;

    void setProgressPolicy(int policy);
    int progressPolicy() const;
    void setBarStyle(int style);
    int barStyle() const;
    // Deletes the current image first; false when the file is missing or does not decode.
    bool setBottomImage(const QString &path);
    bool setTopImage(const QString &path);
    double value() const;
    double minimum() const;
    double maximum() const;
    void setUpdateInterval(int ms);
    void setFormat(const QString &format);
    void resetFormat();
    QString format() const;
    void setDecimals(int decimals);
    void setTextAlignment(int alignment);
    void setTextOffset(float x, float y);
    void setCircle(bool on);
    void setCircleLenght(int length);
    void setOffset(int start, int end);
    int getTLOffset() const;
    int getRBOffset() const;
    void setOutlinePenWidth(double width);
    double outlinePenWidth() const;
    void setDataPenWidth(double width);
    double dataPenWidth() const;
    void setNullPosition(double degrees);
    double nullPosition() const;
    void setDataColors(const QVector<QPair<double, QColor>> &stops);

    int getDefaultCircle();
    QRect getBgRect() const;
    void DrawCircleImage(QPainter &painter, QImage *image, QRect rect, bool isTop, int cap);
    QImage createImage(QRect rect, int radius);
    void rebuildDataBrushIfNeeded();
    QPainterPath getProPath();

signals:
    void valueChanged(double value);

public slots:
    void setRange(double minimum, double maximum);
    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setValue(double value);
    void setValue(int value);
    void UpdateTime();

protected:
    void paintEvent(QPaintEvent *event) override;

    virtual void DrawBackground(QPainter &painter);
    virtual void DrawBottomImage(QPainter &painter, int cap);
    virtual void DrawTopImage(QPainter &painter, QImage &image, int cap);
    virtual void DrawProgress(QPainter &painter);
    virtual void DrawProgressText(QPainter &painter);
    virtual QString valueToText(double value) const;
    virtual void valueFormatChanged();
    virtual void drawBase(QPainter &painter, const QRectF &rect);
    virtual void drawRoundValue(QPainter &painter, const QRectF &rect, double value, double arc);
    virtual void calculateInnerRect(const QRectF &outer, double outerRadius, QRectF &inner,
                                    double &innerRadius);
    virtual void drawInnerBackground(QPainter &painter, const QRectF &inner);

    // The share of the range the value covers, 0 for an empty range.
    double valueFraction() const;
    // Bar length between the offsets: width for a horizontal bar, height otherwise.
    int barLength() const;

private:
    bool loadImage(QImage *&slot, const QString &path);
    void drawShortFill(QPainter &painter, QImage &image, double fill);

    QZVBaseProgressPrivate *d;
};
