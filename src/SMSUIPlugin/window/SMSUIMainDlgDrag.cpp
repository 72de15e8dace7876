// Dragging messages from the table onto a folder of the tree: which folders take which messages,
// whether the drop moves or copies, and the worker run that carries it out.

#include "window/SMSUIMainDlg.h"

#include "store/SMSLog.h"
#include "settings/SMSSettingUILogic.h"
#include "store/SMSStatusUILogic.h"
#include "worker/SMSThreadUI.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "worker/SMSWaitingDlg.h"
#include "window/UITableItem.h"

#include <QSignalBlocker>

namespace {
bool isOutboxOrSent(int node) { return node == NODE_LOCAL_OUTBOX || node == NODE_SIM_OUTBOX || node == NODE_DEVICE_OUTBOX || node == NODE_LOCAL_SENT; }
bool isInbox(int node) { return node == NODE_LOCAL_INBOX || node == NODE_SIM_INBOX || node == NODE_DEVICE_INBOX; }
bool isLocalFolder(int node) { return node >= NODE_LOCAL_DRAFT && node <= NODE_LOCAL_TRASH; }
bool isRoot(int node) { return node == NODE_SIM_ROOT || node == NODE_LOCAL_ROOT || node == NODE_DEVICE_ROOT; }
}

void SMSUIMainDlg::highlightTreeItem(QTreeWidgetItem* item)
{
    if (!m_pTreeWidget || !item || m_pTreeWidget->currentItem() == item)
        return;
    // Only the highlight moves: the table keeps showing the folder the drag came from.
    const QSignalBlocker quiet(m_pTreeWidget);
    m_pTreeWidget->setCurrentItem(item);
    m_pTreeWidget->viewport()->update();
}

void SMSUIMainDlg::TablePressedOnEmptyArea()
{
    showFolderSummary();
    for (int id : {9002, 9003, 9004, 9001, 9005})
        disableToolItem(id);
}

void SMSUIMainDlg::PrepareDrag(SMSUITableWidget* table, bool leftHalf)
{
    if (!table)
        return;
    QSet<int> rows;
    for (const QTableWidgetSelectionRange& range : table->selectedRanges())
        for (int row = range.topRow(); row <= range.bottomRow(); ++row)
            rows.insert(row);
    if (leftHalf && m_pTreeWidget) {
        m_iDragSourceNode = getSMSTreeNodePosition(m_pTreeWidget->currentItem());
        QList<int> ordered = rows.values();
        std::sort(ordered.begin(), ordered.end());
        m_lstDragRecords.clear();
        for (int row : qAsConst(ordered))
            if (const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0)))
                m_lstDragRecords << rec;
    }
    m_iDragRowCount = rows.size();
    if (m_iDragRowCount > 1) {
        for (int id : {9003, 9004, 9002})
            disableToolItem(id);
        enableToolItem(9001);
    }
}

void SMSUIMainDlg::TableReleased(bool onItem)
{
    if (!m_pTreeWidget)
        return;
    m_bDragInProgress = false;
    if (!onItem)
        onClickTableRow(0);
    if (QTreeWidgetItem* current = m_pTreeWidget->currentItem()) {
        m_iSelectedTreeNode = getSMSTreeNodePosition(current);
        m_pCurrentTreeItem = current;
    }
}

void SMSUIMainDlg::RestoreCurrentTreeItem() { highlightTreeItem(m_pCurrentTreeItem); }

bool SMSUIMainDlg::DragOver(int target)
{
    if (!m_pStatusLogicObject || !m_pTreeWidget)
        return false;
    if (target != NODE_INVALID && m_pStatusLogicObject->IsDropAllowed(m_iDragSourceNode, target, m_lstDragRecords)) {
        m_bDropRejected = false;
        highlightTreeItem(TreeItem(target));
        return true;
    }
    m_bDropRejected = true;
    highlightTreeItem(m_pCurrentTreeItem);
    return false;
}

bool SMSUIMainDlg::TakeDropRejected()
{
    const bool rejected = m_bDropRejected;
    m_bDropRejected = false;
    return rejected;
}

void SMSUIMainDlg::Dropped(bool copy)
{
    m_iDraggedFlag = 1;
    m_bDropCopy = copy;
}

void SMSUIMainDlg::enableDrop(int)
{
    if (!m_iDraggedFlag)
        return;   // the selection came back to the shown folder without a drop
    if (SMSSettingUILogic* settings = SMSSettingUILogic::Existing())
        settings->GetConfigBool(QStringLiteral("Local2Device"), &m_bLocal2Device);
    const int source = m_iDragSourceNode;
    const int target = m_iEnteredNodePosition;
    enum { Refuse, Local, Copy } decision = Refuse;
    if (isOutboxOrSent(source)) {
        if (target == source || isInbox(target) || target == NODE_LOCAL_REPORT || isRoot(target))
            decision = Refuse;
        else if (source == NODE_SIM_OUTBOX || source == NODE_DEVICE_OUTBOX)
            decision = Copy;
        else if ((source == NODE_LOCAL_OUTBOX && target == NODE_LOCAL_SENT) || (source == NODE_LOCAL_SENT && target == NODE_LOCAL_OUTBOX))
            decision = Refuse;   // sent and unsent messages do not trade places
        else
            decision = isLocalFolder(target) ? Local : Copy;
    } else if (isInbox(source)) {
        if (target == source || target == NODE_LOCAL_REPORT || target == NODE_SIM_OUTBOX || target == NODE_LOCAL_OUTBOX
            || target == NODE_DEVICE_OUTBOX || (target >= NODE_SIM_ROOT && target <= NODE_LOCAL_SENT))
            decision = Refuse;
        else
            decision = (source == NODE_LOCAL_INBOX && isLocalFolder(target)) ? Local : Copy;
    } else if (source == NODE_LOCAL_FAVORITE) {
        decision = (target == NODE_LOCAL_DRAFT || target == NODE_LOCAL_TRASH) ? Local : Refuse;
    } else if (source == NODE_LOCAL_TRASH) {
        decision = (target == NODE_LOCAL_DRAFT || target == NODE_LOCAL_FAVORITE) ? Local : Refuse;
    } else if (source == NODE_LOCAL_DRAFT) {
        decision = (target == NODE_LOCAL_FAVORITE || target == NODE_LOCAL_TRASH) ? Local : Refuse;
    }
    switch (decision) {
    case Refuse:
        SMS_DEBUG("drop from %d onto %d refused", source, target);
        m_iDraggedFlag = 0;
        m_iSelectedTreeNode = source;
        highlightTreeItem(m_pCurrentTreeItem);
        break;
    case Local:
        PerformDropForFolder();
        break;
    case Copy:
        // Messages from the card or the device stay where they are: a drop copies them.
        performSmsDragOperation(SMSThreadUI::WorkDragCopy);
        break;
    }
}

void SMSUIMainDlg::PerformDropForFolder()
{
    QTreeWidgetItem* target = TreeItem(m_iEnteredNodePosition);
    if (!target || !m_iDraggedFlag)
        return;
    highlightTreeItem(target);
    onClickSMSTreeNode(target, 0);
    if (m_bDropCopy) {
        m_bDropCopy = false;
        performSmsDragOperation(SMSThreadUI::WorkDragCopy);
    } else {
        performSmsDragOperation(SMSThreadUI::WorkDragMove);
    }
}

void SMSUIMainDlg::performSmsDragOperation(int op)
{
    if (m_lstDragRecords.isEmpty() || !m_SMSThreadInst || IsWorkerRunning()) {
        SMS_LOG("%s: %s: %s: nothing to drop, or an operation is still running");
        m_iDraggedFlag = 0;
        return;
    }
    const int kind = op == SMSThreadUI::WorkDragCopy ? SMSThreadUI::WorkDragCopy : SMSThreadUI::WorkDragMove;
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(m_lstDragRecords.size());
    m_iOpTotal = m_lstDragRecords.size();
    m_iOpDone = 0;
    m_bMemoryFullReported = false;
    progress->ShowAnimationDialog(this, kind == SMSThreadUI::WorkDragCopy ? SMSWaitingDlg::DragCopying : SMSWaitingDlg::DragMoving);
    m_iLastOperation = kind;
    m_bRootViewOperation = false;
    m_SMSThreadInst->setWork(kind, m_lstDragRecords, m_iCurrentFrom, m_iActivatedNodePosition, m_iSelectedTreeNode);
    m_SMSThreadInst->start(QThread::InheritPriority);
    if (m_pTreeWidget)
        m_pTreeWidget->DroppedIds().clear();
    m_iDragRowCount = 0;
    m_iMoveSuccess = 0;
    m_iMoveFail = 0;
    m_listHandledIndexes.clear();
    m_iDraggedFlag = 0;
}

// A dropped message arrives (or fails) exactly like one moved or copied by the menu.
void SMSUIMainDlg::onDraggSmsResult(bool ok) { onSmsMoveOrCopy(ok, 0); }
