#include "qzvlineedit.h"

#include <QRegExpValidator>

class QZVLineEditPrivate
{
public:
    QColor placeholderColor;
    QColor textColor = Qt::black;
    bool placeholderOnBlur = false;
    QString placeholderText;
};

QZVLineEdit::QZVLineEdit(QWidget *parent)
    : QLineEdit(parent)
    , QZVBaseRectImageDraw(this)
    , d(new QZVLineEditPrivate)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setAcceptDrops(false);
    d->textColor = palette().brush(QPalette::Text).color();
}

QZVLineEdit::~QZVLineEdit()
{
    delete d;
}

bool QZVLineEdit::setBackgroundImage(const QString &path)
{
    if (!QZVBaseRectImageDraw::setBackgroundImage(path))
        return false;
    setStyleSheet(QStringLiteral("QLineEdit {background-color:transparent;border:none; padding: 0px 0px 1px -2px}"));
    setTextMargins(3, 0, 2, 0);
    return true;
}

void QZVLineEdit::onlyInputNumber()
{
    setValidator(new QRegExpValidator(QRegExp(QStringLiteral("^[0-9]*[1-9][0-9]*$"), Qt::CaseSensitive), this));
    // Longer digit strings would overflow the callers' toInt() into 0.
    setMaxLength(9);
}

void QZVLineEdit::setAlignment(Qt::Alignment alignment)
{
    QLineEdit::setAlignment(alignment);
}

void QZVLineEdit::setPalette(const QPalette &palette)
{
    QWidget::setPalette(palette);
    d->textColor = palette.brush(QPalette::Text).color();
}

void QZVLineEdit::setPlaceholderText(const QString &text)
{
    QLineEdit::setPlaceholderText(text);
    d->placeholderText = text;
}

void QZVLineEdit::setTextBrush(const QColor &color)
{
    QPalette colours = palette();
    colours.setBrush(QPalette::Text, QBrush(color, Qt::SolidPattern));
    QWidget::setPalette(colours);
}

void QZVLineEdit::setPlaceholderTextColor(const QColor &color, bool onBlur)
{
    d->placeholderColor = color;
    d->placeholderOnBlur = onBlur;
    if (onBlur && text().isEmpty()) {
        QLineEdit::setPlaceholderText(d->placeholderText);
        setTextBrush(color);
    }
}

void QZVLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!d->placeholderOnBlur)
        return;
    QLineEdit::setPlaceholderText(QString());
    setTextBrush(d->textColor);
}

void QZVLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!d->placeholderOnBlur || !text().isEmpty())
        return;
    QLineEdit::setPlaceholderText(d->placeholderText);
    setTextBrush(d->placeholderColor);
}

void QZVLineEdit::paintEvent(QPaintEvent *event)
{
    QZVBaseRectImageDraw::paintEvent(event);
    QLineEdit::paintEvent(event);
}
