#pragma once

#include "qcomboboxitemattribute.h"
#include "qzvbaserectimagedraw.h"

#include <QComboBox>

class QImage;
class QZVComboBoxItem;
class QZVComboBoxPrivate;

// A combo box whose closed box is a skin image; once skinned, its popup is a list whose
// rows are QZVComboBoxItem widgets sharing one look record, styled by generated sheets.
class QZVComboBox : public QComboBox, public QZVBaseRectImageDraw
{
    Q_OBJECT

public:
    explicit QZVComboBox(QWidget *parent = nullptr);
    ~QZVComboBox() override;

    void InitMacStyle();
    void setEditable(bool editable);
    bool setBackgroundImage(const QString &path);
    void setButtonImage(const QString &path, bool keepSize);
    void setButtonKeepSize(bool keepSize);
    bool buttonKeepSize() const;
    void setBtnMargins(int left, int top, int right, int bottom);
    void setBtnMargins(const QMargins &margins);
    void setTextColor(const QColor &color);
    void setTextColor(const QColor &normal, const QColor &hover, const QColor &pressed,
                      const QColor &disabled);
    void setFont(const QFont &font);

    void addItem(const QString &text, const QVariant &userData = QVariant());
    void addItem(const QImage *icon, const QString &text, const QVariant &userData = QVariant());
    void insertItem(int index, const QString &text, const QVariant &userData = QVariant());
    void insertItem(int index, const QImage *icon, const QString &text, const QVariant &userData = QVariant());
    void addItems(const QStringList &texts);
    void insertItems(int index, const QStringList &texts);
    void removeItem(int index);
    void setItemText(int index, const QString &text);
    QWidget *getItemWidgt(int index) const;
    bool IsValid(int index) const;

    void setItemFont(const QFont &font);
    void setItemTextColor(const QColor &normal, const QColor &hover, const QColor &pressed,
                          const QColor &disabled);
    void setItemTextColor(const QColor &color);
    void setItemTextMargins(int left, int top, int right, int bottom);
    void setItemIconRect(const QRect &rect);
    void setItemHeight(int height);
    int itemHeight() const;
    void setItemWidth(int width);
    int itemWidth() const;
    void setItemBgColor(const QColor &color);
    void setItemHoverColor(const QColor &color);
    QColor itemHoverColor() const;
    void setItemSelectedColor(const QColor &color);
    void setItemBorder(int width, const QColor &color);
    void setItemSpacing(int spacing, const QColor &color);
    void setItemAlignment(Qt::Alignment alignment);
    void setSeparatorColor(const QColor &color);
    void setItemWidgtPos(const QPoint &pos);
    QPoint itemWidgtPos() const;
    void addSeparator();
    void setItemSeparator(int index, bool on);
    void setPopupOffestPoint(const QPoint &offset);
    void resetItemAttribute();

    // Removes the rule from begin up to and including end; false when begin is absent.
    static bool cutStyleString(QString &sheet, const QString &begin, const QString &end);

signals:
    void emitShowPopup();
    void emitClicked();

public slots:
    void showPopup() override;
    void hidePopup() override;
    void drawTextChange(const QString &text);
    void currentIndexChangeSlot(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

    virtual void AddItemWidget(QZVComboBoxItem *item, int index);
    virtual void removeItemWidgt(QZVComboBoxItem *item);
    virtual void setShowText(const QString &text);

private:
    void ensurePopupList();
    QZVComboBoxItem *rowAt(int index) const;
    template <typename Apply> void forEachRow(Apply apply);
    void replaceStyleRule(const QString &begin, const QString &end, const QString &rule);
    void applyStyleSheet();
    void resetBtnLocation();
    void resetItemSize();
    int calcItemMaxWidth() const;
    void syncLineEdit();

    QZVComboBoxPrivate *d;
};
