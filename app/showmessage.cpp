#include "showmessage.h"

#include "qzvmessagedlg.h"

int ShowMessage(const QString &text, const QString &title, unsigned int style, bool onTop)
{
    QZVMessageDlg dialog;
    if (onTop)
        dialog.setWindowFlags(dialog.windowFlags() | Qt::WindowStaysOnTopHint);
    dialog.setMessage(text);
    if (!title.isEmpty())
        dialog.setTitle(title);
    if (style != 0)
        dialog.setStyle(style);
    return dialog.exec();
}

int ShowMessage(const char *text, const char *title, unsigned int style, bool onTop)
{
    const QString message = text ? QString::fromUtf8(text) : QString();
    const QString caption = title ? QString::fromUtf8(title) : QString();
    return ShowMessage(message, caption, style, onTop);
}
