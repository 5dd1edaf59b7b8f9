#pragma once

#include "qzvbaserectimagedraw.h"

#include <QWidget>

class QTextEdit;
class QZVTextEditPrivate;

// A framed multi-line field: a skin image as the frame around a borderless inner
// QTextEdit, whose every change is relayed with the whole plain text.
class QZVTextEdit : public QWidget, public QZVBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZVTextEdit(QWidget *parent = nullptr);
    ~QZVTextEdit() override;

    bool setBackgroundImage(const QString &path);
    void setEditMargins(int left, int top, int right, int bottom);
    void setEditMargins(const QMargins &margins);
    QTextEdit *textEdit() const;

signals:
    void textChanged(const QString &text);

public slots:
    void textEditChange();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QZVTextEditPrivate *d;
};
