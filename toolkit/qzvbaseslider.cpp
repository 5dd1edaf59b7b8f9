#include "qzvbaseslider.h"

#include "qzvbasebutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

class QZVBaseSliderPrivate
{
public:
    bool enablePull = true;
    QZVBaseButton *thumb = nullptr;
    int thumbOffset = 0;
};

QZVBaseSlider::QZVBaseSlider(QWidget *parent)
    : QZVBaseProgress(parent)
    , d(new QZVBaseSliderPrivate)
{
    // Tab reaches the slider, so its arrow keys work.
    setFocusPolicy(Qt::StrongFocus);
}

QZVBaseSlider::~QZVBaseSlider()
{
    delete d;
}

bool QZVBaseSlider::setBtnImage(const QString &path)
{
    delete d->thumb;
    d->thumb = new QZVBaseButton(this);
    // The slider, not its thumb, takes the keyboard.
    d->thumb->setFocusPolicy(Qt::NoFocus);
    connect(d->thumb, SIGNAL(mouseMove(QMouseEvent *, int)), this, SLOT(btnMouseMove(QMouseEvent *, int)));
    if (!d->thumb->setButtonImage(path, false)) {
        if (progressPolicy() == Horizontal)
            d->thumb->resize(10, height());
        else
            d->thumb->resize(width(), 10);
    }
    d->thumb->move(0, 0);
    setOffset(getTLOffset(), getRBOffset());
    repaint();
    return true;
}

QZVBaseButton *QZVBaseSlider::getButton() const
{
    return d->thumb;
}

void QZVBaseSlider::setBtnOffset(int offset)
{
    d->thumbOffset = offset;
}

void QZVBaseSlider::setOffset(int start, int end)
{
    if (d->thumb) {
        const int half = progressPolicy() == Horizontal ? d->thumb->width() / 2 : d->thumb->height() / 2;
        start = std::max(start, half);
        end = std::max(end, half);
    }
    QZVBaseProgress::setOffset(start, end);
    repaint();
}

void QZVBaseSlider::setEnabledPull(bool on)
{
    d->enablePull = on;
}

bool QZVBaseSlider::enablePull() const
{
    return d->enablePull;
}

double QZVBaseSlider::getValidLenght() const
{
    if (progressPolicy() != Horizontal && progressPolicy() != Vertical)
        return 0;
    return barLength();
}

void QZVBaseSlider::setValue(double value)
{
    if (value == this->value())
        return;
    QZVBaseProgress::setValue(value);
    update();
}

void QZVBaseSlider::setValue(int value)
{
    setValue(static_cast<double>(value));
}

QPoint QZVBaseSlider::sliderPoint(QMouseEvent *event) const
{
    // Events forwarded from the thumb arrive in its coordinates; global ones fit both.
    return event->globalPos() - mapToGlobal(QPoint(0, 0));
}

bool QZVBaseSlider::isValidRange(const QPoint &point) const
{
    if (progressPolicy() == Horizontal)
        return point.x() >= getTLOffset() && point.x() <= width() - getRBOffset();
    if (progressPolicy() == Vertical)
        return point.y() >= getTLOffset() && point.y() <= height() - getRBOffset();
    return false;
}

void QZVBaseSlider::PointToValue(const QPoint &point)
{
    if (!d->enablePull)
        return;
    const double length = getValidLenght();
    const double range = maximum() - minimum();
    if (length == 0 || range <= 0)
        return;
    double pos = progressPolicy() == Horizontal ? point.x() - getTLOffset()
                                                 : length - (point.y() - getTLOffset());
    pos = std::clamp(pos, 0.0, length);
    // Counted from the minimum, so a range such as 1..100 ends exactly at the track end.
    const double value = minimum() + pos * range / length;
    if (value == this->value())
        return;
    setValue(value);
    emit sendProgressValue(pos / length);
}

void QZVBaseSlider::valueToPoint(QPoint &point) const
{
    const double length = getValidLenght();
    if (length == 0)
        return;
    const double distance = length * valueFraction();
    if (progressPolicy() == Horizontal)
        point = QPoint(static_cast<int>(distance + getTLOffset() - 1.0), 0);
    else
        point = QPoint(0, static_cast<int>((length - distance) + getTLOffset()));
}

void QZVBaseSlider::calcBtnPostion()
{
    if (!d->thumb)
        return;
    QPoint point(0, 0);
    valueToPoint(point);
    if (progressPolicy() == Horizontal)
        d->thumb->move(point.x() - d->thumb->width() / 2,
                       (height() - d->thumb->height()) / 2 + d->thumbOffset);
    else
        d->thumb->move((width() - d->thumb->width()) / 2 + d->thumbOffset,
                       point.y() - d->thumb->height() / 2);
}

void QZVBaseSlider::paintEvent(QPaintEvent *event)
{
    QZVBaseProgress::paintEvent(event);
    calcBtnPostion();
}

void QZVBaseSlider::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = sliderPoint(event);
    if (isValidRange(point))
        PointToValue(point);
}

void QZVBaseSlider::mouseMoveEvent(QMouseEvent *event)
{
    PointToValue(sliderPoint(event));
}

void QZVBaseSlider::btnMouseMove(QMouseEvent *event, int)
{
    PointToValue(sliderPoint(event));
    repaint();
}

void QZVBaseSlider::mouseReleaseEvent(QMouseEvent *)
{
}

void QZVBaseSlider::enterEvent(QEvent *)
{
}

void QZVBaseSlider::leaveEvent(QEvent *)
{
}

void QZVBaseSlider::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        OnKeyLeftDown();
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        OnKeyRightUp();
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}

void QZVBaseSlider::OnKeyLeftDown()
{
    stepBy(-(maximum() - minimum()) / 100.0);
}

void QZVBaseSlider::OnKeyRightUp()
{
    stepBy((maximum() - minimum()) / 100.0);
}

// A key step reaches the slider's listeners as a drag does, under the same rule.
void QZVBaseSlider::stepBy(double step)
{
    const double before = value();
    setValue(value() + step);
    if (d->enablePull && value() != before)
        emit sendProgressValue(valueFraction());
}
