// User commands of the page. The editor, the background worker with its progress dialog, drag and
// drop, export and the alert windows are built on top of these entry points; until they exist the
// entry points say so in the log and change nothing.

#include "window/SMSUIMainDlg.h"

#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "editor/SMSMessageDlg.h"
#include "worker/SMSThreadUI.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "worker/SMSWaitingDlg.h"
#include "window/UITableItem.h"
#include "ExtendLineEdit.h"
#include "Startup.h"

#include <QContextMenuEvent>
#include <QTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <algorithm>


namespace {
int selectedRows(QTableWidget* table) { return table ? table->selectedItems().size() / 3 : 0; }
}

void SMSUIMainDlg::onMenuNew() { onButtonClickedNewSMS(EDIT_MODE_NEW); }
void SMSUIMainDlg::onMenuSend() { onButtonClickedNewSMS(EDIT_MODE_SEND); }
void SMSUIMainDlg::onMenuReply() { onButtonClickedNewSMS(EDIT_MODE_REPLY); }
void SMSUIMainDlg::onMenuForward() { onButtonClickedNewSMS(EDIT_MODE_FORWARD); }
void SMSUIMainDlg::onButtonClickedEditSMS() { onButtonClickedNewSMS(EDIT_MODE_DRAFT); }

void SMSUIMainDlg::OnSendKeyPress()
{
    if (m_bSendEnabled)
        onMenuSend();
}

void SMSUIMainDlg::OnReplyKeyPress()
{
    if (m_bReplyEnabled)
        onMenuReply();
}

void SMSUIMainDlg::OnForwardKeyPress()
{
    if (m_bForwardEnabled)
        onMenuForward();
}

void SMSUIMainDlg::OnEditKeyPress()
{
    if (m_iSelectedTreeNode != NODE_LOCAL_DRAFT)
        return;
    const SMSLocalRecordPtr first = SelectedRecord();
    if (first && first->iNode == NODE_LOCAL_DRAFT)
        onButtonClickedEditSMS();
}

void SMSUIMainDlg::onDoubleClickedEditSMS()
{
    // The Local view lists drafts among the other messages; only those open for editing.
    const SMSLocalRecordPtr first = SelectedRecord();
    const bool draft = m_iSelectedTreeNode == NODE_LOCAL_DRAFT
        || (m_iSelectedTreeNode == NODE_LOCAL_ROOT && first && first->iNode == NODE_LOCAL_DRAFT);
    if (!draft)
        return;
    onButtonClickedEditSMS();
    if (m_pEditor && m_pEditor->SaveButton())
        m_pEditor->SaveButton()->setEnabled(false);
}

void SMSUIMainDlg::OnDeleteKeyPress()
{
    if (selectedRows(m_pTableWidgetSms) > 0)
        onButtonClickDelete();
}

void SMSUIMainDlg::OnCallKeyPress()
{
    if (m_bCallEnabled)
        onButtonClickCallHandler(true);
}

void SMSUIMainDlg::onButtonClickCall() { onButtonClickCallHandler(false); }

int SMSUIMainDlg::showMessageBox(int icon, const QString& text, bool question, QWidget* parent,
                                 const QString& captionId, int flags)
{
    // Framed as a window with only a close button; kept while open so that losing the SIM can
    // take away a question about messages that are no longer there.
    if (!flags)
        flags = Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint;
    const QString caption = Translate(captionId.isEmpty() ? QStringLiteral("IDS_STR_PROMPT") : captionId);
    const int answer = CommonUtils::ShowMessage(icon, parent ? parent : this, text, caption,
                                                QStringLiteral("IDS_OK"), question ? QStringLiteral("IDS_CANCEL") : QString(),
                                                QString(), true, flags, &m_pMsgBox);
    m_pMsgBox = nullptr;
    return answer;
}

void SMSUIMainDlg::onButtonClickCallHandler(bool fromShortcut)
{
    // The key belongs to the message list: pressed while the tree or the search box has the
    // focus it must not start a call.
    if (fromShortcut && m_pTableWidgetSms && !m_pTableWidgetSms->hasFocus())
        return;
    QString number = m_strSelectedNumber.trimmed();
    if (number.isEmpty()) {
        showMessageBox(QMessageBox::Question, Translate(QStringLiteral("IDS_STR_CALLNUMBERISNULL")));
        return;
    }
    // Each separator starts another number, except one that merely ends the text.
    const QChar separator(QLatin1Char(';'));
    const bool trailing = number.endsWith(separator);
    if (number.count(separator) + (trailing ? 0 : 1) != 1) {
        showMessageBox(QMessageBox::Question, Translate(QStringLiteral("IDS_STR_CALLNUMBERONLYONE")));
        return;
    }
    if (trailing)
        number.chop(1);
    if (!CommonUtils::MakeCall(number.trimmed(), 0))
        showMessageBox(QMessageBox::Information, Translate(QStringLiteral("IDS_STR_MAKECALLFAILED")));
}

IAddrBookUIPlugin* SMSUIMainDlg::GetAddrBookPlugin()
{
    PluginContainer* container = Startup::GetPluginContainer();
    if (!container) {
        SMS_LOG("%s: %s: %s: Plugin container is null");
        return nullptr;
    }
    return qobject_cast<IAddrBookUIPlugin*>(container->GetPlugin(QLatin1String(HostGuid::AddrBook), 0x1001));
}

void SMSUIMainDlg::onButtonClickedSaveNumber()
{
    IAddrBookUIPlugin* book = GetAddrBookPlugin();
    if (!book)
        return;
    const QString number = m_strSelectedNumber.trimmed();
    if (number.isEmpty()) {
        showMessageBox(QMessageBox::Question, Translate(QStringLiteral("IDS_STR_SAVENUMBERISNULL")));
        return;
    }
    if (number.contains(QLatin1Char(';'))) {
        showMessageBox(QMessageBox::Warning, Translate(QStringLiteral("IDS_STR_SAVENUMBERONLYONE")));
        return;
    }
    // The phone book tells every listener that it changed; the flag makes the page re-read names.
    m_bSMSUpdateFlag = true;
    if (!book->SaveNumber(number, this))
        m_bSMSUpdateFlag = false;
}


// ---- the message editor ----------------------------------------------------------------------

SMSLocalRecordPtr SMSUIMainDlg::SelectedRecord() const
{
    if (!m_pTableWidgetSms)
        return SMSLocalRecordPtr();
    const QList<QTableWidgetItem*> selected = m_pTableWidgetSms->selectedItems();
    return selected.isEmpty() ? SMSLocalRecordPtr() : UITableItem::RecordOf(selected.first());
}

SMSUIMessageEditor* SMSUIMainDlg::Editor() const { return m_pEditor; }

int SMSUIMainDlg::CurrentTableRowCount() const { return m_pTableWidgetSms ? m_pTableWidgetSms->rowCount() : 0; }

void SMSUIMainDlg::onButtonClickedNewSMS(int mode)
{
    // The outside request's mode number is the Send command's own, so only the flag set by
    // OpenEditorFromOutside tells the two apart.
    const bool fromOutside = m_bExternalRequest;
    const int editorMode = mode == EDIT_MODE_FROM_OUTSIDE ? EDIT_MODE_SEND : mode;
    m_iEditorMode = editorMode;
    if (m_pStatusLogicObject)
        m_bRFMode = m_pStatusLogicObject->IsRFEnabled();
    auto* editor = new SMSUIMessageEditor(this);
    m_pEditor = editor;
    const SMSLocalRecordPtr selected = SelectedRecord();
    const int draftId = editorMode == EDIT_MODE_NEW || fromOutside || !selected ? -1 : selected->iMsgId;
    editor->Open(editorMode, draftId, m_iSelectedTreeNode, m_bAddrBookAvailable);
    if (fromOutside && m_pExternalParent && CommonUtils::IsMiniMode()) {
        editor->Frame()->setParent(m_pExternalParent, editor->Frame()->windowFlags());
        editor->Frame()->show();
    }
}

void SMSUIMainDlg::OpenEditorFromOutside(const QString& number, const QString& content, QWidget* parent)
{
    m_bExternalRequest = true;
    m_strExternalNumber = number;
    m_strExternalContent = content;
    const int folder = m_iSelectedTreeNode;
    m_iSelectedTreeNode = -1;
    m_pExternalParent = parent;
    onButtonClickedNewSMS(EDIT_MODE_FROM_OUTSIDE);
    m_iSelectedTreeNode = folder;
    m_pExternalParent = nullptr;
}

void SMSUIMainDlg::onCloseNewMsgDialog()
{
    auto* editor = qobject_cast<SMSUIMessageEditor*>(sender());
    if (!editor) {
        SMS_LOG("%s: %s: %s: the sender is not an editor");
        return;
    }
    if (editor->Frame())
        editor->Frame()->deleteLater();
    editor->deleteLater();
}

void SMSUIMainDlg::ShowSavedDraft(const SMSLocalRecordPtr& draft)
{
    if (!m_pTreeWidget)
        return;
    if (m_bTableFiltered && m_iSelectedTreeNode != NODE_LOCAL_DRAFT)
        onTextEdited(QString());
    m_pTreeWidget->clearSelection();
    m_bTableFiltered = false;
    addRecToSMSTable(NODE_LOCAL_ROOT, draft);
    syncSMSTableWithBuffers(NODE_LOCAL_DRAFT);
    if (QTreeWidgetItem* drafts = TreeItem(NODE_LOCAL_DRAFT)) {
        drafts->setSelected(true);
        m_pTreeWidget->setCurrentItem(drafts);
        m_strFolderName = drafts->text(0);
    }
}

void SMSUIMainDlg::PrepareSendCounters(int units)
{
    m_iOpTotal = units;
    m_iOpDone = 0;
    m_iSendSuccess = 0;
    m_iSendFail = 0;
    if (!m_pSendWatchdog) {
        m_pSendWatchdog = new QTimer(this);
        m_pSendWatchdog->setSingleShot(true);
        connect(m_pSendWatchdog, &QTimer::timeout, this, [this] {
            SMS_WARN("%s: %s: %s: no send result for %d ms; the batch ends as failed", m_iSendTimeoutMs);
            giveUpSend();
        });
    }
    m_pSendWatchdog->start(m_iSendTimeoutMs);
}

void SMSUIMainDlg::giveUpSend()
{
    if (m_pSendWatchdog)
        m_pSendWatchdog->stop();
    if (m_iOpDone < m_iOpTotal) {
        m_iSendFail += m_iOpTotal - m_iOpDone;
        m_iOpDone = m_iOpTotal;
        if (SMSWaitingDlg* progress = SMSWaitingDlg::Existing())
            progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
    }
    onCloseProgressbarDialog(1);
}

void SMSUIMainDlg::onSendSmsResult(bool ok, int)
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    if (!progress) {
        SMS_LOG("%s: %s: %s: m_pSMSWaitingDlgInstance is NULL");
        return;
    }
    ++m_iOpDone;
    if (ok)
        ++m_iSendSuccess;
    else
        ++m_iSendFail;
    progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
    if (progress->isCancelling()) {
        // The user cancelled: the batch ends here, the editors may send again.
        progress->clearCancelling();
        if (m_pSendWatchdog)
            m_pSendWatchdog->stop();
        enableEditorSendButtons(m_bCanSendSms && m_bNetworkAvailable);
        progress->CloseNow();
        return;
    }
    if (m_pSendWatchdog && m_pSendWatchdog->isActive())
        m_pSendWatchdog->start(m_iSendTimeoutMs);
}

void SMSUIMainDlg::onCloseProgressbarDialog(int)
{
    if (m_pSendWatchdog)
        m_pSendWatchdog->stop();
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    if (!progress)
        return;
    progress->onCompleteChangeButtonText();
    if (m_iSendSuccess + m_iSendFail > 0) {
        if (m_iSendSuccess == m_iOpTotal)
            progress->changeLabel(QStringLiteral("IDS_STC_ALLSUCCESS"));
        else if (m_iSendFail == m_iOpTotal)
            progress->changeLabel(QStringLiteral("IDS_STC_ALLFAILED"));
        else
            progress->changeLabel(QStringLiteral("IDS_STC_SOMEFAILED"));
    }
    if (m_iSendSuccess + m_iSendFail > 0) {
        SaveSMSInfoForAgent(QStringLiteral("SMS01"), QStringLiteral("SMSisUsing"), QStringLiteral("1"));
        SaveSMSInfoForAgent(QStringLiteral("SMS02"), QStringLiteral("SMSSent"), QString::number(m_iSendSuccess + m_iSendFail));
    }
    m_iSendSuccess = 0;
    m_iSendFail = 0;
    // A cancelled batch closed its window already; a close scheduled now would hit the next one.
    if (progress->Dialog() && progress->Dialog()->isVisible())
        progress->closeWaitingDialog();
}

// ---- deleting and recovering ------------------------------------------------------------------

QList<SMSLocalRecordPtr> SMSUIMainDlg::selectedRecords(bool allRows)
{
    QList<SMSLocalRecordPtr> records;
    m_bUnreadAffected = false;
    if (!m_pTableWidgetSms)
        return records;
    QSet<int> rows;
    if (allRows) {
        for (int row = 0; row < m_pTableWidgetSms->rowCount(); ++row)
            rows.insert(row);
    } else {
        for (QTableWidgetItem* item : m_pTableWidgetSms->selectedItems())
            rows.insert(item->row());
    }
    QList<int> ordered = rows.values();
    std::sort(ordered.begin(), ordered.end());
    for (int row : qAsConst(ordered)) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(m_pTableWidgetSms->item(row, 0));
        if (!rec)
            continue;   // a row without a valid record is skipped
        records << rec;
        if (rec->iReadFlag == 1)
            m_bUnreadAffected = true;
    }
    return records;
}

void SMSUIMainDlg::startBatch(int kind, int progressKind, const QList<SMSLocalRecordPtr>& records, int target)
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(records.size());
    m_iOpTotal = records.size();
    m_iOpDone = 0;
    m_listHandledIndexes.clear();
    progress->ShowAnimationDialog(this, progressKind);
    m_iLastOperation = kind;
    m_SMSThreadInst->setWork(kind, records, m_iCurrentFrom, target, m_iSelectedTreeNode);
    m_SMSThreadInst->start(QThread::InheritPriority);
}

void SMSUIMainDlg::onButtonClickDelete()
{
    const int answer = showMessageBox(QMessageBox::Question, Translate(QStringLiteral("IDS_STR_DELETE")), true);
    if (answer != QMessageBox::Ok || !m_pTableWidgetSms || IsWorkerRunning())
        return;
    startBatch(SMSThreadUI::WorkDelete, SMSWaitingDlg::Deleting, selectedRecords(false), NODE_LOCAL_TRASH);
}

void SMSUIMainDlg::onButtonClickDeleteAll()
{
    const int answer = showMessageBox(QMessageBox::Question, Translate(QStringLiteral("IDS_STR_CLEARALL")), true);
    if (answer != QMessageBox::Ok || !m_pTableWidgetSms || IsWorkerRunning())
        return;
    startBatch(SMSThreadUI::WorkDelete, SMSWaitingDlg::Deleting, selectedRecords(true), NODE_LOCAL_TRASH);
}

void SMSUIMainDlg::onButtonClickRecoverMessages()
{
    if (!m_pTableWidgetSms || IsWorkerRunning())
        return;
    startBatch(SMSThreadUI::WorkRecover, SMSWaitingDlg::DragMoving, selectedRecords(false), NODE_LOCAL_TRASH);
}

void SMSUIMainDlg::onDeleteMessage(int index)
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    if (!progress || !m_pStatusLogicObject || !m_pTextPreview)
        return;
    m_listHandledIndexes << index;
    ++m_iOpDone;
    progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
    if (m_iOpDone >= m_iOpTotal) {
        progress->onCompleteChangeButtonText();
        m_iOpTotal = 0;
        m_iOpDone = 0;
        showFolderSummary();
        disableToolItem(9001);
    }
}

void SMSUIMainDlg::onrecoverMessage(bool ok, int index)
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    if (!progress)
        return;
    ++m_iOpDone;
    if (!ok) {
        if (m_iOpDone >= m_iOpTotal && m_iSelectedTreeNode != NODE_LOCAL_DRAFT)
            progress->changeLabel(QStringLiteral("IDS_STR_SOME_FAILED"));
        progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
        return;
    }
    progress->updateProgressBarLabel(m_iOpDone, m_iOpTotal);
    m_listHandledIndexes << index;
    if (m_iOpDone >= m_iOpTotal)
        progress->onCompleteChangeButtonText();
}

void SMSUIMainDlg::onBatchNotStored()
{
    // Every record was reported done as it went, but the device kept none of them: the buffers
    // are read again from what the device holds, and the job is named a failure.
    m_bBatchNotStored = true;
    if (m_pStatusLogicObject && m_SMSThreadInst) {
        QList<int> memories;
        for (int node : {m_SMSThreadInst->SourceNode(), m_SMSThreadInst->TargetNode()}) {
            const int memory = SMSStatusUILogic::GetMemPosition(node);
            if (memory != MEM_INVALID && !memories.contains(memory))
                memories << memory;
        }
        // A storage that cannot be read just now keeps its buffers (the store logs why).
        for (int memory : qAsConst(memories))
            m_pStatusLogicObject->ReloadSmsBuffer(memory);
    }
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    if (progress && !m_bMemoryFullReported)
        progress->changeLabel(QStringLiteral("IDS_STR_ALL_FAILED"));
}

void SMSUIMainDlg::onCloseWaitingDialog()
{
    SMSWaitingDlg* progress = SMSWaitingDlg::Existing();
    // A send is finished only when the device has reported every part, long after the worker
    // handed the message over.
    if (!progress || !progress->Dialog() || !progress->Dialog()->isVisible() || progress->Kind() == SMSWaitingDlg::Sending)
        return;
    if (progress->isClosing())
        return;                 // an outcome is on show until the window closes by itself
    if (progress->Steps() < progress->Maximum())
        progress->CloseNow();   // cancelled: the rest will not come
    else
        progress->closeWaitingDialog();
}

void SMSUIMainDlg::onFinished()
{
    m_iMoveCopyMode = 2;
    m_iDraggedFlag = 0;
    m_listHandledIndexes.clear();
    if (m_bUnreadAffected)
        sendStatusBarRefresh();
    handleOperationOnComplete();
    if (m_bBatchNotStored) {
        m_bBatchNotStored = false;
        for (int node : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15})
            syncSMSTableWithBuffers(node);
        sendStatusBarRefresh();
    }
    // The tool bar and the preview follow what is still selected: nothing after a delete or a
    // move that went through, the same messages after one that failed. The worker has announced
    // its end; the row-click handling waits for it to be over.
    if (m_SMSThreadInst)
        m_SMSThreadInst->wait(1000);
    onClickTableRow(0);
}

void SMSUIMainDlg::handleOperationOnComplete()
{
    if (!m_pStatusLogicObject) {
        SMS_LOG("%s: %s: %s : wrong Input");
        return;
    }
    if (!m_pTreeWidget)
        return;
    if (!m_pTreeWidget->currentItem()) {
        if (QTreeWidgetItem* inbox = TreeItem(NODE_LOCAL_INBOX)) {
            inbox->setSelected(true);
            m_pTreeWidget->setCurrentItem(inbox);
        }
    }
    // The worker knows what it did last; a send is started by the editor, not by the window.
    const int operation = m_SMSThreadInst ? m_SMSThreadInst->WorkKind() : m_iLastOperation;
    switch (operation) {
    case SMSThreadUI::WorkSend:
        // The worker only handed the message over: the stored copy reaches its table through
        // its own device event, and the send results close the progress window.
        break;
    case SMSThreadUI::WorkDelete:
        handleDelOperationOnComplete();
        break;
    case SMSThreadUI::WorkRecover:
        for (int node : {0, 1, 2, 3, 4, 5, 15, 13})
            syncSMSTableWithBuffers(node);
        break;
    case SMSThreadUI::WorkMove:
    case SMSThreadUI::WorkCopy:
    case SMSThreadUI::WorkDragMove:
    case SMSThreadUI::WorkDragCopy: {
        // Both ends of a move change; a copy changes only where it went.
        const bool move = operation == SMSThreadUI::WorkMove || operation == SMSThreadUI::WorkDragMove;
        QList<int> folders{m_pStatusLogicObject->LastToNode()};
        if (move)
            folders << m_pStatusLogicObject->LastFromNode();
        // A job aimed at a whole branch sends each message to its own folder there; the last
        // one alone does not say which folders received messages.
        switch (m_SMSThreadInst ? m_SMSThreadInst->TargetNode() : -1) {
        case NODE_LOCAL_ROOT: folders << NODE_LOCAL_INBOX << NODE_LOCAL_OUTBOX; break;
        case NODE_SIM_ROOT: folders << NODE_SIM_INBOX << NODE_SIM_OUTBOX; break;
        case NODE_DEVICE_ROOT: folders << NODE_DEVICE_INBOX << NODE_DEVICE_OUTBOX; break;
        default: break;
        }
        for (int folder : qAsConst(folders)) {
            syncSMSTableWithBuffers(folder);
            syncSMSTableWithBuffers(SMSStatusUILogic::GetParentPos(folder));
            if (folder == NODE_LOCAL_OUTBOX)
                syncSMSTableWithBuffers(NODE_LOCAL_SENT);
        }
        if (move) {
            m_iMoveSuccess = 0;
            m_iMoveFail = 0;
        }
        // After a drop the highlighted folder is the one to show.
        if (operation == SMSThreadUI::WorkDragMove || operation == SMSThreadUI::WorkDragCopy)
            onClickSMSTreeNode(m_pTreeWidget->currentItem(), 0);
        const int to = m_pStatusLogicObject->LastToNode();
        if (to == 1 || to == 7 || to == 9)
            sendStatusBarRefresh();
        break;
    }
    default:
        SMS_LOG("%s: %s: %s :ERROR : in default ");
        break;
    }
    if (m_pSearchLineEdit && !m_pSearchLineEdit->text().isEmpty())
        onTextEdited(m_pSearchLineEdit->text());
}

void SMSUIMainDlg::handleDelOperationOnComplete()
{
    QList<int> nodes;
    switch (m_iSelectedTreeNode) {
    case 0: case 1: case 2: case 3: case 5: case 10: case 15: nodes = {m_iSelectedTreeNode, 4, 13}; break;
    case 4: nodes = {4, 13}; break;
    case 6: case 7: nodes = {m_iSelectedTreeNode, 12}; break;
    case 8: case 9: nodes = {m_iSelectedTreeNode, 14}; break;
    case 12: nodes = {12, 6, 7}; break;
    case 13:
        nodes = {0, 1, 2, 3, 4, 5, 15, 13};
        if (CommonUtils::GetSettings(QStringLiteral("CBS"), QStringLiteral("enable")) == QLatin1String("true"))
            nodes << 10;
        break;
    case 14: nodes = {14, 8, 9}; break;
    default:
        SMS_LOG("%s: %s: %s : Entered default ERROR ");
        return;
    }
    for (int node : qAsConst(nodes))
        syncSMSTableWithBuffers(node);
}

