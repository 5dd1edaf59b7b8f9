#include "qinitctrlstyle.h"

#include "applog.h"
#include "qianyutil.h"
#include "qzvbasebutton.h"
#include "qzvbaseslider.h"
#include "qzvcheckbox.h"
#include "qzvcombobox.h"
#include "qzvdialog.h"
#include "qzvmenu.h"
#include "qzvlineedit.h"
#include "qzvradiobutton.h"
#include "qzvscrollbar.h"
#include "qzvspinbox.h"
#include "qzvtextedit.h"

#include <QFont>
#include <QWidget>

namespace {

const QColor kTextColor(53, 53, 53);
const QColor kDisabledTextColor(167, 167, 167);
const QColor kDestructiveTextColor(179, 38, 30);
const QColor kDestructivePressedTextColor(156, 31, 24);
const QColor kTabHoverTextColor(108, 108, 108);
const QColor kMenuTextColor(68, 68, 68);
const QColor kSelectedColor(255, 218, 43);
const QColor kPopupColor(242, 242, 242);
const QColor kFrameColor(213, 214, 215);
const QColor kScrollGrooveColor(240, 240, 240);
const QColor kScrollHandleColor(214, 214, 214);
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

QPalette styledPalette(const QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    // Disabled controls keep the common grey, whichever role the caller styled.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledTextColor);
    return palette;
}

QFont commonFont(const QWidget *widget, int pixelSize)
{
    QFont font = widget->font();
    font.setFamily(kFontFamily);
    font.setPixelSize(pixelSize);
    return font;
}

// What the two combo-box presets share; they differ in background, button and sizes.
struct ComboLook
{
    QString background;
    QString button; // empty: no drop button image
    int textLeftMargin;
    int itemHeight;
    QColor selectedColor;
    int boxPixelSize;
};

void initCombo(QZVComboBox *box, int width, int height, const ComboLook &look)
{
    // The popup keeps the family the box had before the preset, at 13 px.
    QFont itemFont = box->font();
    itemFont.setPixelSize(13);
    box->setBackgroundImage(look.background);
    if (!look.button.isEmpty())
        box->setButtonImage(look.button, true);
    box->setBtnMode(true);
    box->setBtnMargins(width - 13, -1, 0, 0);
    box->setDrawTextMargins(look.textLeftMargin, 0, 17, 1);
    box->resize(width, height);
    box->setTextColor(kTextColor);
    box->setItemHeight(look.itemHeight);
    box->setItemBorder(1, kFrameColor);
    box->setItemBgColor(kPopupColor);
    box->setItemSelectedColor(look.selectedColor);
    box->setItemTextColor(kTextColor);
    box->setItemFont(itemFont);
    box->setFont(commonFont(box, look.boxPixelSize));
    box->setPalette(styledPalette(box, QPalette::WindowText, kTextColor));
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

QZVBaseButton *initButton(void *button, const QString &strip)
{
    auto *b = static_cast<QZVBaseButton *>(button);
    if (!b->setButtonImage(strip, true))
        qCWarning(lcApp) << "Missing skin image" << strip;
    b->setTextColor(kTextColor, kTextColor, kTextColor, kDisabledTextColor);
    QInitCtrlStyle::InitFont(b, 13);
    return b;
}

} // namespace

void QInitCtrlStyle::InitFont(void *widget, int pixelSize)
{
    if (!widget)
        return;
    auto *w = static_cast<QWidget *>(widget);
    w->setFont(commonFont(w, pixelSize));
}

void QInitCtrlStyle::InitPalette(void *widget, QPalette::ColorRole role, const QColor &color)
{
    if (!widget)
        return;
    auto *w = static_cast<QWidget *>(widget);
    w->setPalette(styledPalette(w, role, color));
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
    initButton(button, resource("/image/common/btn_common.png"))->resize(width, height);
}

void QInitCtrlStyle::InitZVButton1(void *button, int width, int height)
{
    if (!button)
        return;
    QZVBaseButton *b = initButton(button, resource("/image/common/btn_common1.png"));
    if (width > 0)
        b->resize(width, height);
}

void QInitCtrlStyle::InitDestructiveButton(void *button, int width, int height)
{
    if (!button)
        return;
    QZVBaseButton *b = initButton(button, resource("/image/common/btn_destructive.png"));
    b->setTextColor(kDestructiveTextColor, kDestructiveTextColor, kDestructivePressedTextColor, kDisabledTextColor);
    b->resize(width, height);
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
    m->setFrameColor(kFrameColor);
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

void QInitCtrlStyle::InitZvScrollBar(void *scrollBar)
{
    if (!scrollBar)
        return;
    QZVScrollBarStyleAttribute style;
    style.grooveColor = kScrollGrooveColor;
    style.trackColor = kScrollGrooveColor;
    style.trackAlways = true;
    style.lineButtonColor = kScrollHandleColor;
    style.auxColor1 = kScrollGrooveColor;
    style.handleColor = kScrollHandleColor;
    style.handlePressedColor = kScrollHandleColor;
    style.handleHoverColor = kScrollHandleColor;
    static_cast<QZVScrollBar *>(scrollBar)->setStyleAttribute(style);
}

void QInitCtrlStyle::InitEdit(void *edit)
{
    if (!edit)
        return;
    auto *e = static_cast<QZVLineEdit *>(edit);
    e->setBackgroundImage(resource("/image/common/edit.png"));
    InitFont(e, 12);
    e->setPalette(styledPalette(e, QPalette::Text, kTextColor));
    e->setTextMargins(3, 0, 0, 0);
    e->resize(175, 20);
}

void QInitCtrlStyle::InitTextEdit(void *textEdit)
{
    if (!textEdit)
        return;
    auto *t = static_cast<QZVTextEdit *>(textEdit);
    t->setBackgroundImage(resource("/image/common/edit.png"));
    t->setEditMargins(1, 0, 0, 1);
    InitFont(t->textEdit(), 12);
    InitPalette(t->textEdit(), QPalette::Text, kTextColor);
    t->setEditMargins(3, 0, 0, 0);
}

void QInitCtrlStyle::InitSpinbox(void *spinBox)
{
    if (!spinBox)
        return;
    auto *s = static_cast<QZVSpinBox *>(spinBox);
    s->setBackgroundImage(resource("/image/common/spin_rect.png"));
    s->setUpAndDownBtnImage(resource("/image/common/btn_up.png"), resource("/image/common/btn_down.png"), true);
    InitFont(s, 12);
    InitPalette(s, QPalette::Text, kTextColor);
    s->setTextMargins(2, 0, 0, 0);
}

void QInitCtrlStyle::InitZVCombox1(void *comboBox, int width, int height, const QString &backgroundPath)
{
    if (!comboBox)
        return;
    auto *box = static_cast<QZVComboBox *>(comboBox);
    const QString background = backgroundPath.isEmpty() ? resource("/image/common/cmb_common.png") : backgroundPath;
    initCombo(box, width, height,
              {background, resource("/image/common/btn_arrow.png"), 5, 22, kSelectedColor, 12});
}

void QInitCtrlStyle::InitZVCombox(void *comboBox, int width, int height)
{
    if (!comboBox)
        return;
    initCombo(static_cast<QZVComboBox *>(comboBox), width, height,
              {resource("/image/common/cmb_common.png"), QString(), 2, 20, kTextColor, 13});
}
