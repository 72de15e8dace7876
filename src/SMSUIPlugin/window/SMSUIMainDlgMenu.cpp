// The table's context menu: building it from the host's menu file, its enabling rules, the move
// and copy targets, and the move and copy commands with their results.

#include "window/SMSUIMainDlg.h"

#include "Change.h"
#include "CommonUtils.h"
#include "HostGuids.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "worker/SMSThreadUI.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "worker/SMSWaitingDlg.h"
#include "store/SmsSettingXMLParse.h"
#include "settings/SMSSettingUILogic.h"
#include "window/UITableItem.h"
#include "zsdk.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>

namespace {

const QString kGroup = QStringLiteral("SMSUIPlugin");
const QString kMoveTo = QStringLiteral("Move to");
const QString kCopyTo = QStringLiteral("Copy to");
const QString kMoveAllTo = QStringLiteral("Move All to");
const QString kCopyAllTo = QStringLiteral("Copy All to");

bool isTarget(const QString& id)
{
    return id == QLatin1String("IDS_TREE_SIM") || id == QLatin1String("IDS_TREE_LOCAL") || id == QLatin1String("IDS_TREE_DEVICE");
}

// Folders in which each move/copy target may be chosen.
bool targetAllowed(const QString& id, int folder, bool simAvailable)
{
    if (id == QLatin1String("IDS_TREE_SIM"))
        return simAvailable && (folder == 0 || folder == 1 || folder == 8 || folder == 9 || folder == 14 || folder == 15);
    if (id == QLatin1String("IDS_TREE_LOCAL"))
        return folder == 6 || folder == 7 || folder == 8 || folder == 9 || folder == 12 || folder == 14;
    if (id == QLatin1String("IDS_TREE_DEVICE"))
        return folder == 0 || folder == 1 || folder == 6 || folder == 7 || folder == 12 || folder == 15;
    return false;
}

} // namespace

QString SMSUIMainDlg::cardName() const { return SimRootLabel(); }

void SMSUIMainDlg::onRightClickAction()
{
    MENU::QBuildMenu builder(kGroup, QStringLiteral("Config.xml"));
    m_pContextMenu = builder.CreateMenuBar(QStringLiteral("listview"), m_pTableWidgetSms ? static_cast<QWidget*>(m_pTableWidgetSms) : this, &m_lstMenuActions);
    if (!m_pContextMenu) {
        SMS_DEBUG("%s: %s: NULL Pointer Exception", SMSLog::now().constData(), __func__);
        return;
    }
    // The menu follows the page, not the table it was first built on.
    m_pContextMenu->setParent(this, m_pContextMenu->windowFlags());
    SMSSettingUILogic* settings = SMSSettingUILogic::Existing();
    for (int i = m_lstMenuActions.size() - 1; i >= 0; --i) {
        MENU::MenuActionItem& entry = m_lstMenuActions[i];
        QAction* action = entry.action;
        if (!action)
            continue;
        QString text;
        QKeySequence key;
        if (Change::tr(entry.id, kGroup, text, key))
            action->setShortcut(key);
        const QString& id = entry.id;
        auto remove = [&] {
            if (QWidget* owner = action->parentWidget())
                owner->removeAction(action);
            m_lstMenuActions.removeAt(i);
        };
        if (id == QLatin1String("IDS_MENU_NEW")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onMenuNew);
        } else if (id == QLatin1String("IDS_MENU_EDIT")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onButtonClickedEditSMS);
        } else if (id == QLatin1String("IDS_MENU_SEND")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onMenuSend);
        } else if (id == QLatin1String("IDS_MENU_REPLY")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onMenuReply);
        } else if (id == QLatin1String("IDS_MENU_FORWARD")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onMenuForward);
        } else if (id == QLatin1String("IDS_MENU_CALL")) {
            const bool voice = CommonUtils::GetSettings(QStringLiteral("callui"), QStringLiteral("callvoice")).toInt() != 0;
            if (!voice || !CommonUtils::IsPluginAvailable(QLatin1String(HostGuid::CallUI)))
                remove();
            else
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onButtonClickCall);
        } else if (id == QLatin1String("IDS_MENU_VIDEO_CALL")) {
            remove();
        } else if (id == QLatin1String("IDS_EXPORT_SMSSELECT") || id == QLatin1String("IDS_EXPORT_SMSALL")) {
            const bool all = id == QLatin1String("IDS_EXPORT_SMSALL");
            bool show = false;
            if (settings)
                settings->GetConfigBool(all ? QStringLiteral("SMSExportAll") : QStringLiteral("SMSExportSelect"), &show);
            if (!show)
                remove();
            else if (all)
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onClickExportAllSMS);
            else
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onClickExportSMS);
        } else if (id == QLatin1String("IDS_MENU_MOVE2") || id == QLatin1String("IDS_MENU_MOVEAll2")
                   || id == QLatin1String("IDS_MENU_COPY2") || id == QLatin1String("IDS_MENU_COPYAll2")) {
            // the submenus themselves do nothing
        } else if (isTarget(id)) {
            const QString sub = entry.submenu;
            if (sub == kMoveTo)
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onClickMove);
            else if (sub == kCopyTo)
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onClickCopy);
            else if (sub == kMoveAllTo)
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onClickMoveAll);
            else if (sub == kCopyAllTo)
                connect(action, &QAction::triggered, this, &SMSUIMainDlg::onClickCopyAll);
        } else if (id == QLatin1String("IDS_MENU_SAVENUMBER")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onButtonClickedSaveNumber);
        } else if (id == QLatin1String("IDS_MENU_DELETE")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onButtonClickDelete);
            action->setShortcut(QKeySequence(Qt::Key_Delete));
        } else if (id == QLatin1String("IDS_MENU_CLEARALL")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onButtonClickDeleteAll);
        } else if (id == QLatin1String("IDS_MENU_RECOVER")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onButtonClickRecoverMessages);
        } else if (id == QLatin1String("IDS_MENU_SEARCH")) {
            connect(action, &QAction::triggered, this, &SMSUIMainDlg::onMenuSearch);
        }
    }
}

QAction* SMSUIMainDlg::GetAction(const QString& id) const
{
    if (id.isEmpty() || !m_pContextMenu)
        return nullptr;
    for (const MENU::MenuActionItem& entry : m_lstMenuActions)
        if (entry.id == id)
            return entry.action;
    return nullptr;
}

void SMSUIMainDlg::UpdateMenuItemForSimAndDevice(QMenu* menu, const QString& id, QAction* action, int simStatus, const QString&)
{
    if (!menu || !action)
        return;
    if (id == QLatin1String("IDS_TREE_DEVICE")) {
        action->setVisible(m_bNvDeviceFlag);
    } else if (id == QLatin1String("IDS_TREE_SIM")) {
        action->setText(cardName());
        if (simStatus != 1 || !m_bSimMemoryFlag) {
            action->setVisible(false);
            return;
        }
        int32_t multi = 0;
        if (ZSDK_DevSrv_GetMultiModeCardStatus(&multi, 0, 0, 0) == 0 && multi) {
            int32_t simType = 0, product = 3;
            if (ZSDK_DevSrv_GetSimType(&simType) != 0 || ZSDK_DevSrv_GetProductType(&product) != 0) {
                SMS_LOG("%s: %s: %s: card type query failed; the entry keeps its state");
                return;
            }
            if ((product == 0 && simType == 4) || (product == 1 && (simType == 1 || simType == 2)))
                return;
        }
        action->setVisible(true);
    }
}

void SMSUIMainDlg::addSIMDeviceAction()
{
    int32_t multi = 0;
    if (ZSDK_DevSrv_GetMultiModeCardStatus(&multi, 0, 0, 0) != 0)
        SMS_LOG("%s: %s: %s : ZSDK_DevSrv_GetMultiModeCardStatus Fail");
    else
        m_bMultiModeCard = multi != 0;
    int simStatus = 0;
    if (m_pStatusLogicObject)
        m_pStatusLogicObject->GetSimStatus(&simStatus);
    const bool hideSubmenus = m_bMultiModeCard && m_bHideDoubleModeCardNode;
    for (const MENU::MenuActionItem& entry : qAsConst(m_lstMenuActions)) {
        if (entry.id == QLatin1String("IDS_MENU_MOVE2") || entry.id == QLatin1String("IDS_MENU_MOVEAll2")
            || entry.id == QLatin1String("IDS_MENU_COPY2") || entry.id == QLatin1String("IDS_MENU_COPYAll2"))
            entry.action->setVisible(!hideSubmenus);
        else if (isTarget(entry.id))
            UpdateMenuItemForSimAndDevice(m_pContextMenu, entry.id, entry.action, simStatus, entry.submenu);
    }
}

void SMSUIMainDlg::setTargetRules(int folder, bool emptySelection, bool hasRows)
{
    for (const MENU::MenuActionItem& entry : qAsConst(m_lstMenuActions)) {
        if (!isTarget(entry.id))
            continue;
        bool enabled = targetAllowed(entry.id, folder, m_bSimAvailable);
        if (emptySelection && (!hasRows || entry.submenu == kMoveTo || entry.submenu == kCopyTo))
            enabled = false;
        entry.action->setEnabled(enabled);
    }
}

void SMSUIMainDlg::enableMenuItem()
{
    if (!m_pContextMenu)
        return;
    const char* single[] = {"IDS_MENU_EDIT", "IDS_MENU_FORWARD", "IDS_MENU_REPLY", "IDS_MENU_SEND", "IDS_MENU_DELETE",
                            "IDS_MENU_CLEARALL", "IDS_MENU_RECOVER", "IDS_MENU_CALL", "IDS_EXPORT_SMSSELECT",
                            "IDS_EXPORT_SMSALL", "IDS_MENU_SEARCH", "IDS_MENU_NEW"};
    for (const char* id : single)
        if (QAction* a = GetAction(QLatin1String(id)))
            a->setEnabled(true);
    if (QAction* save = GetAction(QStringLiteral("IDS_MENU_SAVENUMBER")))
        save->setEnabled(m_bAddrBookAvailable);
    auto off = [this](std::initializer_list<const char*> ids) {
        for (const char* id : ids)
            if (QAction* a = GetAction(QLatin1String(id)))
                a->setEnabled(false);
    };
    auto folderRules = [&off](int folder) {
        switch (folder) {
        case 1: case 7: case 9: off({"IDS_MENU_RECOVER", "IDS_MENU_EDIT"}); break;
        case 0: case 6: case 8: case 15: off({"IDS_MENU_RECOVER", "IDS_MENU_EDIT", "IDS_MENU_REPLY"}); break;
        case 2: off({"IDS_MENU_REPLY", "IDS_MENU_FORWARD"}); break;
        case 3: off({"IDS_MENU_EDIT", "IDS_MENU_REPLY"}); break;
        case 4: off({"IDS_MENU_EDIT", "IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_SEND"}); break;
        case 5: case 10: off({"IDS_MENU_RECOVER", "IDS_MENU_EDIT", "IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_SEND"}); break;
        default: break;
        }
    };
    folderRules(m_iSelectedTreeNode);
    const int rows = m_pTableWidgetSms ? m_pTableWidgetSms->selectedItems().size() / 3 : 0;
    setTargetRules(m_iSelectedTreeNode, false, true);
    if (!m_bCanSendSms)
        off({"IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_SEND"});
    if (!m_bCallAvailable)
        off({"IDS_MENU_CALL"});
    const bool root = m_iSelectedTreeNode == NODE_SIM_ROOT || m_iSelectedTreeNode == NODE_LOCAL_ROOT || m_iSelectedTreeNode == NODE_DEVICE_ROOT;
    if (!root)
        return;
    if (rows >= 2) {
        off({"IDS_MENU_RECOVER", "IDS_MENU_EDIT"});
    } else if (rows == 1) {
        const SMSLocalRecordPtr rec = SelectedRecord();
        if (rec) {
            folderRules(rec->iNode);
            if (SMSStatusUILogic::GetMemPosition(rec->iNode) != MEM_PC)
                setTargetRules(rec->iNode, false, true);
        }
    }
}

bool SMSUIMainDlg::PrepareContextMenu(const QPoint& pos)
{
    if (!m_pTableWidgetSms || !m_pContextMenu || (m_pTreeWidget && m_pTreeWidget->hasFocus()))
        return false;
    addSIMDeviceAction();
    enableMenuItem();
    QTableWidgetItem* item = m_pTableWidgetSms->itemAt(pos);
    auto off = [this](std::initializer_list<const char*> ids) {
        for (const char* id : ids)
            if (QAction* a = GetAction(QLatin1String(id)))
                a->setEnabled(false);
    };
    if (!item) {
        off({"IDS_MENU_EDIT", "IDS_MENU_FORWARD", "IDS_MENU_REPLY", "IDS_MENU_SEND", "IDS_MENU_SAVENUMBER", "IDS_MENU_DELETE",
             "IDS_MENU_RECOVER", "IDS_EXPORT_SMSSELECT", "IDS_MENU_CALL"});
        const bool hasRows = m_pTableWidgetSms->rowCount() > 0;
        if (!hasRows)
            off({"IDS_MENU_CLEARALL", "IDS_EXPORT_SMSALL"});
        setTargetRules(m_iSelectedTreeNode, true, hasRows);
        m_pTableWidgetSms->clearSelection();
        m_pTableWidgetSms->setCurrentCell(-1, -1);
        showFolderSummary();
        return true;
    }
    const int rows = m_pTableWidgetSms->selectedItems().size() / 3;
    if (rows == 1)
        updatePreviewPaneForRightClick();
    if (rows > 1)
        off({"IDS_MENU_SAVENUMBER", "IDS_MENU_FORWARD", "IDS_MENU_REPLY", "IDS_MENU_EDIT", "IDS_MENU_SEND", "IDS_MENU_CALL"});
    return true;
}

void SMSUIMainDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_pTableWidgetSms) {
        event->ignore();
        return;
    }
    const QPoint inViewport = m_pTableWidgetSms->viewport()->mapFromGlobal(event->globalPos());
    if (!m_pTableWidgetSms->viewport()->rect().contains(inViewport)) {
        event->ignore();
        return;
    }
    if (!PrepareContextMenu(inViewport))
        return;
    m_pContextMenu->exec(event->globalPos());
}

// ---- move and copy ---------------------------------------------------------------------------

QString SMSUIMainDlg::menuEntryId(const QObject* action) const
{
    for (const MENU::MenuActionItem& entry : m_lstMenuActions)
        if (entry.action == action)
            return entry.id;
    return QString();
}

void SMSUIMainDlg::retranslateContextMenu()
{
    for (const MENU::MenuActionItem& entry : qAsConst(m_lstMenuActions)) {
        if (!entry.action)
            continue;
        if (entry.id == QLatin1String("IDS_TREE_SIM")) {
            entry.action->setText(cardName());
            continue;
        }
        QString text;
        QKeySequence key;
        Change::tr(entry.id, kGroup, text, key);
        entry.action->setText(text);
        // Delete keeps the Delete key whatever the language file gives (as when the menu was built).
        entry.action->setShortcut(entry.id == QLatin1String("IDS_MENU_DELETE") ? QKeySequence(Qt::Key_Delete) : key);
    }
}

// The target is known by the entry's resource id: its text changes with the language.
int SMSUIMainDlg::MoveCopyTargetFor(const QString& targetId) const
{
    const int folder = m_iSelectedTreeNode;
    if (targetId == QLatin1String("IDS_TREE_SIM")) {
        if (folder == NODE_DEVICE_ROOT) return NODE_SIM_ROOT;
        if (folder == NODE_LOCAL_OUTBOX || folder == NODE_DEVICE_OUTBOX || folder == NODE_LOCAL_SENT) return NODE_SIM_OUTBOX;
        if (folder == NODE_LOCAL_INBOX || folder == NODE_DEVICE_INBOX) return NODE_SIM_INBOX;
        return -1;
    }
    if (targetId == QLatin1String("IDS_TREE_DEVICE")) {
        if (folder == NODE_SIM_ROOT) return NODE_DEVICE_ROOT;
        if (folder == NODE_SIM_OUTBOX || folder == NODE_LOCAL_OUTBOX || folder == NODE_LOCAL_SENT) return NODE_DEVICE_OUTBOX;
        if (folder == NODE_SIM_INBOX || folder == NODE_LOCAL_INBOX) return NODE_DEVICE_INBOX;
        return -1;
    }
    if (folder == NODE_SIM_OUTBOX || folder == NODE_DEVICE_OUTBOX) return NODE_LOCAL_OUTBOX;
    if (folder == NODE_SIM_INBOX || folder == NODE_DEVICE_INBOX) return NODE_LOCAL_INBOX;
    if (folder == NODE_SIM_ROOT || folder == NODE_DEVICE_ROOT) return NODE_LOCAL_ROOT;
    return -1;
}

void SMSUIMainDlg::StartMoveCopy(bool copy, bool all, const QString& targetId)
{
    if (copy)
        m_iMoveCopyMode = 3;
    if (!m_pTableWidgetSms || IsWorkerRunning()) {
        m_iMoveCopyMode = 2;
        return;
    }
    const int target = MoveCopyTargetFor(targetId);
    const QList<SMSLocalRecordPtr> records = selectedRecords(all);
    m_iOpTotal = records.size();
    m_iOpDone = 0;
    m_iMoveSuccess = 0;
    m_iMoveFail = 0;
    m_bMemoryFullReported = false;
    QString targetName;
    if (targetId == QLatin1String("IDS_TREE_DEVICE"))
        targetName = Translate(QStringLiteral("IDS_TREE_DEVICE"));
    else if (targetId == QLatin1String("IDS_TREE_SIM"))
        targetName = cardName();
    else
        targetName = Translate(QStringLiteral("IDS_TREE_LOCAL"));
    const bool isCopy = m_iMoveCopyMode == 3;
    const char* textId = isCopy ? (all ? "IDS_STR_COPYALL2" : "IDS_STR_COPY2") : (all ? "IDS_STR_MOVEALL2" : "IDS_STR_MOVE2");
    QString question = Translate(QLatin1String(textId));
    const int placeholder = question.indexOf(QLatin1String("%s"));
    if (placeholder >= 0)
        question.replace(placeholder, 2, targetName);   // the first "%s" only
    const int answer = showMessageBox(QMessageBox::Question, question, true);
    if (answer != QMessageBox::Ok) {
        m_iMoveCopyMode = 2;
        return;
    }
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(records.size());
    progress->ShowAnimationDialog(this, isCopy ? SMSWaitingDlg::Copying : SMSWaitingDlg::Moving);
    m_iLastOperation = isCopy ? SMSThreadUI::WorkCopy : SMSThreadUI::WorkMove;
    m_bRootViewOperation = m_iSelectedTreeNode == NODE_SIM_ROOT || m_iSelectedTreeNode == NODE_DEVICE_ROOT;
    m_SMSThreadInst->setWork(m_iLastOperation, records, m_iCurrentFrom, target, m_iSelectedTreeNode);
    m_SMSThreadInst->start(QThread::InheritPriority);
}

void SMSUIMainDlg::onClickMove() { StartMoveCopy(false, false, menuEntryId(sender())); }

void SMSUIMainDlg::onClickMoveAll() { StartMoveCopy(false, true, menuEntryId(sender())); }

void SMSUIMainDlg::onClickCopy() { StartMoveCopy(true, false, menuEntryId(sender())); }

void SMSUIMainDlg::onClickCopyAll() { StartMoveCopy(true, true, menuEntryId(sender())); }

void SMSUIMainDlg::checkMemoryStatus(bool& full)
{
    if (!m_pStatusLogicObject || !m_SMSThreadInst) {
        full = false;
        return;
    }
    // Only the card memories are limited: the PC's folders live on the computer's disk, and a
    // full PC store refuses the message itself, which then counts as failed.
    int mem = -1;
    switch (m_SMSThreadInst->TargetNode()) {
    case 6: case 7: case 12: mem = MEM_SIM; break;
    case 8: case 9: case 14: mem = MEM_DEVICE; break;
    default: return;
    }
    int capacity = 0, used = 0;
    if (m_pStatusLogicObject->GetMemorySatus(&capacity, &used, mem))
        return;
    if (capacity == 0 && used == 0) {
        SMS_DEBUG("Get MemoryStatus failed(iMaxCap=iSavedMsg=0).");
        full = false;
        return;
    }
    if (capacity <= used) {
        m_iMemoryFullMark = mem;
        full = true;
    }
}

void SMSUIMainDlg::onSmsMoveOrCopy(bool ok, int)
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    if (!progress)
        return;
    ++m_iOpDone;
    if (ok)
        ++m_iMoveSuccess;
    else
        ++m_iMoveFail;
    // Once a full card has been named, the rest of the batch only counts: results the worker
    // sent before it stopped must not replace the text before the window closes.
    if (m_bMemoryFullReported)
        return;
    bool full = false;
    checkMemoryStatus(full);
    if (full) {
        SMSThreadUI::requestCancel();
        updateSIMNVTables();
        if (!ok) {
            m_bMemoryFullReported = true;
            const int target = m_SMSThreadInst ? m_SMSThreadInst->TargetNode() : -1;
            const QString memory = (target == 8 || target == 9 || target == 14) ? Translate(QStringLiteral("IDS_TREE_DEVICE")) : cardName();
            progress->changeLabelEx(Translate(QStringLiteral("IDS_STR_MEMORY_IS_FULL")).replace(QLatin1String("%s"), memory));
            // Nothing is left to cancel; the window closes by itself after its usual pause.
            progress->DisableCancelButton();
            progress->closeWaitingDialog();
        } else {
            progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
        }
        return;
    }
    if (m_iOpDone >= m_iOpTotal) {
        if (m_iMoveFail == m_iOpTotal)
            progress->changeLabel(QStringLiteral("IDS_STR_ALL_FAILED"));
        else if (m_iMoveFail > 0)
            progress->changeLabel(QStringLiteral("IDS_STR_SOME_FAILED"));
        updateSIMNVTables();
        progress->onCompleteChangeButtonText();
        m_iMoveSuccess = 0;
        m_iMoveFail = 0;
    }
    progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
    if (progress->isCancelling() && SMSThreadUI::isCancelRequested()) {
        updateSIMNVTables();
        m_iMoveSuccess = 0;
        m_iMoveFail = 0;
    }
}
