#include "qzvmenu.h"

#include "qzvmenustyle.h"
#include "skinimage.h"

#include <QFile>
#include <QKeyEvent>

class QZVMenuPrivate
{
public:
    bool backgroundGrid = true;
    QZVMenuStyle *style = nullptr;
    bool areaColorSet = false;
};

QZVMenu::QZVMenu(QWidget *parent)
    : QMenu(parent)
    , d(new QZVMenuPrivate)
{
    InitMenu();
}

QZVMenu::QZVMenu(const QString &title, QWidget *parent)
    : QMenu(title, parent)
    , d(new QZVMenuPrivate)
{
    InitMenu();
}

QZVMenu::~QZVMenu()
{
    delete d->style;
    delete d;
}

void QZVMenu::InitMenu()
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    d->style = new QZVMenuStyle;
    setStyle(d->style);
}

QAction *QZVMenu::addMenu(QZVMenu *menu)
{
    return QMenu::addMenu(menu);
}

QZVMenu *QZVMenu::addMenu(const QString &title)
{
    auto *menu = new QZVMenu(title, this);
    addAction(menu->menuAction());
    return menu;
}

QZVMenu *QZVMenu::addMenu(const QIcon &icon, const QString &title)
{
    auto *menu = new QZVMenu(title, this);
    menu->setIcon(icon);
    addAction(menu->menuAction());
    return menu;
}

void QZVMenu::setStyleAttribute(QZVMenuStyleAttribute *attribute)
{
    if (attribute)
        *d->style->attribute() = *attribute;
}

QZVMenuStyleAttribute *QZVMenu::styleAttribute()
{
    return d->style->attribute();
}

void QZVMenu::setBackgroundImage(const QString &path, bool grid)
{
    d->backgroundGrid = grid;
    d->style->attribute()->backgroundImage = QImage(path);
    update();
}

void QZVMenu::setRadioImage(const QString &path)
{
    d->style->attribute()->radioImage = SkinImage::load(path);
}

void QZVMenu::setCheckStateImage(const QString &checked, const QString &unchecked)
{
    d->style->attribute()->uncheckedImage = SkinImage::load(unchecked);
    d->style->attribute()->checkedImage = SkinImage::load(checked);
}

void QZVMenu::setFrameWidth(int width)
{
    d->style->attribute()->frameWidth = width;
}

void QZVMenu::setFrameColor(const QColor &color)
{
    d->style->attribute()->frameColor = color;
}

void QZVMenu::setAreaColor(const QColor &color)
{
    d->style->attribute()->areaColor = color;
    d->areaColorSet = true;
}

void QZVMenu::setSeparatorColor(const QColor &color)
{
    d->style->attribute()->separatorColor = color;
}

void QZVMenu::setItemColor(const QColor &color)
{
    d->style->attribute()->itemColor = color;
}

void QZVMenu::setItemTextColor(const QColor &color)
{
    d->style->attribute()->itemTextColor = color;
}

void QZVMenu::setItemSelectColor(const QColor &color)
{
    d->style->attribute()->itemSelectColor = color;
}

void QZVMenu::setItemTextSelectColor(const QColor &color)
{
    d->style->attribute()->itemTextSelectColor = color;
}

void QZVMenu::setItemEabledColor(const QColor &color)
{
    d->style->attribute()->itemDisabledColor = color;
}

void QZVMenu::setItemTextEabledColor(const QColor &color)
{
    d->style->attribute()->itemTextDisabledColor = color;
}

void QZVMenu::setItemWidth(int width)
{
    d->style->attribute()->itemWidth = width;
}

void QZVMenu::setItemHeight(int height)
{
    d->style->attribute()->itemHeight = height;
}

bool QZVMenu::event(QEvent *event)
{
    // Tool tips, status tips and the delayed sub-menu popup skip the menu's own
    // handling, as the skin wants. Keyboard navigation and the item layout still need
    // it: without it Escape, the arrows and Return can be taken as shortcuts, Tab does
    // not move, and the item rectangles go stale on show and resize.
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::Show:
    case QEvent::Resize:
    case QEvent::Polish:
        return QMenu::event(event);
    default:
        return QWidget::event(event);
    }
}
