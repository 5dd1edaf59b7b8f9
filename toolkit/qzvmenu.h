#pragma once

#include "qzvmenustyleattribute.h"

#include <QMenu>

class QZVMenuPrivate;

// A frameless, translucent popup menu painted by its own QZVMenuStyle.
class QZVMenu : public QMenu
{
    Q_OBJECT

public:
    explicit QZVMenu(QWidget *parent = nullptr);
    QZVMenu(const QString &title, QWidget *parent = nullptr);
    ~QZVMenu() override;

    void InitMenu();
    QAction *addMenu(QZVMenu *menu);
    QZVMenu *addMenu(const QString &title);
    QZVMenu *addMenu(const QIcon &icon, const QString &title);
    void setStyleAttribute(QZVMenuStyleAttribute *attribute);
    // The style's own record; changes show at the next paint.
    QZVMenuStyleAttribute *styleAttribute();
    void setBackgroundImage(const QString &path, bool grid);
    void setRadioImage(const QString &path);
    void setCheckStateImage(const QString &checked, const QString &unchecked);
    void setFrameWidth(int width);
    void setFrameColor(const QColor &color);
    void setAreaColor(const QColor &color);
    void setSeparatorColor(const QColor &color);
    void setItemColor(const QColor &color);
    void setItemTextColor(const QColor &color);
    void setItemSelectColor(const QColor &color);
    void setItemTextSelectColor(const QColor &color);
    void setItemEabledColor(const QColor &color);
    void setItemTextEabledColor(const QColor &color);
    void setItemWidth(int width);
    void setItemHeight(int height);

protected:
    bool event(QEvent *event) override;

private:
    QZVMenuPrivate *d;
};
