#include "qzvlineedit.h"

#include <QEvent>
#include <QRegExpValidator>

class QZVLineEditPrivate
{
public:
    QColor placeholderColor;
    QColor textColor = Qt::black;
    bool placeholderOnBlur = false;
    // While the placeholder colour stands in for the text colour, palette changes are ours.
    bool placeholderColoured = false;
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

void QZVLineEdit::setPlaceholderText(const QString &text)
{
    QLineEdit::setPlaceholderText(text);
    d->placeholderText = text;
}

void QZVLineEdit::setTextBrush(const QColor &color, bool placeholder)
{
    QPalette colours = palette();
    colours.setBrush(QPalette::Text, QBrush(color, Qt::SolidPattern));
    // Qt draws the placeholder in its own role, a faded default that dark fields swallow.
    if (d->placeholderColor.isValid())
        colours.setColor(QPalette::PlaceholderText, d->placeholderColor);
    d->placeholderColoured = true;
    QWidget::setPalette(colours);
    d->placeholderColoured = placeholder;
}

// Presets style the field through a plain QWidget pointer: the text colour is taken from
// whatever palette arrives, or typing would bring back the default black.
void QZVLineEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && !d->placeholderColoured)
        d->textColor = palette().brush(QPalette::Text).color();
    QLineEdit::changeEvent(event);
}

void QZVLineEdit::setPlaceholderTextColor(const QColor &color, bool onBlur)
{
    d->placeholderColor = color;
    d->placeholderOnBlur = onBlur;
    const bool shown = onBlur && text().isEmpty();
    if (shown)
        QLineEdit::setPlaceholderText(d->placeholderText);
    setTextBrush(shown ? color : d->textColor, shown);
}

void QZVLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!d->placeholderOnBlur)
        return;
    QLineEdit::setPlaceholderText(QString());
    setTextBrush(d->textColor, false);
}

void QZVLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!d->placeholderOnBlur || !text().isEmpty())
        return;
    QLineEdit::setPlaceholderText(d->placeholderText);
    setTextBrush(d->placeholderColor, true);
}

void QZVLineEdit::paintEvent(QPaintEvent *event)
{
    QZVBaseRectImageDraw::paintEvent(event);
    QLineEdit::paintEvent(event);
}
