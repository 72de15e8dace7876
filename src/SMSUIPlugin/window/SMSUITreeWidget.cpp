#include "window/SMSUITreeWidget.h"

#include "store/SMSLog.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "window/SMSUITableWidget.h"

#include <QDragEnterEvent>
#include <QMimeData>

SMSUITreeWidget::SMSUITreeWidget(SMSUIMainDlg* window, QWidget* parent) : QTreeWidget(parent), m_pWindow(window)
{
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

int SMSUITreeWidget::FolderAt(const QPoint& pos) const
{
    if (!m_pWindow)
        return 16;
    // Roots and the busiest folders first: they are where most drops go.
    static const int order[] = {NODE_LOCAL_ROOT, NODE_SIM_ROOT, NODE_DEVICE_ROOT, NODE_LOCAL_INBOX, NODE_LOCAL_OUTBOX,
                                NODE_LOCAL_SENT, NODE_SIM_INBOX, NODE_LOCAL_DRAFT, NODE_LOCAL_FAVORITE, NODE_LOCAL_TRASH,
                                NODE_LOCAL_REPORT, NODE_SIM_OUTBOX, NODE_DEVICE_OUTBOX, NODE_DEVICE_INBOX};
    for (int node : order) {
        QTreeWidgetItem* item = m_pWindow->TreeItem(node);
        if (item && !item->isHidden() && visualItemRect(item).contains(pos))
            return node;
    }
    return 16;
}

void SMSUITreeWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData()->hasFormat(QLatin1String(SMSUITableWidget::MimeType())))
        return;
    event->acceptProposedAction();
    setMouseTracking(true);
}

void SMSUITreeWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_pWindow)
        return;
    const int target = FolderAt(event->pos());
    const bool fromShownTable = event->source() && event->source() == m_pWindow->CurrentTable();
    if (!fromShownTable) {
        event->ignore();
        return;
    }
    if (m_pWindow->DragOver(target))
        event->acceptProposedAction();
    else
        event->ignore();
}

void SMSUITreeWidget::dropEvent(QDropEvent* event)
{
    if (!m_pWindow)
        return;
    if (m_pWindow->TakeDropRejected()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The payload may name the dragged ids, separated by "-1"; the records moved are the ones
    // the table had selected.
    QByteArray payload = event->mimeData()->data(QLatin1String(SMSUITableWidget::MimeType()));
    const int nul = payload.indexOf('\0');
    if (nul >= 0)
        payload.truncate(nul);
    if (!payload.isEmpty()) {
        for (const QString& id : QString::fromLatin1(payload).split(QStringLiteral("-1"), Qt::KeepEmptyParts)) {
            SMS_DEBUG("Obtained SmsMsgId %s", qPrintable(id));
            m_listDroppedIds << id;
        }
    }
    m_pWindow->Dropped(event->keyboardModifiers() & Qt::ControlModifier);
    emit itemEntered(currentItem(), 0);
}
