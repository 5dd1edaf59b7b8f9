#include "qcheckheaderview.h"

#include "qzvcheckbox.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

struct QCheckHeaderView::Private
{
    QPixmap background;
    QPixmap separator;
    QPixmap pressedBackground;
    QPixmap arrow;
    QPixmap arrowDown;
    QColor textColor{0, 0, 0};
    QZVCheckBox *checkBox = nullptr;
    QPoint checkPos{5, -1};
    int checkColumn = 0;
    int pressedSection = -1;
    QList<int> unsortable;
    int orderRightWidth = 3;
};

namespace {

bool loadPixmap(const QString &path, QPixmap *slot)
{
    *slot = QPixmap();
    if (!QFileInfo::exists(path))
        return false;
    return slot->load(path);
}

} // namespace

QCheckHeaderView::QCheckHeaderView(Qt::Orientation orientation, QWidget *parent)
    : QHeaderView(orientation, parent),
      d(std::make_unique<Private>())
{
    setStretchLastSection(true);
    InitControls();
}

QCheckHeaderView::~QCheckHeaderView() = default;

void QCheckHeaderView::InitControls()
{
    d->checkBox = new QZVCheckBox(this);
    d->checkBox->show();
    connect(d->checkBox, SIGNAL(clicked()), this, SLOT(OnClickCheckBox()));
}

bool QCheckHeaderView::setBackgroundImage(const QString &path)
{
    if (!loadPixmap(path, &d->background))
        return false;
    setFixedHeight(d->background.height());
    return true;
}

bool QCheckHeaderView::setSlipImage(const QString &path)
{
    return loadPixmap(path, &d->separator);
}

bool QCheckHeaderView::setSelBackgroundImage(const QString &path)
{
    return loadPixmap(path, &d->pressedBackground);
}

bool QCheckHeaderView::setOrderFlagsImage(const QString &path)
{
    d->arrowDown = QPixmap();
    if (!loadPixmap(path, &d->arrow))
        return false;
    d->arrowDown = QPixmap::fromImage(d->arrow.toImage().mirrored(false, true));
    d->arrow.setDevicePixelRatio(2.0);
    d->arrowDown.setDevicePixelRatio(2.0);
    return true;
}

void QCheckHeaderView::setCheckVisable(bool visible)
{
    d->checkBox->setVisible(visible);
}

bool QCheckHeaderView::getCheckVisable() const
{
    return !d->checkBox->isHidden();
}

void QCheckHeaderView::setCheckboxEnable(bool enable)
{
    d->checkBox->setEnabled(enable);
}

bool QCheckHeaderView::checkboxEnable() const
{
    return d->checkBox->isEnabled();
}

void QCheckHeaderView::setCheckState(Qt::CheckState state)
{
    d->checkBox->setCheckState(state);
}

Qt::CheckState QCheckHeaderView::getCheckState() const
{
    return d->checkBox->checkState();
}

void QCheckHeaderView::setTristate(bool tristate)
{
    d->checkBox->setTristate(tristate);
}

bool QCheckHeaderView::isTristate() const
{
    return d->checkBox && d->checkBox->isTristate();
}

void QCheckHeaderView::setCheckImage(const QString &checked, const QString &unchecked, const QString &partially)
{
    d->checkBox->setCheckImage(checked, unchecked, partially, false);
}

void QCheckHeaderView::setCheckPos(int x, int y)
{
    d->checkPos = QPoint(x, y);
}

void QCheckHeaderView::setCheckInColumn(int column)
{
    d->checkColumn = column;
    updateSection(column);
}

void QCheckHeaderView::setTextColor(const QColor &color)
{
    d->textColor = color;
}

QColor QCheckHeaderView::getTextColor() const
{
    return d->textColor;
}

void QCheckHeaderView::setOrderRightWidth(int width)
{
    d->orderRightWidth = width;
}

void QCheckHeaderView::setSortEnable(int column, bool enable)
{
    if (enable)
        d->unsortable.removeAll(column);
    else if (!d->unsortable.contains(column))
        d->unsortable.append(column);
}

bool QCheckHeaderView::sortEnable(int column) const
{
    return !d->unsortable.contains(column);
}

void QCheckHeaderView::OnStateChanged(int state)
{
    if (state == 0)
        d->checkBox->setCheckState(Qt::Unchecked);
    else if (state == 1)
        d->checkBox->setCheckState(d->checkBox->isTristate() ? Qt::PartiallyChecked : Qt::Unchecked);
    else
        d->checkBox->setCheckState(Qt::Checked);
    d->checkBox->update();
}

// A partially checked box becomes checked, so clicks toggle between all and none.
void QCheckHeaderView::OnClickCheckBox()
{
    if (d->checkBox->checkState() == Qt::PartiallyChecked) {
        d->checkBox->setCheckState(Qt::Checked);
        d->checkBox->update();
    }
    emit checkChange(d->checkBox->isChecked());
}

void QCheckHeaderView::mousePressEvent(QMouseEvent *event)
{
    if (!d->pressedBackground.isNull()) {
        d->pressedSection = logicalIndexAt(event->pos().x());
        updateSection(d->pressedSection);
    }
    QHeaderView::mousePressEvent(event);
}

void QCheckHeaderView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!d->pressedBackground.isNull()) {
        const int released = d->pressedSection;
        d->pressedSection = -1;
        updateSection(released);
    }
    QHeaderView::mouseReleaseEvent(event);
}

// Clicking an unsortable column must not sort, so clickability follows the mouse.
void QCheckHeaderView::mouseMoveEvent(QMouseEvent *event)
{
    setSectionsClickable(sortEnable(logicalIndexAt(event->pos())));
    QHeaderView::mouseMoveEvent(event);
}

void QCheckHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (d->background.isNull()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        return;
    }
    const bool pressed = !d->pressedBackground.isNull() && d->pressedSection != -1
                         && d->pressedSection == logicalIndex;
    painter->drawPixmap(rect, pressed ? d->pressedBackground : d->background);
    if (!d->separator.isNull() && separatesTitles(logicalIndex)) {
        const QSize size = d->separator.size();
        painter->drawPixmap(QRect(rect.right() - size.width() + 1, rect.top() + (rect.height() - size.height()) / 2,
                                  size.width(), size.height()),
                            d->separator);
    }
    const bool besideCheckBox = logicalIndex == d->checkColumn && !d->checkBox->isHidden();
    // A title starts where the item views start a cell's text, so the two line up.
    const int left = besideCheckBox ? d->checkPos.x() + d->checkBox->width() + 10
                                    : style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    painter->setPen(d->textColor);
    painter->setFont(font());
    painter->drawText(rect.adjusted(left, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter, title(logicalIndex));
    drawArrow(painter, rect, logicalIndex);
    if (logicalIndex == d->checkColumn)
        placeCheckBox(rect);
    painter->restore();
}

QString QCheckHeaderView::title(int section) const
{
    return model() ? model()->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
}

// A separator between a title and an untitled section, or after the last one, would mark
// off a column that has no header of its own.
bool QCheckHeaderView::separatesTitles(int section) const
{
    const int next = logicalIndex(visualIndex(section) + 1);
    return next >= 0 && !title(next).isEmpty();
}

void QCheckHeaderView::drawArrow(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!isSortIndicatorShown() || sortIndicatorSection() != logicalIndex || d->arrow.isNull())
        return;
    const int width = d->arrow.width() / 2;
    const int height = d->arrow.height() / 2;
    const int right = rect.right() - d->orderRightWidth;
    const QRect target(right - width, rect.top() + (rect.height() - height) / 2, width, height);
    painter->drawPixmap(target, sortIndicatorOrder() == Qt::DescendingOrder ? d->arrowDown : d->arrow);
}

void QCheckHeaderView::placeCheckBox(const QRect &rect) const
{
    const int y = d->checkPos.y() == -1 ? (rect.height() - d->checkBox->height()) / 2 : d->checkPos.y();
    d->checkBox->move(rect.left() + d->checkPos.x(), y);
}
