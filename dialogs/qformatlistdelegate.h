#pragma once

#include "qbaseiconlistdelegate.h"

// Paints a format item's icon: the top frame of its three-frame strip when selected,
// the middle one otherwise (the bottom one belongs to the main window's format button),
// and a thin outline around unselected items.
class QFormatListDelegate : public QBaseIconListDelegate
{
    Q_OBJECT

public:
    explicit QFormatListDelegate(QObject *parent = nullptr);

    void drawImage(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void drawIconFrame(QPainter *painter, const QRect &cell, const QString &path, bool selected) const;
};
