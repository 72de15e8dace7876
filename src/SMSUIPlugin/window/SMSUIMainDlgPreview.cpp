// The preview pane: the folder summary or the selected message, made safe and linked.

#include "window/SMSUIMainDlg.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "window/UITableItem.h"
#include "zsdk.h"

#include <QApplication>
#include <QTextBrowser>

namespace {
void quietSelectAll(QTextBrowser* preview)
{
    preview->setReadOnly(true);
    preview->selectAll();
    preview->clearFocus();
}
}

void SMSUIMainDlg::loadPreviewtextOnTreeNodeClick(const QString& folderText)
{
    if (!m_pTextPreview || !m_pStatusLogicObject || !m_pTableWidgetSms)
        return;
    quietSelectAll(m_pTextPreview);
    const int n = m_pTableWidgetSms->rowCount();
    if (m_bShowSMCount)
        m_pTextPreview->setPlainText(folderText);
    else
        m_pTextPreview->setPlainText(folderText + QLatin1Char('\n') + Translate(QStringLiteral("IDS_STR_SMSCOUNT")) + QString::number(n));
}

void SMSUIMainDlg::showFolderSummary()
{
    if (!m_pTextPreview || !m_pTableWidgetSms || !m_pTreeWidget)
        return;
    m_pTextPreview->clear();
    quietSelectAll(m_pTextPreview);
    m_pCurrentTreeItem = m_pTreeWidget->currentItem();
    if (!m_pCurrentTreeItem)
        return;
    m_strFolderName = m_pCurrentTreeItem->text(0);
    loadPreviewtextOnTreeNodeClick(m_strFolderName);
}

void SMSUIMainDlg::showMessagePreview(const QString& name, const QString& content, const SMSLocalRecordPtr& record, int rows)
{
    if (!record || !m_pTextPreview || !m_pStatusLogicObject)
        return;
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Microsoft Sans Serif"));
    m_pTextPreview->setFont(font);
    int32_t product = 3;
    if (ZSDK_DevSrv_GetProductType(&product) != 0)
        return;
    QString text = Translate(QStringLiteral("IDS_LST_NAME")) + QLatin1Char(':') + name + QStringLiteral("<BR>")
        + Translate(QStringLiteral("IDS_LST_TEL")) + QStringLiteral(": ") + m_strSelectedNumber.toHtmlEscaped() + QStringLiteral("<BR>")
        + Translate(QStringLiteral("IDS_LST_CONTENT")) + QStringLiteral(": ") + QStringLiteral(" <BR>") + content + QStringLiteral(" <BR>")
        + Translate(QStringLiteral("IDS_LST_TIME")) + QStringLiteral(": ") + SMSStatusUILogic::displayTime(record->dtTime);
    if (product == 1) {
        const QString priority = SMSStatusUILogic::getMessagePriority(record->iPriority, m_bMultiModeCard, m_bHideDoubleModeCardNode);
        if (!priority.isEmpty())
            text += QStringLiteral(" <BR>") + Translate(QStringLiteral("IDS_STC_PRIORITY")) + QStringLiteral(": ") + Translate(priority);
    }
    if (rows <= 1)
        m_pTextPreview->setHtml(text);
    m_strPreviewHtml = text;
}

QString SMSUIMainDlg::prepareMessagePreview(const SMSLocalRecordPtr& record)
{
    // The text is the sender's: only the angle brackets are escaped (so nothing in it is taken as
    // markup), then links are made and line breaks kept.
    auto escape = [](QString text) {
        return text.replace(QLatin1Char('<'), QStringLiteral("&lt;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    };
    m_iSelectedMsgId = record->iMsgId;
    m_strSelectedNumber = record->strNumber;
    QString name = escape(record->strNameList);
    m_strPreviewContent = CommonUtils::ParseAndCreateHyperLinks(escape(record->strContent));
    m_strPreviewContent.replace(QLatin1Char('\n'), QStringLiteral("<BR>"));
    if (isRightToLeft()) {
        CommonUtils::ParanthesisCorrection(name);
        CommonUtils::ParanthesisCorrection(m_strPreviewContent);
    }
    return name;
}

void SMSUIMainDlg::updatePreviewPaneForRightClick()
{
    if (!m_pTableWidgetSms)
        return;
    m_strPreviewHtml.clear();
    const QList<QTableWidgetItem*> selected = m_pTableWidgetSms->selectedItems();
    if (selected.isEmpty())
        return;
    const SMSLocalRecordPtr record = UITableItem::RecordOf(selected.first());
    if (!record)
        return;
    const QString name = prepareMessagePreview(record);
    showMessagePreview(name, m_strPreviewContent, record, selected.size() / 3);
    enableToolItem(9001);
}

void SMSUIMainDlg::openLink(QUrl url)
{
    CommonUtils::OpenUrl(url.toString());
    if (!m_pTextPreview)
        return;
    QString html = m_strPreviewHtml;
    if (isRightToLeft())
        CommonUtils::ParanthesisCorrection(html);
    m_pTextPreview->setHtml(html);
}

void SMSUIMainDlg::setReoprtFolderContent()
{
    SMSUITableWidget* table = Table(NODE_LOCAL_REPORT);
    if (!table) {
        SMS_DEBUG("%s: %s: Null Pointer ", SMSLog::now().constData(), __func__);
        return;
    }
    if (!m_pStatusLogicObject)
        return;
    for (int row = 0; row < table->rowCount(); ++row) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
        if (!rec)
            break;
        SMSDeviceRecord* device = nullptr;
        if (ZSDK_SMSSrv_CreateSMSRecord(&device, nullptr, nullptr) != 0 || !device) {
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_CreateSMSRecord returned error");
            continue;
        }
        device->iMsgId = rec->iMsgId;
        if (ZSDK_SMSSrv_GetMsg(device, MEM_PC) != 0) {
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_GetMsg returned error");
        } else if (!device->pContent || device->pContent[0] == 0) {
            QString label;
            // A pending report carries the network's status 0x22, not 0: its result (set when
            // it was read) says pending, so it must not fall through to the failed label.
            if (rec->iStatus == 0 && rec->iReportResult == 0)
                label = Translate(QStringLiteral("IDS_LBL_SUCCESS"));
            else if (rec->iReportResult == 2)
                label = Translate(QStringLiteral("IDS_LBL_PENDING"));
            else if (rec->iStatus != 0)
                label = Translate(QStringLiteral("IDS_LBL_FAILED"));
            if (!label.isEmpty() && label != rec->strContent) {
                SMSLocalRecordPtr relabelled = SMSLocalRecordPtr::create(*rec);
                relabelled->strContent = label;
                m_pStatusLogicObject->InsertSingleSMS(NODE_LOCAL_REPORT, rec->iMsgId, relabelled);
            }
        }
        if (ZSDK_SMSSrv_ReleaseSMSRecord(&device) != 0)
            SMS_LOG("%s: %s: %s: ZSDK_SMSSrv_ReleaseSMSRecord returned error");
    }
    syncSMSTableWithBuffers(NODE_LOCAL_REPORT);
    syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
}
