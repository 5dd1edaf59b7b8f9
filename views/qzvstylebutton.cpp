#include "qzvstylebutton.h"

#include "qdelegatestylewidget.h"
#include "viewslog.h"

#include <QFileInfo>

struct QZVStyleButton::Private
{
    int column = -1;
    QDelegateStyleWidget *style = nullptr;
    QImage normalStrip;
    QImage selectedStrip;
    bool shown = true;
    int state = 0;
    QPoint pos;
};

QZVStyleButton::QZVStyleButton(QWidget *parent)
    : QPushButton(parent),
      d(std::make_unique<Private>())
{
    d->style = new QDelegateStyleWidget(nullptr);
    setStyle(d->style);
}

QZVStyleButton::~QZVStyleButton()
{
    // The widget must not outlive its style pointer while it is torn down.
    setStyle(nullptr);
    delete d->style;
}

bool QZVStyleButton::setButtonImage(const QString &normal, const QString &selected, bool grid)
{
    if (!QFileInfo::exists(normal))
        return false;
    QImage normalStrip(normal);
    if (normalStrip.isNull()) {
        qCWarning(lcViews) << "button strip is not an image:" << normal;
        return false;
    }
    QImage selectedStrip = QFileInfo::exists(selected) ? QImage(selected) : QImage();
    if (selectedStrip.isNull())
        selectedStrip = normalStrip;
    normalStrip.setDevicePixelRatio(2.0);
    selectedStrip.setDevicePixelRatio(2.0);
    d->normalStrip = normalStrip;
    d->selectedStrip = selectedStrip;
    d->style->setGrid(grid);
    d->style->setImage(d->normalStrip);
    resize(normalStrip.width() / 4 / 2, normalStrip.height() / 2);
    d->style->setButtonRect(rect());
    return true;
}

void QZVStyleButton::SetBgSelected(bool selected)
{
    QImage strip = selected ? d->selectedStrip : d->normalStrip;
    strip.setDevicePixelRatio(2.0);
    d->style->setImage(strip);
    update();
}

void QZVStyleButton::setBtnState(int state)
{
    d->state = state;
}

int QZVStyleButton::getBtnState() const
{
    return d->state;
}

void QZVStyleButton::setShow(bool show)
{
    d->shown = show;
}

bool QZVStyleButton::isShow() const
{
    return d->shown;
}

void QZVStyleButton::setColumn(int column)
{
    d->column = column;
}

int QZVStyleButton::getColumn() const
{
    return d->column;
}

void QZVStyleButton::setPos(const QPoint &pos)
{
    d->pos = pos;
}

void QZVStyleButton::setPos(int x, int y)
{
    d->pos = QPoint(x, y);
}

QPoint QZVStyleButton::getPos() const
{
    return d->pos;
}

void QZVStyleButton::clickWidgt(const QModelIndex &index)
{
    emit emitClickIndex(index);
}
