// User commands of the page. The editor, the background worker with its progress dialog, drag and
// drop, export and the alert windows are built on top of these entry points; until they exist the
// entry points say so in the log and change nothing.

#include "SMSUIMainDlg.h"

#include "CommonUtils.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "SMSLog.h"
#include "SMSStatusUILogic.h"
#include "SMSTypes.h"
#include "SMSUITableWidget.h"
#include "Startup.h"

#include <QContextMenuEvent>
#include <QMessageBox>

#define SMS_NOT_YET() SMS_LOG("%s: %s: %s: not available in this build yet")

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
    if (m_iSelectedTreeNode == NODE_LOCAL_DRAFT && selectedRows(m_pTableWidgetSms) == 1)
        onButtonClickedEditSMS();
}

void SMSUIMainDlg::onDoubleClickedEditSMS() { OnEditKeyPress(); }

void SMSUIMainDlg::OnDeleteKeyPress()
{
    if (selectedRows(m_pTableWidgetSms) > 0)
        onButtonClickDelete();
}

void SMSUIMainDlg::OnCallKeyPress()
{
    if (m_bCallEnabled)
        onButtonClickCallHandler(false);
}

void SMSUIMainDlg::onButtonClickCall() { onButtonClickCallHandler(false); }

void SMSUIMainDlg::onButtonClickCallHandler(bool)
{
    const QString prompt = Translate(QStringLiteral("IDS_STR_PROMPT"));
    const QStringList numbers = m_strSelectedNumber.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (m_strSelectedNumber.trimmed().isEmpty()) {
        CommonUtils::ShowMessage(QMessageBox::Information, this, Translate(QStringLiteral("IDS_STR_CALLNUMBERISNULL")), prompt,
                                 QStringLiteral("IDS_OK"), QString(), QString());
        return;
    }
    if (numbers.size() != 1) {
        CommonUtils::ShowMessage(QMessageBox::Question, this, Translate(QStringLiteral("IDS_STR_CALLNUMBERONLYONE")), prompt,
                                 QStringLiteral("IDS_OK"), QString(), QString());
        return;
    }
    if (!CommonUtils::MakeCall(numbers.first().trimmed(), 0))
        CommonUtils::ShowMessage(QMessageBox::Information, this, Translate(QStringLiteral("IDS_STR_MAKECALLFAILED")), prompt,
                                 QStringLiteral("IDS_OK"), QString(), QString());
}

void SMSUIMainDlg::onButtonClickedSaveNumber()
{
    const QString prompt = Translate(QStringLiteral("IDS_STR_PROMPT"));
    const QStringList numbers = m_strSelectedNumber.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (numbers.isEmpty()) {
        CommonUtils::ShowMessage(QMessageBox::Information, this, Translate(QStringLiteral("IDS_STR_SAVENUMBERISNULL")), prompt,
                                 QStringLiteral("IDS_OK"), QString(), QString());
        return;
    }
    if (numbers.size() != 1) {
        CommonUtils::ShowMessage(QMessageBox::Information, this, Translate(QStringLiteral("IDS_STR_SAVENUMBERONLYONE")), prompt,
                                 QStringLiteral("IDS_OK"), QString(), QString());
        return;
    }
    PluginContainer* container = Startup::GetPluginContainer();
    auto* book = container ? qobject_cast<IAddrBookUIPlugin*>(container->GetPlugin(QLatin1String(HostGuid::AddrBook), 0x1001)) : nullptr;
    if (!book) {
        SMS_LOG_NULLARG();
        return;
    }
    // The phone book tells every listener that it changed; the window re-reads names then.
    m_bNumberSaved = true;
    if (!book->SaveNumber(numbers.first().trimmed(), this))
        m_bNumberSaved = false;
}

void SMSUIMainDlg::ShowNewMessageDialog(QString content, QString sender, QString, int, int ordinary)
{
    if (!m_pStatusLogicObject)
        return;
    sendStatusBarRefresh();
    bool popup = false;
    if (m_pStatusLogicObject->GetSMSSetting(QStringLiteral("VisionAlert"), &popup) != 0 || !popup)
        return;
    const QString text = Translate(QStringLiteral("IDS_STC_NEWMSG")) + QStringLiteral(": ") + sender
        + (ordinary == 0 ? QStringLiteral("\n") + content : QString());
    m_pStatusLogicObject->showNotifyDialog(text);
}

void SMSUIMainDlg::OpenNotifierAction() { ViewSmsInbox(); }

void SMSUIMainDlg::onButtonClickedNewSMS(int mode) { SMS_LOG("%s: %s: %s: mode %d: the editor is not available in this build yet", mode); }
void SMSUIMainDlg::OpenEditorFromOutside(const QString& number, const QString&, QWidget*)
{
    SMS_LOG("%s: %s: %s: number %s: the editor is not available in this build yet", qPrintable(number));
}
void SMSUIMainDlg::onButtonClickDelete() { SMS_NOT_YET(); }
void SMSUIMainDlg::onButtonClickDeleteAll() { SMS_NOT_YET(); }
void SMSUIMainDlg::onClickMove() { SMS_NOT_YET(); }
void SMSUIMainDlg::onClickCopy() { SMS_NOT_YET(); }
void SMSUIMainDlg::onClickMoveAll() { SMS_NOT_YET(); }
void SMSUIMainDlg::onClickCopyAll() { SMS_NOT_YET(); }
void SMSUIMainDlg::onRightClickAction() { SMS_NOT_YET(); }
void SMSUIMainDlg::onClickExportSMS() { SMS_NOT_YET(); }
void SMSUIMainDlg::onFileSelected(QString) { SMS_NOT_YET(); }
void SMSUIMainDlg::onClickExportAllSMS() { SMS_NOT_YET(); }
void SMSUIMainDlg::onButtonClickRecoverMessages() { SMS_NOT_YET(); }
void SMSUIMainDlg::onCloseNewMsgDialog() {}
void SMSUIMainDlg::onClickCloseMemoryFullDialog() {}
void SMSUIMainDlg::onSoundPlayFinish() {}
void SMSUIMainDlg::onSendSmsResult(bool, int) { SMS_NOT_YET(); }
void SMSUIMainDlg::onFinished() {}
void SMSUIMainDlg::onDraggSmsResult(bool) { SMS_NOT_YET(); }
void SMSUIMainDlg::onCloseWaitingDialog() {}
void SMSUIMainDlg::onDeleteMessage(int) { SMS_NOT_YET(); }
void SMSUIMainDlg::onrecoverMessage(bool, int) { SMS_NOT_YET(); }
void SMSUIMainDlg::onSmsMoveOrCopy(bool, int) { SMS_NOT_YET(); }
void SMSUIMainDlg::enableDrop(int) {}
void SMSUIMainDlg::onCloseFlashMsgDialog() {}
void SMSUIMainDlg::onCloseProgressbarDialog(int) {}
void SMSUIMainDlg::OnstopTimerForMemoryFullPopUp() {}
bool SMSUIMainDlg::onMemoryFullPopUPOKClick() { return true; }
void SMSUIMainDlg::ShowMemoryFull() { SMS_LOG("%s: %s: %s: memory full, kind %d", m_iMemoryFullKind); }

void SMSUIMainDlg::contextMenuEvent(QContextMenuEvent* event)
{
    event->ignore();
}
