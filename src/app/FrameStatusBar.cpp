#include "FrameStatusBar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>
#include <QToolTip>

namespace {
constexpr int kGap = 8;   // between the message and the first permanent widget
}

FrameStatusBar::FrameStatusBar(QWidget* parent) : QStatusBar(parent) {}

QRect FrameStatusBar::MessageRect() const
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    int left = 6, right = width() - 12;
    // While a message is shown only the permanent widgets (and the size grip) are visible.
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!w->isVisible() || w->isWindow() || qobject_cast<QSizeGrip*>(w))
            continue;
        if (rtl)
            left = qMax(left, w->geometry().right() + 1 + kGap);
        else
            right = qMin(right, w->x() - kGap);
    }
    return QRect(left, 0, qMax(0, right - left), height());
}

QString FrameStatusBar::ShownMessage() const
{
    return fontMetrics().elidedText(currentMessage(), Qt::ElideRight, MessageRect().width());
}

void FrameStatusBar::paintEvent(QPaintEvent* event)
{
    if (currentMessage().isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // As QStatusBar paints it, with the message elided into its own rectangle.
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &opt, &p, this);
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!w->isVisible() || w->isWindow() || qobject_cast<QSizeGrip*>(w))
            continue;
        QStyleOption item(0);
        item.rect = w->geometry().adjusted(-1, -1, 1, 1);
        item.palette = palette();
        item.state = QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &item, &p, w);
    }
    p.setPen(palette().windowText().color());
    p.drawText(MessageRect(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, ShownMessage());
}

bool FrameStatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !currentMessage().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (MessageRect().contains(help->pos()) && ShownMessage() != currentMessage()) {
            QToolTip::showText(help->globalPos(), currentMessage(), this, MessageRect());
            return true;
        }
    }
    return QStatusBar::event(event);
}
