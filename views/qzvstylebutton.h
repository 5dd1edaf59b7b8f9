#pragma once

#include <QModelIndex>
#include <QPushButton>

#include <memory>

class QDelegateStyleWidget;

// An image button drawn inside list and table cells. It is never shown as a widget: one
// object serves every row of its column, and the delegate sets its state and strip again
// before each draw and hands it the index it acts on.
class QZVStyleButton : public QPushButton
{
    Q_OBJECT

public:
    explicit QZVStyleButton(QWidget *parent = nullptr);
    ~QZVStyleButton() override;

    // False, with nothing changed, when the normal strip is missing or not an image; a
    // missing or broken selected strip falls back to the normal one.
    bool setButtonImage(const QString &normal, const QString &selected, bool grid);
    void SetBgSelected(bool selected);

    // 0 normal, 1 hover, 2 pressed.
    void setBtnState(int state);
    int getBtnState() const;
    void setShow(bool show);
    bool isShow() const;
    void setColumn(int column);
    int getColumn() const;
    void setPos(const QPoint &pos);
    void setPos(int x, int y);
    QPoint getPos() const;

    void clickWidgt(const QModelIndex &index);

signals:
    void emitClickIndex(QModelIndex index);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
