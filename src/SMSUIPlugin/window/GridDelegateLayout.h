// Cell painting for the message tables and the folder tree: no focus frame.
#pragma once

#include <QItemDelegate>

class GridDelegateLayout : public QItemDelegate
{
    Q_OBJECT
public:
    using QItemDelegate::QItemDelegate;

protected:
    void drawFocus(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect) const override;
};
