#include "qinitctrlstyle.h"

#include "applog.h"
#include "qianyutil.h"
#include "qzvbasebutton.h"
#include "qzvbaseslider.h"
#include "qzvcheckbox.h"
#include "qzvdialog.h"
#include "qzvmenu.h"
#include "qzvradiobutton.h"

#include <QFont>
#include <QWidget>

namespace {

const QColor kTextColor(53, 53, 53);
const QColor kDisabledTextColor(167, 167, 167);
const QColor kTabHoverTextColor(108, 108, 108);
const QColor kMenuTextColor(68, 68, 68);
const QColor kSelectedColor(255, 218, 43);
const QColor kPopupColor(242, 242, 242);
const QString kFontFamily = QStringLiteral("Tahoma");

QString resource(const char *path)
{
    return QIAnyUtil::getResourcePath() + QLatin1String(path);
}

void setWindowTextColor(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, kTextColor);
    widget->setPalette(palette);
}

// Check and radio boxes: dark text, the common grey when disabled.
void setBoxTextColors(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, kTextColor);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledTextColor);
    widget->setPalette(palette);
}

// What InitDlg and the player's background share: frame, title and text colour.
void initFrame(QZVDialog *dialog)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog->setTitleRect(QRect(0, 8, 0, 0));
    dialog->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    setWindowTextColor(dialog);
}

void setCorners(QZVDialog *dialog, int side)
{
    const rectSize corner{side, side};
    dialog->setGridViewInfo(corner, corner, corner, corner);
}

void initBackground(void *dialog, const QString &path)
{
    if (!dialog)
        return;
    if (!static_cast<QZVDialog *>(dialog)->setBackgroundImage(path, true))
        qCWarning(lcApp) << "Missing skin image" << path;
    InitDlg(dialog);
}

void initButton(void *button, const QString &strip)
{
    auto *b = static_cast<QZVBaseButton *>(button);
    if (!b->setButtonImage(strip, true))
        qCWarning(lcApp) << "Missing skin image" << strip;
    b->setTextColor(kTextColor, kTextColor, kTextColor, kDisabledTextColor);
}

} // namespace

void QInitCtrlStyle::InitFont(void *widget, int pixelSize)
{
    if (!widget)
        return;
    auto *w = static_cast<QWidget *>(widget);
    QFont font = w->font();
    font.setFamily(kFontFamily);
    font.setPixelSize(pixelSize);
    w->setFont(font);
}

void QInitCtrlStyle::InitPalette(void *widget, QPalette::ColorRole role, const QColor &color)
{
    if (!widget)
        return;
    auto *w = static_cast<QWidget *>(widget);
    QPalette palette = w->palette();
    palette.setColor(role, color);
    // Disabled controls keep the common grey, whichever role the caller styled.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledTextColor);
    w->setPalette(palette);
}

void InitDlg(void *dialog)
{
    if (!dialog)
        return;
    auto *d = static_cast<QZVDialog *>(dialog);
    d->setAttribute(Qt::WA_TranslucentBackground, true);
    initFrame(d);
    d->setMoveTopHeight(30);
    d->setStretchPolicy(QBaseDrawWidget::StretchNone);
    QInitCtrlStyle::InitFont(d, 13);
    setCorners(d, 80);
}

void QInitCtrlStyle::InitBg1(void *dialog)
{
    initBackground(dialog, resource("/image/common/bg_1.png"));
}

void QInitCtrlStyle::InitBg2(void *dialog)
{
    initBackground(dialog, resource("/image/common/bg_2.png"));
}

void QInitCtrlStyle::InitBg4(void *dialog)
{
    initBackground(dialog, resource("/image/common/bg_3.png"));
}

void QInitCtrlStyle::InitBg3(void *dialog)
{
    if (!dialog)
        return;
    auto *d = static_cast<QZVDialog *>(dialog);
    // The player stays resizable by its edges, as the background setter leaves it.
    d->setBackgroundImage(resource("/image/PlayerImage/play_dlg.png"), true);
    d->setAttribute(Qt::WA_TranslucentBackground, false);
    initFrame(d);
    d->setMoveTopHeight(22);
    InitFont(d, 13);
    setCorners(d, 50);
}

void QInitCtrlStyle::InitZVButton(void *button, int width, int height)
{
    if (!button)
        return;
    initButton(button, resource("/image/common/btn_common.png"));
    static_cast<QZVBaseButton *>(button)->resize(width, height);
    InitFont(button, 13);
}

void QInitCtrlStyle::InitZVButton1(void *button, int width, int height)
{
    if (!button)
        return;
    initButton(button, resource("/image/common/btn_common1.png"));
    if (width > 0)
        static_cast<QZVBaseButton *>(button)->resize(width, height);
    InitFont(button, 13);
}

void QInitCtrlStyle::InitTabBtn(void *button)
{
    if (!button)
        return;
    auto *b = static_cast<QZVBaseButton *>(button);
    b->setButtonImage(resource("/image/common/btn_prefer.png"), true);
    b->setTextRect(QRect(0, 0, 0, 13));
    b->setTextColor(kTextColor, kTabHoverTextColor, kTextColor, kDisabledTextColor);
    b->setCheckable(true);
    InitFont(b, 13);
}

void QInitCtrlStyle::InitCheckBox(void *checkBox)
{
    if (!checkBox)
        return;
    auto *box = static_cast<QZVCheckBox *>(checkBox);
    box->setCheckImage(resource("/image/common/btn_check_on.png"), resource("/image/common/btn_check_off.png"),
                       QString(), false);
    InitFont(box, 13);
    setBoxTextColors(box);
}

void QInitCtrlStyle::InitRadio(void *radio)
{
    if (!radio)
        return;
    auto *button = static_cast<QZVRadioButton *>(radio);
    button->setCheckImage(resource("/image/common/Edit_selections_yes.png"),
                          resource("/image/common/Edit_selections_no.png"), false, false);
    InitFont(button, 13);
    setBoxTextColors(button);
}

void QInitCtrlStyle::InitZvMenu(void *menu)
{
    if (!menu)
        return;
    auto *m = static_cast<QZVMenu *>(menu);
    m->setFrameWidth(1);
    m->setFrameColor(QColor(213, 214, 215));
    m->setAreaColor(kPopupColor);
    m->setItemColor(kPopupColor);
    m->setItemTextColor(kMenuTextColor);
    m->setItemSelectColor(kSelectedColor);
    m->setItemTextSelectColor(kMenuTextColor);
    m->setItemTextEabledColor(kDisabledTextColor);
    m->setItemEabledColor(kPopupColor);
    m->setSeparatorColor(QColor(231, 231, 231));
    InitFont(m, 13);
}

void QInitCtrlStyle::InitZVSlider(void *slider)
{
    if (!slider)
        return;
    auto *s = static_cast<QZVBaseSlider *>(slider);
    s->setBottomImage(resource("/image/common/slider_bottom.png"));
    s->setTopImage(resource("/image/common/slider_top.png"));
    s->setBtnImage(resource("/image/common/slider_arrow.png"));
    s->setCircle(true);
    s->setCircleLenght(1);
    s->setOffset(7, 7);
    s->setFormat(QString());
}
