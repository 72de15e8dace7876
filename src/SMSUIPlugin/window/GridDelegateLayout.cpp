#include "window/GridDelegateLayout.h"

#include <QPainter>

void GridDelegateLayout::drawFocus(QPainter* painter, const QStyleOptionViewItem& option, const QRect&) const
{
    if (option.state & QStyle::State_HasFocus)
        painter->setPen(QPen(Qt::white, 0));
}

