#include "editor/SMSMessageDlg.h"

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "editor/SMSEditUILogic.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "worker/SMSThreadUI.h"
#include "store/SMSTypes.h"
#include "window/SMSUIMainDlg.h"
#include "worker/SMSWaitingDlg.h"
#include "Startup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
const QString kGroup = QStringLiteral("SMSUIPlugin");
QString tr_(const char* id) { return Change::tr(QLatin1String(id), kGroup); }
}

// ---- frame ----------------------------------------------------------------------------------------

SMSMessageDlg::SMSMessageDlg(SMSUIMainDlg* window, SMSUIMessageEditor* editor)
    : ExtendDialog(window, Qt::WindowFlags(0x08004003), 0, true), m_pEditor(editor)
{
    setObjectName(QStringLiteral("SMSUIPlugin_MessageDialog"));
}

bool SMSMessageDlg::OnCloseRequested() { return m_pEditor->closeEditor(); }

void SMSMessageDlg::keyPressEvent(QKeyEvent* event)
{
    m_pEditor->MoveLineEditCursor(event);
    if (event->isAccepted() && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down))
        return;
    ExtendDialog::keyPressEvent(event);
}

void SMSMessageDlg::closeEvent(QCloseEvent* event)
{
    if (isVisible() && !m_pEditor->closeEditor())
        event->ignore();
    else
        event->accept();
}

// ---- editor -----------------------------------------------------------------------------------------

// The window owns the editor, so an editor still open when the page goes away goes with it.
SMSUIMessageEditor::SMSUIMessageEditor(SMSUIMainDlg* window) : QObject(window), m_pWindow(window) {}

bool SMSUIMessageEditor::networkAvailable() const { return m_pWindow->IsNetworkAvailable() && m_pWindow->CanSendSms(); }

void SMSUIMessageEditor::Open(int mode, int draftId, int sourceFolder, bool addressBookAvailable)
{
    m_pFrame = new SMSMessageDlg(m_pWindow, this);
    m_iMode = mode;
    buildWidgets();
    m_pSendToButton->setEnabled(addressBookAvailable);
    m_pSendButton->setEnabled(false);
    m_pSaveButton->setEnabled(false);
    if (mode == EDIT_MODE_NEW) {
        m_iDraftId = -1;
    } else {
        m_iDraftId = draftId;
        m_iSourceFolder = sourceFolder;
    }
    fillContent(mode);
    m_pFrame->changeSize(380, 240);
    CommonUtils::MoveCentre(m_pFrame);
    m_pFrame->show();
    if (mode == EDIT_MODE_NEW || mode == EDIT_MODE_FORWARD) {
        m_pLineEditNumber->setFocus(Qt::OtherFocusReason);
    } else {
        m_pTextEdit->setFocus(Qt::OtherFocusReason);
        if (mode == EDIT_MODE_SEND || mode == EDIT_MODE_DRAFT)
            m_pTextEdit->moveCursor(QTextCursor::End);
    }
    m_pTextEdit->setTabChangesFocus(true);
    m_pTextEdit->setAcceptRichText(false);
    connect(this, &SMSUIMessageEditor::destroyDialog, m_pWindow, &SMSUIMainDlg::onCloseNewMsgDialog);
}

void SMSUIMessageEditor::buildWidgets()
{
    m_pCentral = new QWidget;
    m_pCentral->setObjectName(QStringLiteral("SMSUIPlugin_WidgetcreateMsg"));
    m_pLayout = new QVBoxLayout;
    m_pLayout->setObjectName(QStringLiteral("SMSUIPlugin_VBoxmainDialogLatout"));
    auto* numberRow = new QHBoxLayout;
    numberRow->setObjectName(QStringLiteral("SMSUIPlugin_HBoxenterNumber"));
    m_pSendToButton = new QPushButton(m_pCentral);
    m_pSendToButton->setObjectName(QStringLiteral("SMSUIPlugin_ButtonSend"));
    // A fixed width, so that the text is elided against the width the button really gets.
    m_pSendToButton->setFixedWidth(110);
    m_pLineEditNumber = new ExtendLineEdit(m_pCentral);
    m_pLineEditNumber->setObjectName(QStringLiteral("SMSUIPlugin_LineEditNumber"));
    m_pLineEditNumber->setContextMenuEnabled(false);
    m_pTextEdit = new QTextEdit(m_pCentral);
    m_pTextEdit->setObjectName(QStringLiteral("SMSUIPlugin_TextEditMsgArea"));
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Microsoft Sans Serif"));
    m_pTextEdit->setFont(font);
    m_pTextEdit->setAcceptDrops(false);
    m_pTextEdit->setContextMenuPolicy(Qt::NoContextMenu);
    m_pTextEdit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setObjectName(QStringLiteral("SMSUIPlugin_HBoxButtonsLayoutCreateMsg"));
    m_pSendButton = new QPushButton(m_pCentral);
    m_pSendButton->setObjectName(QStringLiteral("SMSUIPlugin_ButtonSendMsg"));
    m_pSaveButton = new QPushButton(m_pCentral);
    m_pSaveButton->setObjectName(QStringLiteral("SMSUIPlugin_ButtonSaveMsgButton"));
    m_pCloseButton = new QPushButton(m_pCentral);
    m_pCloseButton->setObjectName(QStringLiteral("SMSUIPlugin_ButtonCloseMsgButton"));
    auto* counterRow = new QHBoxLayout;
    counterRow->setObjectName(QStringLiteral("SMSUIPlugin_HBoxReadChar"));
    m_pCounterLabel = new QLabel(QStringLiteral("0/2048(1)"), m_pCentral);
    m_pCounterLabel->setObjectName(QStringLiteral("SMSUIPlugin_LabelCharCountMsg"));

    numberRow->addWidget(m_pSendToButton);
    numberRow->addWidget(m_pLineEditNumber, 1);
    counterRow->setSpacing(10);
    counterRow->addItem(new QSpacerItem(140, 2, QSizePolicy::Expanding, QSizePolicy::Minimum));
    counterRow->addWidget(m_pCounterLabel);
    buttonRow->addItem(new QSpacerItem(120, 2, QSizePolicy::Expanding, QSizePolicy::Minimum));
    buttonRow->addWidget(m_pSendButton, 0, Qt::AlignRight);
    buttonRow->addWidget(m_pSaveButton, 0, Qt::AlignRight);
    buttonRow->addWidget(m_pCloseButton, 0, Qt::AlignRight);
    m_pLayout->addLayout(numberRow);
    m_pLayout->addLayout(counterRow);
    m_pLayout->addWidget(m_pTextEdit, 1);
    m_pLayout->addLayout(buttonRow);
    m_pCentral->setLayout(m_pLayout);
    m_pFrame->AddMainWidget(m_pCentral);
    setTitle(0);
}

QString SMSUIMessageEditor::titleId() const
{
    switch (m_iMode) {
    case EDIT_MODE_NEW: return QStringLiteral("IDS_TTL_NEW");
    case EDIT_MODE_DRAFT: return QStringLiteral("IDS_TTL_EDIT");
    case EDIT_MODE_SEND: return QStringLiteral("IDS_TTL_SEND");
    case EDIT_MODE_REPLY: return QStringLiteral("IDS_TTL_REPLY");
    case EDIT_MODE_FORWARD: return QStringLiteral("IDS_TTL_FORWARD");
    default: return QString();
    }
}

void SMSUIMessageEditor::setTitle(int)
{
    if (!m_pFrame)
        return;
    const QString id = titleId();
    m_pFrame->setWindowTitle(id.isEmpty() ? QString() : Change::tr(id, kGroup));
    CommonUtils::setElidedTextForWidgetText(m_pSendToButton, tr_("IDS_BTN_SENDTO"), qMax(40, m_pSendToButton->width() - 24));
    m_pSendButton->setText(tr_("IDS_TTL_SEND"));
    m_pSaveButton->setText(tr_("IDS_BTN_SAVE"));
    m_pCloseButton->setText(tr_("IDS_BTN_CLOSE"));
}

void SMSUIMessageEditor::fillContent(int mode)
{
    m_pWindow->SetLoadedMessage(QString(), QString());
    auto numberChanged = [this] { connect(m_pLineEditNumber, &QLineEdit::textChanged, this, &SMSUIMessageEditor::onEnterNumberToSend); };
    switch (mode) {
    case EDIT_MODE_NEW:
        numberChanged();
        connect(m_pLineEditNumber, &QLineEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteNumber);
        connect(m_pSaveButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSaveToDraft);
        connect(m_pTextEdit, &QTextEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteTextArea);
        connect(m_pTextEdit, &QTextEdit::textChanged, this, &SMSUIMessageEditor::onWriteMessage);
        connect(m_pSendButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSendSMS);
        break;
    case EDIT_MODE_DRAFT:
    case EDIT_MODE_SEND:
        filltheContentToDialog(mode);
        onWriteMessage();
        wireButtonsByFolder();
        numberChanged();
        connect(m_pTextEdit, &QTextEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteTextAreaForEdit);
        connect(m_pTextEdit, &QTextEdit::textChanged, this, &SMSUIMessageEditor::onWriteMessage);
        connect(m_pLineEditNumber, &QLineEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteNumberForEditInDraft);
        break;
    case EDIT_MODE_REPLY:
        filltheContentToDialog(mode);
        m_pSendButton->setEnabled(networkAvailable() && !m_pLineEditNumber->text().isEmpty());
        connect(m_pTextEdit, &QTextEdit::textChanged, this, &SMSUIMessageEditor::onWriteMessage);
        connect(m_pSendButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSendSMS);
        connect(m_pTextEdit, &QTextEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteTextArea);
        connect(m_pLineEditNumber, &QLineEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteNumber);
        numberChanged();
        connect(m_pSaveButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSaveToDraft);
        break;
    case EDIT_MODE_FORWARD:
        filltheContentToDialog(mode);
        onWriteMessage();
        m_pSendButton->setEnabled(!m_pLineEditNumber->text().isEmpty() && networkAvailable());
        connect(m_pSendButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSendSMS);
        connect(m_pTextEdit, &QTextEdit::textChanged, this, &SMSUIMessageEditor::onWriteMessage);
        connect(m_pTextEdit, &QTextEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteTextAreaForEdit);
        connect(m_pSaveButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSaveToDraft);
        connect(m_pLineEditNumber, &QLineEdit::cursorPositionChanged, this, &SMSUIMessageEditor::onDeleteNumberForEditInDraft);
        numberChanged();
        break;
    default:
        break;
    }
    connect(m_pSendToButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onClickSendToButton);
    connect(m_pCloseButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onClickCloseEditorDialog);
    connect(m_pWindow, &SMSUIMainDlg::changeLanguageForTitle, this, &SMSUIMessageEditor::setTitle);
    connect(m_pWindow, &SMSUIMainDlg::netStatusChanged, this, &SMSUIMessageEditor::onNetworkStatusChanged);
}

void SMSUIMessageEditor::filltheContentToDialog(int mode)
{
    const SMSLocalRecordPtr selected = m_pWindow->SelectedRecord();
    const QString number = selected ? selected->strNumber : QString();
    const QString content = selected ? selected->strContent : QString();
    switch (mode) {
    case EDIT_MODE_SEND:
        m_strOrigNumber.clear();
        m_strOrigContent.clear();
        if (m_pWindow->IsExternalRequest()) {
            m_pLineEditNumber->setText(m_pWindow->ExternalNumber());
            m_strLastValidNumber = m_pWindow->ExternalNumber();
            m_pWindow->SetExternalContent(m_pTextEdit->toPlainText());
        } else {
            m_pLineEditNumber->setText(number);
            m_strLastValidNumber = number;
            m_pTextEdit->setPlainText(content);
        }
        m_pSendButton->setEnabled(false);
        m_pWindow->SetLoadedMessage(m_pLineEditNumber->text(), m_pTextEdit->toPlainText());
        onWriteMessage();
        break;
    case EDIT_MODE_DRAFT:
        m_strOrigNumber.clear();
        m_strOrigContent.clear();
        m_pLineEditNumber->setText(number);
        m_strLastValidNumber = number;
        m_pTextEdit->setPlainText(content);
        m_pWindow->SetLoadedMessage(number, content);
        m_pSendButton->setEnabled(false);
        break;
    case EDIT_MODE_REPLY:
        m_strOrigNumber.clear();
        m_strOrigContent.clear();
        m_pLineEditNumber->setText(number);
        m_strLastValidNumber = number;
        break;
    case EDIT_MODE_FORWARD:
        m_strOrigNumber = number;
        m_strOrigContent = content;
        m_pTextEdit->setPlainText(content);
        if (m_pWindow->IsExternalRequest()) {
            m_pLineEditNumber->setText(m_pWindow->ExternalNumber());
            m_pWindow->SetExternalContent(m_pTextEdit->toPlainText());
        }
        m_pSendButton->setEnabled(false);
        m_pWindow->SetLoadedMessage(QString(), content);
        onWriteMessage();
        break;
    default:
        break;
    }
    m_pWindow->SetExternalRequest(false);
}

void SMSUIMessageEditor::wireButtonsByFolder()
{
    m_pSendButton->setEnabled(!m_pLineEditNumber->text().isEmpty() && networkAvailable());
    const int folder = m_pWindow->SelectedNode();
    const bool draftView = folder == NODE_LOCAL_DRAFT || folder == NODE_LOCAL_ROOT;
    if (!draftView) {
        connect(m_pSaveButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSaveToDraft);
        connect(m_pSendButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSendSMS);
        return;
    }
    const bool updateInPlace = !m_pWindow->IsExternalRequest() && m_pWindow->CurrentTableRowCount() > 0;
    if (updateInPlace)
        connect(m_pSaveButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onSaveToDraftFromDraft);
    else
        connect(m_pSaveButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onButtonClickedSaveToDraft);
    connect(m_pSendButton, &QPushButton::clicked, this, &SMSUIMessageEditor::onClickSendToButtonFromDraft);
}

void SMSUIMessageEditor::onNetworkStatusChanged(bool available)
{
    if (m_pSendButton && m_pLineEditNumber)
        m_pSendButton->setEnabled(!m_pLineEditNumber->text().isEmpty() && available);
}

void SMSUIMessageEditor::enableDisableSaveButton()
{
    const QString number = m_pLineEditNumber->text();
    const QString text = m_pTextEdit->toPlainText();
    const bool anything = !number.isEmpty() || !text.isEmpty();
    switch (m_iMode) {
    case EDIT_MODE_NEW:
        m_pSaveButton->setEnabled(anything);
        break;
    case EDIT_MODE_SEND:
    case EDIT_MODE_DRAFT:
        m_pSaveButton->setEnabled((text != m_strOrigContent || number != m_strOrigNumber) && anything);
        break;
    case EDIT_MODE_REPLY:
        m_pSaveButton->setEnabled(anything && (number != m_strOrigNumber || !text.isEmpty()));
        break;
    case EDIT_MODE_FORWARD:
        m_pSaveButton->setEnabled(!number.isEmpty() || (text != m_strOrigContent && !text.isEmpty()));
        break;
    default:
        break;
    }
}

void SMSUIMessageEditor::onEnterNumberToSend()
{
    if (!m_pSaveButton || !m_pSendButton || !m_pLineEditNumber || !m_pTextEdit)
        return;
    m_pSendButton->setEnabled(!m_pLineEditNumber->text().isEmpty() && networkAvailable());
    enableDisableSaveButton();
    const int position = m_pLineEditNumber->cursorPosition();
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    if (!store)
        return;
    const QString text = m_pLineEditNumber->text();
    if (store->IsValidNumber(text)) {
        m_strLastValidNumber = text;
        return;
    }
    // A rejected keystroke disappears; the cursor stays where the user was typing.
    const QSignalBlocker block(m_pLineEditNumber);
    m_pLineEditNumber->setText(m_strLastValidNumber);
    m_pLineEditNumber->setCursorPosition(qMax(0, position - 1));
    m_pSendButton->setEnabled(!m_pLineEditNumber->text().isEmpty() && networkAvailable());
    enableDisableSaveButton();
}

void SMSUIMessageEditor::parsingSendMsgLineEditMsg(int* count, QStringList* list) const
{
    const QString text = m_pLineEditNumber ? m_pLineEditNumber->text() : QString();
    const int separators = text.count(QLatin1Char(';'));
    if (count)
        *count = text.endsWith(QLatin1Char(';')) || text.isEmpty() ? separators : separators + 1;
    if (list)
        *list = text.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive);
}

void SMSUIMessageEditor::MoveLineEditCursor(QKeyEvent* event)
{
    if (!event) {
        SMS_LOG_NULLARG();
        return;
    }
    m_iLastKey = event->key();
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        event->accept();
        if (event->key() == Qt::Key_Up)
            m_pLineEditNumber->cursorBackward(false);
        else
            m_pLineEditNumber->cursorForward(false);
    } else {
        event->ignore();
    }
}

void SMSUIMessageEditor::onWriteMessage()
{
    if (!m_pCounterLabel || !m_pSaveButton || !m_pTextEdit || !m_pLineEditNumber)
        return;
    const QString text = m_pTextEdit->toPlainText();
    const int position = m_pTextEdit->textCursor().position();
    if (text.size() <= MaxLength) {
        m_strText = text;
    } else if (position > MaxLength) {
        m_strText = text.left(MaxLength);
        m_pTextEdit->setPlainText(m_strText);
        m_pTextEdit->moveCursor(QTextCursor::End);
    } else {
        // The insertion would pass the limit: undo it as a whole.
        m_pTextEdit->setPlainText(m_strText);
        QTextCursor cursor = m_pTextEdit->textCursor();
        cursor.setPosition(qMin(position, m_strText.size()));
        m_pTextEdit->setTextCursor(cursor);
    }
    int segments = 0;
    if (SMSEditUILogic::Instance()->GetMsgSegmentCount(m_strText, &segments) != 0 || segments == 0)
        segments = 1;
    m_pCounterLabel->setText(QStringLiteral("%1/2048(%2)").arg(m_strText.size()).arg(segments));
    enableDisableSaveButton();
}

void SMSUIMessageEditor::onDeleteNumber()
{
    if (m_pLineEditNumber->text().isEmpty())
        m_pSendButton->setEnabled(false);
    enableDisableSaveButton();
}

void SMSUIMessageEditor::onDeleteTextArea() { onDeleteNumber(); }

void SMSUIMessageEditor::onDeleteNumberForEditInDraft()
{
    enableDisableSaveButton();
    m_pSendButton->setEnabled(!m_pLineEditNumber->text().isEmpty() && networkAvailable());
}

void SMSUIMessageEditor::onDeleteTextAreaForEdit()
{
    if (!m_pWindow->LoadedContent().isEmpty())
        enableDisableSaveButton();
}

bool SMSUIMessageEditor::SaveToDraft()
{
    m_strContent = m_pTextEdit->toPlainText();
    m_strNumber = m_pLineEditNumber->text();
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    bool saved = false;
    if (store && m_pCentral) {
        SMSLocalRecordPtr stored;
        saved = store->SaveMsgToDraft(m_strNumber, m_strContent, &stored) == 0;
        if (saved)
            m_pWindow->ShowSavedDraft(stored);
    }
    m_pFrame->hide();
    m_pWindow->SetExternalRequest(false);
    return saved;
}

void SMSUIMessageEditor::finish()
{
    m_pFrame->hide();
    emit destroyDialog();
}

void SMSUIMessageEditor::onButtonClickedSaveToDraft()
{
    SaveToDraft();
    emit destroyDialog();
}

void SMSUIMessageEditor::onSaveToDraftFromDraft()
{
    m_strContent = m_pTextEdit->toPlainText();
    m_strNumber = m_pLineEditNumber->text();
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    if (m_iDraftId == -1 || !store) {
        onButtonClickedSaveToDraft();
        return;
    }
    SMSLocalRecord* rec = nullptr;
    if (store->GetSMSRecordUsingID(m_iDraftId, NODE_LOCAL_DRAFT, &rec) == 0 && rec) {
        if (rec->iNode == NODE_LOCAL_DRAFT) {
            rec->strNumber = m_strNumber;
            rec->strContent = m_strContent;
            store->UpdateSms(rec);
            m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_DRAFT);
            m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
        } else {
            SaveToDraft();
            if (store->DeleteSMS(rec->iMsgId, rec->iNode, 0))
                SMS_LOG("%s: %s: %s: Deletion Error");
            m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_TRASH);
        }
    }
    delete rec;
    finish();
}

void SMSUIMessageEditor::onClickSendToButtonFromDraft()
{
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    if (!store)
        return;
    store->ForceDeleteSMS(m_iDraftId, NODE_LOCAL_DRAFT, 0);
    onButtonClickedSendSMS();
    m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_DRAFT);
    m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
}

void SMSUIMessageEditor::onButtonClickedSendSMS()
{
    SMSThreadUI* worker = m_pWindow->Worker();
    if (!m_pTextEdit || !m_pLineEditNumber || !worker)
        return;
    QString text = m_pTextEdit->toPlainText();
    if (m_pWindow->IsExternalRequest()) {
        m_pWindow->SetExternalContent(text);
        text = m_pWindow->ExternalContent();
    }
    m_pFrame->hide();
    int recipients = 0;
    parsingSendMsgLineEditMsg(&recipients, nullptr);
    int segments = 0;
    SMSEditUILogic::Instance()->GetMsgSegmentCount(text, &segments);
    const int units = segments == 0 ? recipients : recipients * segments;
    SMSWaitingDlg* progress = SMSWaitingDlg::Instance();
    progress->Prepare(units);
    progress->ShowAnimationDialog(m_pWindow, SMSWaitingDlg::Sending);
    if (units == 1)
        progress->DisableCancelButton();
    else
        progress->EnableCancelButton();
    m_pWindow->PrepareSendCounters(units);
    worker->setSendWork(SMSThreadUI::WorkSend, m_pLineEditNumber->text(), text);
    worker->start(QThread::InheritPriority);
    m_pWindow->SetExternalRequest(false);
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    if (m_pWindow->IsSentItemsBox() && store && m_iDraftId >= 0 && store->GetSingleSMSPtr(NODE_LOCAL_OUTBOX, m_iDraftId)) {
        // Sending an unsent message again leaves no second copy in the Outbox.
        store->RemoveSMSFromMap(NODE_LOCAL_OUTBOX, m_iDraftId, true);
        m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_OUTBOX);
        m_pWindow->syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
        if (store->DeleteSMS(m_iDraftId, NODE_LOCAL_OUTBOX, MEM_PC))
            SMS_DEBUG("%s: %s: Exit delete or remove sms form sdk error.", SMSLog::now().constData(), __func__);
    }
    emit destroyDialog();
}

void SMSUIMessageEditor::onClickSendToButton()
{
    if (m_iLastKey == Qt::Key_Return || m_iLastKey == Qt::Key_Enter) {
        m_iLastKey = 0;   // Enter in the number field does not open the address book
        return;
    }
    QStringList list;
    parsingSendMsgLineEditMsg(nullptr, &list);
    list.removeAll(QString());
    PluginContainer* container = Startup::GetPluginContainer();
    auto* book = container ? qobject_cast<IAddrBookUIPlugin*>(container->GetPlugin(QLatin1String(HostGuid::AddrBook), 0x1001)) : nullptr;
    if (!book) {
        SMS_LOG("%s: %s: %s: pAddrBookPlugin is NULL ");
        return;
    }
    // The book gets the recipients typed so far and answers with every recipient to use.
    book->PickNumbers(ADDRBOOK_PICK_FOR_MESSAGE, ADDRBOOK_PICK_SEVERAL, list);
    m_pLineEditNumber->setText(list.join(QLatin1Char(';')));
}

bool SMSUIMessageEditor::closeEditor()
{
    if (!m_pSaveButton->isEnabled()) {
        finish();
        return true;
    }
    const int answer = CommonUtils::ShowMessageCustomize(QMessageBox::Question, m_pFrame, tr_("IDS_STR_SAVECHANGES"), tr_("IDS_STR_PROMPT"),
                                                         QStringLiteral("IDS_YES"), QStringLiteral("IDS_CANCEL"), QStringLiteral("IDS_NO"),
                                                         true, int(Qt::WindowCloseButtonHint), nullptr, QString(), false);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes || answer == QMessageBox::Ok) {
        if (m_iMode == EDIT_MODE_NEW || m_iSourceFolder != NODE_LOCAL_DRAFT) {
            SaveToDraft();
            finish();
        } else {
            onSaveToDraftFromDraft();
        }
        return true;
    }
    finish();
    return true;
}

void SMSUIMessageEditor::onClickCloseEditorDialog()
{
    m_pWindow->SetExternalRequest(false);
    closeEditor();
}
