#include "qzvcombobox.h"

#include "qzvbasebutton.h"
#include "qzvcomboboxitem.h"
#include "skinimage.h"

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <array>

class QZVComboBoxPrivate
{
public:
    QZVBaseButton *button = nullptr;
    qint16 buttonLeft = -1;
    qint16 buttonTop = -1;
    qint16 buttonRight = 0;
    qint16 buttonBottom = 0;
    bool keepButtonSize = true;
    QString styleSheet;
    int itemHeight = 19;
    int itemWidth = 0;
    int borderWidth = 0;
    QComboBoxItemAttribute attribute;
    QListWidget *list = nullptr;
    QRect itemIconRect = QRect(0, 0, 0, 0);
    bool autoItemWidth = true;
    QMargins itemTextMargins = QMargins(1, 1, 1, 1);
    bool itemFontSet = false;
    QFont itemFont;
    bool itemTextColorsSet = false;
    std::array<QColor, 4> itemTextColors{{Qt::black, Qt::black, Qt::black, Qt::black}};
    QPoint popupOffset;
};

namespace {

const QString kItemWidthBegin = QStringLiteral("QComboBox QAbstractItemView { min-height: 10px; min-width: ");
const QString kItemBgBegin = QStringLiteral("QListView::item {background: ");
const QString kItemHoverBegin = QStringLiteral("QListView::item:hover {background: ");
const QString kItemSelectedBegin = QStringLiteral("QListView::item:selected{background-color: ");
const QString kItemBorderBegin = QStringLiteral("QComboBox QAbstractItemView{background-color:gray; border: ");

}

QZVComboBox::QZVComboBox(QWidget *parent)
    : QComboBox(parent)
    , QZVBaseRectImageDraw(this)
    , d(new QZVComboBoxPrivate)
{
    setWindowFlags(Qt::FramelessWindowHint);
    QZVBaseRectImageDraw::setTextColor(QPalette().color(QPalette::Text));
    d->itemFont = font();
    connect(this, SIGNAL(currentIndexChanged(QString)), this, SLOT(drawTextChange(QString)));
    connect(this, SIGNAL(currentIndexChanged(int)), this, SLOT(currentIndexChangeSlot(int)));
    d->styleSheet = styleSheet();
    InitMacStyle();
    connect(this, SIGNAL(emitShowPopup()), this, SLOT(showPopup()));
}

QZVComboBox::~QZVComboBox()
{
    delete d->button;
    delete d;
}

void QZVComboBox::InitMacStyle()
{
    QComboBox::setEditable(true);
    // The hidden editor only carries the text; typing must never add or change items.
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->setReadOnly(true);
    lineEdit()->setHidden(true);
}

void QZVComboBox::setEditable(bool editable)
{
    QComboBox::setEditable(editable);
    if (lineEdit()) {
        lineEdit()->setReadOnly(false);
        lineEdit()->setHidden(false);
    }
}

void QZVComboBox::applyStyleSheet()
{
    setStyleSheet(d->styleSheet);
}

bool QZVComboBox::setBackgroundImage(const QString &path)
{
    if (!QZVBaseRectImageDraw::setBackgroundImage(path))
        return false;
    d->styleSheet += QStringLiteral("QComboBox {background-color:transparent;border:none}");
    d->styleSheet += QStringLiteral("QComboBox QAbstractItemView{background-color:transparent;}");
    applyStyleSheet();
    ensurePopupList();
    return true;
}

void QZVComboBox::ensurePopupList()
{
    if (d->list)
        return;
    // The new model replaces the combo box's own, so the items it already holds are
    // carried over as rows of the list.
    struct Entry
    {
        QString text;
        QVariant data;
    };
    QList<Entry> entries;
    for (int i = 0; i < count(); ++i)
        entries.append({itemText(i), itemData(i)});
    const int current = currentIndex();
    d->list = new QListWidget;
    setModel(d->list->model());
    setView(d->list);
    for (const Entry &entry : qAsConst(entries))
        insertItem(d->list->count(), static_cast<const QImage *>(nullptr), entry.text, entry.data);
    if (current >= 0)
        setCurrentIndex(current);
}

void QZVComboBox::setButtonImage(const QString &path, bool keepSize)
{
    delete d->button;
    d->button = nullptr;
    if (SkinImage::load(path).isNull())
        return;
    d->button = new QZVBaseButton(this);
    d->button->setButtonImage(path, true);
    d->button->show();
    connect(d->button, SIGNAL(clicked()), this, SLOT(showPopup()));
    connect(d->button, SIGNAL(clicked()), this, SIGNAL(emitClicked()));
    d->keepButtonSize = keepSize;
}

void QZVComboBox::setButtonKeepSize(bool keepSize)
{
    d->keepButtonSize = keepSize;
    resetBtnLocation();
}

bool QZVComboBox::buttonKeepSize() const
{
    return d->keepButtonSize;
}

void QZVComboBox::setBtnMargins(int left, int top, int right, int bottom)
{
    d->buttonLeft = static_cast<qint16>(left);
    d->buttonTop = static_cast<qint16>(top);
    d->buttonRight = static_cast<qint16>(right);
    d->buttonBottom = static_cast<qint16>(bottom);
    update();
    updateGeometry();
}

void QZVComboBox::setBtnMargins(const QMargins &margins)
{
    setBtnMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
}

void QZVComboBox::setTextColor(const QColor &color)
{
    QZVBaseRectImageDraw::setTextColor(color);
}

void QZVComboBox::setTextColor(const QColor &normal, const QColor &hover, const QColor &pressed,
                               const QColor &disabled)
{
    QZVBaseRectImageDraw::setTextColor(normal, hover, pressed, disabled);
    if (d->itemTextColorsSet)
        return;
    setItemTextColor(normal, hover, pressed, disabled);
    d->itemTextColorsSet = false;
}

void QZVComboBox::setFont(const QFont &font)
{
    QWidget::setFont(font);
    if (d->itemFontSet)
        return;
    setItemFont(font);
    d->itemFontSet = false;
}

void QZVComboBox::setShowText(const QString &text)
{
    setToolTip(text);
    setDrawText(text);
}

void QZVComboBox::drawTextChange(const QString &text)
{
    setShowText(text);
}

void QZVComboBox::currentIndexChangeSlot(int)
{
}

void QZVComboBox::AddItemWidget(QZVComboBoxItem *, int)
{
}

void QZVComboBox::removeItemWidgt(QZVComboBoxItem *)
{
}

void QZVComboBox::addItem(const QString &text, const QVariant &userData)
{
    if (isCustomDraw())
        addItem(static_cast<const QImage *>(nullptr), text, userData);
    else
        QComboBox::addItem(text, userData);
}

void QZVComboBox::addItem(const QImage *icon, const QString &text, const QVariant &userData)
{
    ensurePopupList();
    insertItem(d->list->count(), icon, text, userData);
}

void QZVComboBox::insertItem(int index, const QString &text, const QVariant &userData)
{
    if (isCustomDraw())
        insertItem(index, static_cast<const QImage *>(nullptr), text, userData);
    else
        QComboBox::insertItem(index, QIcon(), text, userData);
}

void QZVComboBox::insertItem(int index, const QImage *icon, const QString &text, const QVariant &userData)
{
    ensurePopupList();
    auto *item = new QListWidgetItem(d->list);
    auto *row = new QZVComboBoxItem(nullptr, item);
    row->setItemAttribute(d->attribute);
    row->setDrawTextMargins(d->itemTextMargins);
    row->setFont(d->itemFont);
    row->setTextColor(d->itemTextColors[0], d->itemTextColors[1], d->itemTextColors[2], d->itemTextColors[3]);
    if (d->itemWidth == 0)
        d->itemWidth = width();
    item->setSizeHint(QSize(d->itemWidth, d->itemHeight));
    if (icon)
        row->setRectIcon(*icon);
    row->setIconRect(d->itemIconRect);
    item->setText(text);
    item->setData(Qt::UserRole, userData);
    d->list->takeItem(d->list->count() - 1);
    d->list->insertItem(index, item);
    d->list->setItemWidget(item, row);
    AddItemWidget(row, index);
    if (d->list->count() == 1)
        drawTextChange(text);
}

void QZVComboBox::addItems(const QStringList &texts)
{
    if (!isCustomDraw()) {
        QComboBox::addItems(texts);
        return;
    }
    for (const QString &text : texts)
        addItem(text, QVariant());
}

void QZVComboBox::insertItems(int index, const QStringList &texts)
{
    if (!isCustomDraw()) {
        QComboBox::insertItems(index, texts);
        return;
    }
    for (int i = 0; i < texts.size(); ++i)
        insertItem(index + i, texts.at(i), QVariant());
}

void QZVComboBox::removeItem(int index)
{
    if (!isCustomDraw() || !d->list) {
        QComboBox::removeItem(index);
        return;
    }
    QListWidgetItem *item = d->list->item(index);
    if (!item)
        return;
    QZVComboBoxItem *row = rowAt(index);
    removeItemWidgt(row);
    delete row;
    delete item;
}

void QZVComboBox::setItemText(int index, const QString &text)
{
    QComboBox::setItemText(index, text);
    if (!isCustomDraw() || !IsValid(index))
        return;
    d->list->item(index)->setText(text);
    if (index == currentIndex())
        drawTextChange(text);
}

QZVComboBoxItem *QZVComboBox::rowAt(int index) const
{
    if (!IsValid(index))
        return nullptr;
    return qobject_cast<QZVComboBoxItem *>(d->list->itemWidget(d->list->item(index)));
}

template <typename Apply>
void QZVComboBox::forEachRow(Apply apply)
{
    if (!d->list)
        return;
    for (int i = 0; i < d->list->count(); ++i) {
        if (QZVComboBoxItem *row = rowAt(i))
            apply(row);
    }
}

QWidget *QZVComboBox::getItemWidgt(int index) const
{
    QZVComboBoxItem *row = rowAt(index);
    return row ? row->getWidgt() : nullptr;
}

bool QZVComboBox::IsValid(int index) const
{
    return d->list && index >= 0 && index < d->list->count();
}

void QZVComboBox::setItemFont(const QFont &font)
{
    d->itemFont = font;
    d->itemFontSet = true;
    forEachRow([&](QZVComboBoxItem *row) { row->setFont(font); });
}

void QZVComboBox::setItemTextColor(const QColor &normal, const QColor &hover, const QColor &pressed,
                                   const QColor &disabled)
{
    d->itemTextColors = {{normal, hover, pressed, disabled}};
    d->itemTextColorsSet = true;
    forEachRow([&](QZVComboBoxItem *row) { row->setTextColor(normal, hover, pressed, disabled); });
}

void QZVComboBox::setItemTextColor(const QColor &color)
{
    setItemTextColor(color, color, color, color);
}

void QZVComboBox::setItemTextMargins(int left, int top, int right, int bottom)
{
    d->itemTextMargins = QMargins(static_cast<qint16>(left), static_cast<qint16>(top),
                                  static_cast<qint16>(right), static_cast<qint16>(bottom));
    forEachRow([&](QZVComboBoxItem *row) { row->setDrawTextMargins(d->itemTextMargins); });
}

void QZVComboBox::setItemIconRect(const QRect &rect)
{
    d->itemIconRect = rect;
    forEachRow([&](QZVComboBoxItem *row) { row->setIconRect(rect); });
}

void QZVComboBox::setItemHeight(int height)
{
    d->itemHeight = height;
    resetItemAttribute();
}

int QZVComboBox::itemHeight() const
{
    return d->itemHeight;
}

void QZVComboBox::replaceStyleRule(const QString &begin, const QString &end, const QString &rule)
{
    cutStyleString(d->styleSheet, begin, end);
    d->styleSheet += rule;
    applyStyleSheet();
}

void QZVComboBox::setItemWidth(int width)
{
    d->itemWidth = width;
    d->autoItemWidth = false;
    replaceStyleRule(kItemWidthBegin, QStringLiteral("px}"),
                     QStringLiteral("QComboBox QAbstractItemView { min-height: 10px; min-width: %1px}").arg(width));
    if (d->list && isCustomDraw())
        d->list->setMouseTracking(false);
}

int QZVComboBox::itemWidth() const
{
    return d->itemWidth;
}

void QZVComboBox::setItemBgColor(const QColor &color)
{
    if (color != d->attribute.itemColor) {
        d->attribute.itemColor = color;
        resetItemAttribute();
    }
    replaceStyleRule(kItemBgBegin, QStringLiteral(";}"),
                     QStringLiteral("QListView::item {background: %1;}").arg(color.name()));
}

void QZVComboBox::setItemHoverColor(const QColor &color)
{
    if (color != d->attribute.hoverColor) {
        d->attribute.hoverColor = color;
        d->attribute.hoverColorSet = true;
        resetItemAttribute();
    }
    replaceStyleRule(kItemHoverBegin, QStringLiteral(";}"),
                     QStringLiteral("QListView::item:hover {background: %1;}").arg(color.name()));
}

QColor QZVComboBox::itemHoverColor() const
{
    return d->attribute.hoverColor;
}

void QZVComboBox::setItemSelectedColor(const QColor &color)
{
    if (color != d->attribute.selectedColor) {
        d->attribute.selectedColor = color;
        resetItemAttribute();
    }
    replaceStyleRule(kItemSelectedBegin, QStringLiteral(";}"),
                     QStringLiteral("QListView::item:selected{background-color: %1;}").arg(color.name()));
}

void QZVComboBox::setItemBorder(int width, const QColor &color)
{
    d->borderWidth = width;
    replaceStyleRule(kItemBorderBegin, QStringLiteral("}"),
                     QStringLiteral("QComboBox QAbstractItemView{background-color:gray; border: %1px solid %2}")
                         .arg(width)
                         .arg(color.name()));
    if (d->list && isCustomDraw())
        d->list->setMouseTracking(false);
}

void QZVComboBox::setItemSpacing(int spacing, const QColor &color)
{
    if (spacing == d->attribute.spacing && color == d->attribute.spacingColor)
        return;
    d->attribute.spacingColor = color;
    d->attribute.spacing = spacing;
    resetItemAttribute();
}

void QZVComboBox::setItemAlignment(Qt::Alignment alignment)
{
    d->attribute.alignment = alignment;
    resetItemAttribute();
}

void QZVComboBox::setSeparatorColor(const QColor &color)
{
    d->attribute.separatorColor = color;
    resetItemAttribute();
}

void QZVComboBox::setItemWidgtPos(const QPoint &pos)
{
    d->attribute.itemWidgetPos = pos;
    forEachRow([&](QZVComboBoxItem *row) { row->setWidgtPos(pos); });
}

QPoint QZVComboBox::itemWidgtPos() const
{
    return d->attribute.itemWidgetPos;
}

void QZVComboBox::addSeparator()
{
    if (!d->list || d->list->count() < 1)
        return;
    if (QZVComboBoxItem *row = rowAt(d->list->count() - 1))
        row->setSeparatorHeight(1);
}

void QZVComboBox::setItemSeparator(int index, bool on)
{
    if (QZVComboBoxItem *row = rowAt(index))
        row->setSeparatorHeight(on ? 1 : 0);
}

void QZVComboBox::setPopupOffestPoint(const QPoint &offset)
{
    d->popupOffset = offset;
}

void QZVComboBox::resetItemAttribute()
{
    forEachRow([&](QZVComboBoxItem *row) { row->setItemAttribute(d->attribute); });
}

bool QZVComboBox::cutStyleString(QString &sheet, const QString &begin, const QString &end)
{
    const int start = sheet.indexOf(begin, 0, Qt::CaseSensitive);
    if (start < 0)
        return false;
    const QString head = sheet.left(start);
    QString rest = sheet.mid(start + begin.size());
    const int stop = rest.indexOf(end, 0, Qt::CaseSensitive);
    if (stop >= 0)
        rest = rest.mid(stop + end.size());
    sheet = head + rest;
    return true;
}

void QZVComboBox::resetBtnLocation()
{
    if (!d->button)
        return;
    // Computed once, then kept in the margins.
    if (d->buttonLeft < 0)
        d->buttonLeft = static_cast<qint16>(width() - d->button->width() - d->buttonRight);
    if (d->buttonTop < 0)
        d->buttonTop = static_cast<qint16>((height() - d->button->height() - d->buttonBottom) / 2);
    if (d->keepButtonSize)
        d->button->move(d->buttonLeft, d->buttonTop);
    else
        d->button->setGeometry(d->buttonLeft, d->buttonTop, width() - d->buttonLeft - d->buttonRight,
                               height() - d->buttonTop - d->buttonBottom);
}

int QZVComboBox::calcItemMaxWidth() const
{
    int widest = width() - 2 * d->borderWidth;
    if (!d->list)
        return widest;
    for (int i = 0; i < d->list->count(); ++i) {
        if (QZVComboBoxItem *row = rowAt(i))
            widest = std::max(widest, row->calcItemWidth(d->list->item(i)->text(), d->itemFont));
    }
    return widest;
}

void QZVComboBox::resetItemSize()
{
    if (!d->list)
        return;
    if (d->itemWidth == 0)
        d->itemWidth = width();
    if (d->autoItemWidth) {
        setItemWidth(calcItemMaxWidth());
        d->autoItemWidth = true;
    }
    const int spacing = d->attribute.spacing;
    const int rows = d->list->count();
    for (int r = 0; r < rows; ++r) {
        // The gap between rows is split: the smaller half above, the larger below.
        int extra = 0;
        if (r > 0 && spacing > 1)
            extra += spacing / 2;
        if (r + 1 < rows)
            extra += (spacing + 1) / 2;
        QZVComboBoxItem *row = rowAt(r);
        if (row)
            extra += row->separatorHeight();
        d->list->item(r)->setSizeHint(QSize(d->itemWidth, d->itemHeight + extra));
        if (row)
            row->setFixedWidth(d->itemWidth);
    }
}

void QZVComboBox::showPopup()
{
    resetBtnState();
    resetItemSize();
    QComboBox::showPopup();
    if (!d->popupOffset.isNull()) {
        if (auto *container = findChild<QFrame *>()) {
            container->move(container->x() + d->popupOffset.x(), mapToGlobal(QPoint(0, 0)).y() + height());
        }
    }
    if (d->list)
        d->list->scrollToTop();
}

void QZVComboBox::hidePopup()
{
    if (d->list)
        d->list->scrollToTop();
    QComboBox::hidePopup();
}

void QZVComboBox::mousePressEvent(QMouseEvent *event)
{
    if (!(d->button && isEditable())) {
        mousePressEventDraw(event);
        QComboBox::mousePressEvent(event);
    }
    emit emitClicked();
}

void QZVComboBox::mouseReleaseEvent(QMouseEvent *event)
{
    mouseReleaseEventDraw(event);
    QComboBox::mouseReleaseEvent(event);
    if (lineEdit() && lineEdit()->isHidden())
        emit emitShowPopup();
}

void QZVComboBox::enterEvent(QEvent *event)
{
    enterEventDraw(event);
    QComboBox::enterEvent(event);
}

void QZVComboBox::leaveEvent(QEvent *event)
{
    leaveEventDraw(event);
    QComboBox::leaveEvent(event);
}

void QZVComboBox::changeEvent(QEvent *event)
{
    changeEventDraw(event);
    QComboBox::changeEvent(event);
}

void QZVComboBox::resizeEvent(QResizeEvent *event)
{
    QComboBox::resizeEvent(event);
    resetBtnLocation();
}

void QZVComboBox::showEvent(QShowEvent *event)
{
    QComboBox::showEvent(event);
    resetBtnLocation();
}

void QZVComboBox::syncLineEdit()
{
    // Setting a style sheet re-polishes and schedules a repaint, so only real changes apply.
    const QMargins margins = drawTextMargins();
    const QRect geometry(margins.left(), margins.top(), width() - margins.left() - margins.right(),
                         height() - margins.top() - margins.bottom());
    if (lineEdit()->geometry() != geometry)
        lineEdit()->setGeometry(geometry);
    const QString sheet = QStringLiteral("QLineEdit {background-color:transparent;border:none;color:%1}")
                              .arg(d->itemTextColors[0].name());
    if (lineEdit()->styleSheet() != sheet)
        lineEdit()->setStyleSheet(sheet);
}

void QZVComboBox::paintEvent(QPaintEvent *event)
{
    if (!isCustomDraw()) {
        QComboBox::paintEvent(event);
        return;
    }
    setTextDrawable(lineEdit() ? lineEdit()->isHidden() : !isEditable());
    if (d->button && d->button->x() > width() / 2) {
        const QMargins margins = drawTextMargins();
        if (margins.right() < width() - d->button->x())
            setDrawTextMargins(margins.left(), margins.top(), width() - d->button->x(), margins.bottom());
    }
    if (isEditable() && lineEdit())
        syncLineEdit();
    QZVBaseRectImageDraw::paintEvent(event);
}
