#include "qzvtextedit.h"

#include <QTextEdit>

class QZVTextEditPrivate
{
public:
    qint16 left = 0;
    qint16 top = 0;
    qint16 right = 0;
    qint16 bottom = 0;
    QTextEdit *editor = nullptr;
};

QZVTextEdit::QZVTextEdit(QWidget *parent)
    : QWidget(parent)
    , QZVBaseRectImageDraw(this)
    , d(new QZVTextEditPrivate)
{
    setAcceptDrops(false);
    d->editor = new QTextEdit(this);
    d->editor->setAttribute(Qt::WA_MacShowFocusRect, false);
    d->editor->setAcceptDrops(false);
    connect(d->editor, SIGNAL(textChanged()), this, SLOT(textEditChange()));
}

QZVTextEdit::~QZVTextEdit()
{
    delete d->editor;
    delete d;
}

bool QZVTextEdit::setBackgroundImage(const QString &path)
{
    if (!QZVBaseRectImageDraw::setBackgroundImage(path))
        return false;
    d->editor->setStyleSheet(QStringLiteral("QTextEdit {background-color:transparent;border:none}"));
    return true;
}

void QZVTextEdit::setEditMargins(int left, int top, int right, int bottom)
{
    d->left = static_cast<qint16>(left);
    d->top = static_cast<qint16>(top);
    d->right = static_cast<qint16>(right);
    d->bottom = static_cast<qint16>(bottom);
    update();
    updateGeometry();
}

void QZVTextEdit::setEditMargins(const QMargins &margins)
{
    setEditMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

QTextEdit *QZVTextEdit::textEdit() const
{
    return d->editor;
}

void QZVTextEdit::textEditChange()
{
    emit textChanged(d->editor->toPlainText());
}

void QZVTextEdit::paintEvent(QPaintEvent *event)
{
    QZVBaseRectImageDraw::paintEvent(event);
    d->editor->setGeometry(d->left, d->top, width() - (d->left + d->right), height() - (d->top + d->bottom));
}
