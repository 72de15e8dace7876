// How the page follows the device: network and SIM state, memory discovery, phone-book changes,
// messages the device deleted, and marking shown messages read.

#include "window/SMSUIMainDlg.h"

#include "CommonUtils.h"
#include "store/DetectMemoryDeviceThread.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "worker/SMSThreadUI.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "window/UITableItem.h"
#include "zsdk.h"
#include "Startup.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "worker/SMSWaitingDlg.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <memory>

// The Send buttons of open editors follow whether sending is possible; a button whose number
// field is empty stays disabled, and none is enabled while the device says it cannot send.
void SMSUIMainDlg::enableEditorSendButtons(bool possible)
{
    possible = possible && m_bCanSendSms;
    const QList<QPushButton*> buttons = findChildren<QPushButton*>(QStringLiteral("SMSUIPlugin_ButtonSendMsg"));
    const QList<QLineEdit*> numbers = findChildren<QLineEdit*>(QStringLiteral("SMSUIPlugin_LineEditNumber"));
    for (int i = 0; i < buttons.size(); ++i) {
        const bool hasNumber = i < numbers.size() && !numbers.at(i)->text().isEmpty();
        buttons.at(i)->setEnabled(possible && hasNumber);
    }
}

INotifyService* SMSUIMainDlg::notifyService()
{
    // Looked up at each use: the host may register its status bar after the page was built, or
    // take it away again.
    PluginContainer* container = Startup::GetPluginContainer();
    m_pNotify = container ? qobject_cast<INotifyService*>(container->GetPlugin(QLatin1String(HostGuid::NotifyService), 0x2011))
                          : nullptr;
    return m_pNotify;
}

void SMSUIMainDlg::sendStatusBarRefresh()
{
    if (notifyService())
        m_pNotify->SendNotify(QLatin1String(HostGuid::StatusBar), HostNotify::UnreadCountChanged, 0, 0);
}

void SMSUIMainDlg::GetPresentNetworkStatus(bool available)
{
    m_bNetworkAvailable = available;
    enableEditorSendButtons(available);
    if (available && m_bCanSendSms) {
        enableMessageToolItems();
    } else if (!available) {
        for (int id : {9002, 9003, 9004, 9001, 9005})
            disableToolItem(id);
    }
    // The context menu's message commands follow; Edit only opens a draft, the others also wait
    // until the device can send (as the tool bar does). Opening the menu applies the folder's
    // rules on top.
    for (const char* id : {"IDS_MENU_EDIT", "IDS_MENU_FORWARD", "IDS_MENU_REPLY", "IDS_MENU_SEND"})
        if (QAction* action = GetAction(QLatin1String(id)))
            action->setEnabled(available && (m_bCanSendSms || qstrcmp(id, "IDS_MENU_EDIT") == 0));
}

void SMSUIMainDlg::enableDisableForMultipleSelection(int rows)
{
    if (rows < 2) {
        if (m_bCallAvailable)
            enableToolItem(9005);
        else
            disableToolItem(9005);
        if (!m_bCanSendSms) {
            for (int id : {9002, 9003, 9004})
                disableToolItem(id);
            enableToolItem(9001);
            return;
        }
        const QList<QTableWidgetItem*> selected = m_pTableWidgetSms ? m_pTableWidgetSms->selectedItems() : QList<QTableWidgetItem*>();
        const SMSLocalRecordPtr rec = selected.isEmpty() ? SMSLocalRecordPtr() : UITableItem::RecordOf(selected.first());
        if (rec) {
            if (m_iSelectedTreeNode != NODE_LOCAL_TRASH && m_iSelectedTreeNode != NODE_LOCAL_REPORT && rec->iOrigNode != NODE_LOCAL_REPORT)
                enableMessageToolItems();
            enableToolItem(9001);
        }
        return;
    }
    for (int id : {9002, 9003, 9004, 9005})
        disableToolItem(id);
    if (m_pTextPreview) {
        m_pTextPreview->setPlainText(QStringLiteral(" "));
        m_pTextPreview->clear();
    }
}

void SMSUIMainDlg::onTableRowClickEnableDisable()
{
    switch (m_iSelectedTreeNode) {
    case 0: case 3: case 6: case 8: case 15:
        disableToolItem(9003);
        break;
    case 2:
        disableToolItem(9003);
        disableToolItem(9004);
        break;
    case 4: case 10:
        disableToolItem(9003);
        disableToolItem(9004);
        disableToolItem(9002);
        break;
    default:
        break;
    }
}

void SMSUIMainDlg::simremovalEnableDisableCheck()
{
    enableEditorSendButtons(m_bCanSendSms);
    if (m_pStatusLogicObject)
        m_bNetworkAvailable = m_pStatusLogicObject->GetNetworkModeStatus();
    const int selected = m_pTableWidgetSms ? m_pTableWidgetSms->selectedItems().size() : 0;
    if (selected > 2 && m_iSelectedTreeNode != NODE_LOCAL_DRAFT) {
        if (m_bCanSendSms)
            enableMessageToolItems();
        if (m_iSelectedTreeNode == NODE_LOCAL_TRASH) {
            for (int id : {9004, 9003, 9002})
                disableToolItem(id);
        }
        if (m_iSelectedTreeNode == 0 || m_iSelectedTreeNode == 6 || m_iSelectedTreeNode == 8 || m_iSelectedTreeNode == 15)
            disableToolItem(9003);
    }
    if (!m_bCanSendSms) {
        for (int id : {9004, 9003, 9002})
            disableToolItem(id);
    }
    if (m_bCallAvailable)
        enableToolItem(9005);
    else
        disableToolItem(9005);
}

void SMSUIMainDlg::OnSimStatusChanged(bool available)
{
    SMS_LOG("%s: %s: %s available %d", int(available));
    if (!m_pStatusLogicObject)
        return;
    int32_t multi = 0;
    m_bMultiModeCard = ZSDK_DevSrv_GetMultiModeCardStatus(&multi, 0, 0, 0) == 0 && multi != 0;
    if (m_pTableWidgetSms && !m_pTableWidgetSms->selectedItems().isEmpty())
        enableToolItem(9001);
    if (available == m_bSimAvailable) {
        SMS_DEBUG("SIM States are not changed");
        if (!available && !m_bNvDeviceFlag)
            checkDevMemStatus(false);
        return;
    }
    m_bSimAvailable = available;
    if (!available) {
        m_threadReadSim->SetStop(true);
        m_threadReadDevice->SetStop(true);
        m_pStatusLogicObject->ReleaseSmsBuffer(MEM_SIM);
        m_pStatusLogicObject->ReleaseSmsBuffer(MEM_DEVICE);
        for (int node = 6; node <= 14; ++node)
            syncSMSTableWithBuffers(node);
        // What is on screen may speak of messages that just went with the card.
        if (SMSWaitingDlg* progress = SMSWaitingDlg::Existing(); progress && progress->IsTimerRunning())
            progress->stopTimer();
        if (SMSTaskbarNotifier* notifier = SMSTaskbarNotifier::Existing())
            notifier->closeNotifyDialog();
        if (m_pMsgBox)
            m_pMsgBox->hide();
        HideCardRoots();
        enableEditorSendButtons(false);
        for (int id : {9002, 9003, 9004})
            disableToolItem(id);
        const int shown = m_iSelectedTreeNode;
        if ((shown >= 6 && shown <= 9) || shown == NODE_SIM_ROOT || shown == NODE_DEVICE_ROOT) {
            if (QTreeWidgetItem* inbox = TreeItem(NODE_LOCAL_INBOX)) {
                m_pTreeWidget->setCurrentItem(nullptr);
                inbox->setSelected(true);
                m_pTreeWidget->setCurrentItem(inbox);
                onClickSMSTreeNode(inbox, 0);
            }
        }
    } else {
        simremovalEnableDisableCheck();
    }
    if (!checkDevMemStatus(false)) {
        m_pStatusLogicObject->SyncBuffersWithPB();
        for (int node : {0, 1, 2, 3, 4, 5, 15})
            syncSMSTableWithBuffers(node);
    }
    syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
    // The card's memories came or went: the menu's move and copy targets follow at once, not
    // only when the menu is next opened.
    addSIMDeviceAction();
}

bool SMSUIMainDlg::checkDevMemStatus(bool initial)
{
    if (!m_pStatusLogicObject) {
        SMS_DEBUG("wrong Input");
        return false;
    }
    int32_t multi = 0;
    if (ZSDK_DevSrv_GetMultiModeCardStatus(&multi, 0, 0, 0) != 0)
        SMS_LOG("%s: %s: %s : ZSDK_DevSrv_GetMultiModeCardStatus Fail");
    else
        m_bMultiModeCard = multi != 0;
    m_bNvDeviceFlag = false;
    m_bSimMemoryFlag = false;
    uint16_t count = 0;
    if (ZSDK_SMSSrv_SMSGetMemoryListType(nullptr, &count) != 0)
        return false;
    if (count == 0) {
        m_bSimAvailable = false;
        SMS_DEBUG("MemoryList is empty");
        return false;
    }
    std::unique_ptr<uint16_t[]> types(new uint16_t[count]);
    if (!ZSDK_memset(types.get(), count * sizeof(uint16_t), 0xFF, count * sizeof(uint16_t)))
        SMS_LOG("%s: %s: %s: ZSDK_memset fail");
    if (ZSDK_SMSSrv_SMSGetMemoryListType(types.get(), &count) == uint16_t(-1))
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_SMSGetMemoryListType returned -1");
    bool result = false;
    if (!initial) {
        m_pStatusLogicObject->SyncBuffersWithPB();
        for (int node : {0, 1, 2, 3, 4, 5, 15})
            syncSMSTableWithBuffers(node);
        sendStatusBarRefresh();
        result = true;
    }
    const bool hideBranches = m_bMultiModeCard && m_bHideDoubleModeCardNode;
    for (int i = 0; i < count; ++i) {
        if (types[i] == 0xFFFF)
            continue;
        if (types[i] == 0) {
            if (!m_bSimAvailable)
                continue;
            if (!m_pStatusLogicObject->IsSimValidForSMS()) {
                m_bSimAvailable = false;
                continue;
            }
            int32_t product = 3, simType = 0;
            ZSDK_DevSrv_GetProductType(&product);
            if (ZSDK_DevSrv_GetSimType(&simType) == 0
                && ((simType == 4 && product != 1) || (simType != 3 && simType != 4 && product == 1)))
                continue;
            m_bSimMemoryFlag = true;
            m_pStatusLogicObject->PopulateSMSFromSDK(MEM_SIM);
            if (!hideBranches) {
                initSimTree();
            } else if (!m_pStatusLogicObject->GetSMSRecordCount(MEM_SIM)) {
                populateSimSMSTables();
            } else {
                m_threadReadSim->SetStop(false);
                m_threadReadSim->start(QThread::InheritPriority);
            }
        } else if (types[i] == 1) {
            m_bNvDeviceFlag = true;
            m_pStatusLogicObject->PopulateSMSFromSDK(MEM_DEVICE);
            if (!hideBranches) {
                initDeviceTree();
            } else if (!m_pStatusLogicObject->GetSMSRecordCount(MEM_DEVICE)) {
                populateDeviceSMSTables();
            } else {
                m_threadReadDevice->SetStop(false);
                m_threadReadDevice->start(QThread::InheritPriority);
            }
        }
    }
    return result;
}

bool SMSUIMainDlg::PerformSimCheckOperation()
{
    int32_t dev = 0, pin = 0;
    return ZSDK_DevSrv_GetDevStatus(&dev) == 0 && dev == 3
        && ZSDK_DevSrv_GetPinStatus(0, &pin, nullptr, nullptr, nullptr) == 0 && (pin == 1 || pin == 2 || pin == 8);
}

void SMSUIMainDlg::onSmsStatusChanged(int code)
{
    switch (code) {
    case 0:
        OnSimStatusChanged(true);
        break;
    case 1:
        OnSimStatusChanged(true);
        m_bSimMemoryFlag = true;
        m_iLastSimStatus = 1;
        break;
    case 2: case 4: case 6:
        m_iMemoryFullKind = code;
        if (!m_bMemoryFullPopupAllowed) {
            SMS_DEBUG("memory-full report %d waits until the host says the device is ready", code);
            m_iPendingMemoryFull = code;
            break;
        }
        createMemoryFullPopUp(code, code != 6);
        break;
    case 3:
        m_bNvDeviceFlag = false;
        m_bSimMemoryFlag = false;
        // Nothing can be sent without the device, whether or not a "cannot send" follows.
        setCanSendSms(false);
        OnSimStatusChanged(false);
        if (QTreeWidgetItem* root = TreeItem(NODE_DEVICE_ROOT))
            root->setHidden(true);
        if (CommonUtils::IsMiniMode() && notifyService())
            m_pNotify->SendNotify(QLatin1String(HostGuid::MiniFrame), HostNotify::UnreadCountChanged, 0, 0);
        break;
    case 5:
        if (m_iLastSimStatus != 5) {
            OnSimStatusChanged(false);
            m_bSimMemoryFlag = false;
        }
        m_iLastSimStatus = 5;
        break;
    case 7:
    case 8:
        setCanSendSms(code == 7);
        break;
    default:
        SMS_LOG("%s: %s: %s:: Falled in Default case");
        break;
    }
}

void SMSUIMainDlg::setCanSendSms(bool possible)
{
    m_bCanSendSms = possible;
    onClickTableRow(0);
    if (!possible) {
        for (int id : {9002, 9003, 9004})
            disableToolItem(id);
    }
    emit netStatusChanged(possible);
    if (notifyService())
        m_pNotify->BroadcastNotify(possible ? 0x160 : 0x161, 0, 0);
}

void SMSUIMainDlg::OnPBReadComplete()
{
    if (!m_pStatusLogicObject)
        return;
    m_pStatusLogicObject->SyncBuffersWithPB();
    for (int node = 0; node <= 15; ++node)
        syncSMSTableWithBuffers(node);
}

void SMSUIMainDlg::OnCallBackDeleteSms(int msgId, int folder)
{
    if (!m_pStatusLogicObject)
        return;
    if (folder == NODE_LOCAL_OUTBOX && m_bSentItemsBox) {
        m_pStatusLogicObject->DeleteSMSFromBuffer(msgId, NODE_LOCAL_SENT, MEM_PC, true);
        syncSMSTableWithBuffers(NODE_LOCAL_SENT);
    }
    m_pStatusLogicObject->DeleteSMSFromBuffer(msgId, folder, SMSStatusUILogic::GetMemPosition(folder), true);
    syncSMSTableWithBuffers(folder);
    syncSMSTableWithBuffers(SMSStatusUILogic::GetParentPos(folder));
}

void SMSUIMainDlg::onDeleteSMS(int msgId, int node, int location, bool permanent)
{
    if (m_pStatusLogicObject)
        m_pStatusLogicObject->DeleteSMSFromBuffer(msgId, node, location, permanent);
}

void SMSUIMainDlg::replaceRecordInTables(const SMSLocalRecordPtr& updated)
{
    // Every table row that shows this message points at the new record from now on. The tables
    // find the row through their index: a click must not walk every row of every table.
    for (SMSUITableWidget* table : qAsConst(m_hashTables)) {
        const SMSUITableWidget::RowCells cells = table->CellsForMessage(updated->iMsgId);
        const SMSLocalRecordPtr before = UITableItem::RecordOf(cells.cell[0]);
        if (!before)
            continue;
        for (QTableWidgetItem* item : cells.cell)
            if (auto* cell = dynamic_cast<UITableItem*>(item))
                cell->SetRecord(updated);
        table->NoteRecordReplaced(before, updated);
    }
}

void SMSUIMainDlg::notifyStatusBar()
{
    if (!m_pTableWidgetSms || !m_pStatusLogicObject)
        return;
    if (m_iCurrentFrom < 0 || ZSDK_SMSSrv_BeginTransaction(m_iCurrentFrom) != 0)
        return;
    bool changed = false;
    QList<int> readIds;
    const QList<QTableWidgetItem*> selected = m_pTableWidgetSms->selectedItems();
    for (QTableWidgetItem* item : selected) {
        if (item->column() != 0)
            continue;
        auto* cell = dynamic_cast<UITableItem*>(item);
        if (!cell || !cell->Record())
            continue;
        SMSLocalRecordPtr record = cell->Record();
        if (!setReadMessageIcon(record, cell))
            continue;
        if (m_pStatusLogicObject->ReadUnReadSMS(record->iMsgId, record->iNode) != 0)
            continue;
        m_pStatusLogicObject->InsertSingleSMS(record->iNode, record->iMsgId, record);
        replaceRecordInTables(record);
        readIds << record->iMsgId;
        changed = true;
    }
    if (ZSDK_SMSSrv_EndTransaction(m_iCurrentFrom) != 0)
        SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_EndTransaction failed");
    if (!changed)
        return;
    switch (m_iSelectedTreeNode) {
    // Only the rows of the messages just read can have changed.
    case NODE_LOCAL_INBOX: case NODE_LOCAL_REPORT: syncUnreadSMSTable(NODE_LOCAL_ROOT, &readIds); break;
    case NODE_SIM_INBOX: syncUnreadSMSTable(NODE_SIM_ROOT, &readIds); break;
    case NODE_LOCAL_ROOT: syncUnreadSMSTable(NODE_LOCAL_REPORT, &readIds); syncUnreadSMSTable(NODE_LOCAL_INBOX, &readIds); break;
    case NODE_SIM_ROOT: syncUnreadSMSTable(NODE_SIM_INBOX, &readIds); break;
    case NODE_DEVICE_ROOT: syncUnreadSMSTable(NODE_DEVICE_INBOX, &readIds); break;
    default: break;
    }
    updateTreeNodeCounts();
    sendStatusBarRefresh();
}

bool SMSUIMainDlg::IsWorkerRunning() const
{
    return m_SMSThreadInst && m_SMSThreadInst->isRunning();
}
