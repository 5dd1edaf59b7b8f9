#pragma once

#include "qzvbaserectimagedraw.h"

#include <QLineEdit>

class QZVLineEditPrivate;

// A one-line field whose frame is a skin image, with a placeholder that can take its
// own colour while the field is empty and unfocused.
class QZVLineEdit : public QLineEdit, public QZVBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZVLineEdit(QWidget *parent = nullptr);
    ~QZVLineEdit() override;

    bool setBackgroundImage(const QString &path);
    // Positive whole numbers only, at most nine digits so they always fit an int.
    void onlyInputNumber();
    void setAlignment(Qt::Alignment alignment);
    void setPlaceholderText(const QString &text);
    void setPlaceholderTextColor(const QColor &color, bool onBlur);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setTextBrush(const QColor &color, bool placeholder);

    QZVLineEditPrivate *d;
};
