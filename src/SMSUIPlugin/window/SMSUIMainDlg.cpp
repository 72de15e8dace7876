// Construction, layout, splitters, shortcuts and language of the SMS page.

#include "window/SMSUIMainDlg.h"

#include "Change.h"
#include "alerts/SMSTaskbarNotifier.h"
#include "CommonUtils.h"
#include "store/DetectMemoryDeviceThread.h"
#include "window/GridDelegateLayout.h"
#include "HostGuids.h"
#include "HostInterfaces.h"
#include "store/SMSLog.h"
#include "editor/SMSEditUILogic.h"
#include "settings/SMSSettingUILogic.h"
#include "worker/SMSThreadUI.h"
#include "worker/SMSWaitingDlg.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "store/SmsSettingXMLParse.h"
#include "Startup.h"
#include "zsdk.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include "ExtendDialog.h"
#include <QHBoxLayout>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
SMSUIMainDlg* g_window = nullptr;
const QString kGroup = QStringLiteral("SMSUIPlugin");
}

SMSUIMainDlg* SMSUIMainDlg::Instance()
{
    if (!g_window) {
        g_window = new SMSUIMainDlg;
        SMSStatusUILogic::Instance()->SetWindowState(true, g_window->IsSentItemsBox());
    }
    return g_window;
}

SMSUIMainDlg* SMSUIMainDlg::Existing() { return g_window; }

void SMSUIMainDlg::Release()
{
    if (SMSStatusUILogic* store = SMSStatusUILogic::Existing())
        store->SetWindowState(false, false);
    delete g_window;
    g_window = nullptr;
}

SMSUIMainDlg::SMSUIMainDlg()
{
    m_threadReadSim = new DetectMemoryDeviceThread(MEM_SIM, this);
    m_threadReadDevice = new DetectMemoryDeviceThread(MEM_DEVICE, this);
    SMSConfigMap config;
    SmsSettingXMLParse::GetSettingsFromXML(&config);
    m_bShowSMCount = SmsSettingXMLParse::IsOn(config, QStringLiteral("ShowSMCount"));
    m_bSentItemsBox = SmsSettingXMLParse::IsOn(config, QStringLiteral("SentItemsBox"));
    m_bHideDoubleModeCardNode = CommonUtils::GetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode")) == QLatin1String("true");
}

SMSUIMainDlg::~SMSUIMainDlg()
{
    SMS_LOG("%s: %s: %s entered");
    saveReceptionsForAgent();   // receptions of the last turn are counted too
    for (DetectMemoryDeviceThread* reader : {m_threadReadSim, m_threadReadDevice}) {
        reader->SetStop(true);
        // The reader polls in short steps; it ends within its poll interval.
        if (!CommonUtils::WaitForThreadToStop(reader, 5) && !reader->wait(3000))
            qWarning("SMSUIMainDlg: a memory reader did not stop");
    }
    if (m_SMSThreadInst) {
        SMSThreadUI::requestCancel();
        m_SMSThreadInst->wait();
        delete m_SMSThreadInst;
        SMSThreadUI::clearCancel();
    }
    SMSWaitingDlg::Destroy();
    delete m_pFlashWindow.data();
    delete m_pMemoryFullPopup.data();
    releaseALLSMSTables();
    destroyToolBar();
}

QString SMSUIMainDlg::Translate(const QString& id) const { return Change::tr(id, kGroup); }

bool SMSUIMainDlg::isRightToLeft() const { return QApplication::layoutDirection() == Qt::RightToLeft || layoutDirection() == Qt::RightToLeft; }

bool SMSUIMainDlg::CreateSMSMainLayout()
{
    SMS_LOG("%s: %s: %s called");
    auto* hLayout = new QHBoxLayout;
    m_pMainSplitter = new QSplitter(Qt::Horizontal, this);
    m_pMainSplitter->setObjectName(QStringLiteral("SMSUIPlugin_SplitterMain"));
    auto* vLayout = new QVBoxLayout;
    m_strPluginPath = CommonUtils::GetPluginLibraryPath();

    SMSUIMainInitialization();
    initializeLogic();
    addListenersAndData();
    if (m_pStatusLogicObject)
        m_pStatusLogicObject->PopulateSMSFromSDK(MEM_PC);
    m_bMultiModeCard = false;
    int32_t multi = 0;
    if (ZSDK_DevSrv_GetMultiModeCardStatus(&multi, 0, 0, 0) != 0)
        SMS_LOG("%s: %s: %s : ZSDK_DevSrv_GetMultiModeCardStatus Fail");
    else
        m_bMultiModeCard = multi != 0;
    populateLocalSMSTables();
    loadTreeIcons();
    connect(m_threadReadSim, &DetectMemoryDeviceThread::signalReadSIM, this, &SMSUIMainDlg::OnSMSReadComplete);
    connect(m_threadReadDevice, &DetectMemoryDeviceThread::signalReadSIM, this, &SMSUIMainDlg::OnSMSReadComplete);
    createSMSTreePanel();
    checkDevMemStatus(true);
    if (QTreeWidgetItem* inbox = TreeItem(NODE_LOCAL_INBOX))
        onClickSMSTreeNode(inbox, 1);
    createRightPanel();
    if (PluginContainer* container = Startup::GetPluginContainer())
        m_bAddrBookAvailable = qobject_cast<IAddrBookUIPlugin*>(container->GetPlugin(QLatin1String(HostGuid::AddrBook), 0x1001)) != nullptr;

    bool built = false;
    QTreeWidgetItem* inbox = TreeItem(NODE_LOCAL_INBOX);
    if (m_pRightWidget && inbox) {
        vLayout->setObjectName(QStringLiteral("SMSUIPlugin_VMainLayout"));
        hLayout->setObjectName(QStringLiteral("SMSUIPlugin_HsmsLayout"));
        m_pMainSplitter->addWidget(m_pTreeWidget);
        m_pMainSplitter->addWidget(m_pRightWidget);
        m_pTreeWidget->setTextElideMode(Qt::ElideNone);
        m_pMainSplitter->setSizes({130, 500});
        connect(m_pMainSplitter, &QSplitter::splitterMoved, this, &SMSUIMainDlg::onSplitterMovedForSMSTree);
        hLayout->addWidget(m_pMainSplitter);
        vLayout->addLayout(hLayout);
        vLayout->setContentsMargins(3, 8, 3, 8);
        setLayout(vLayout);
        inbox->setSelected(true);
        m_pTreeWidget->setCurrentItem(inbox);
        built = true;
    } else {
        delete hLayout;
        delete vLayout;
    }
    SetLanguage(true);
    connect(m_pTreeWidget, &QTreeWidget::itemExpanded, this, &SMSUIMainDlg::onTreeNodeExpanded);
    sendStatusBarRefresh();
    if (SMSSettingUILogic* settings = SMSSettingUILogic::Existing()) {
        settings->GetConfigBool(QStringLiteral("Local2Device"), &m_bLocal2Device);
        if (m_pStatusLogicObject)
            m_pStatusLogicObject->SetLocal2Device(m_bLocal2Device);
    }
    for (int node : {0, 1, 2, 3, 4, 5, 15})
        syncSMSTableWithBuffers(node);
    return built;
}

void SMSUIMainDlg::SMSUIMainInitialization()
{
    setObjectName(QStringLiteral("SMSUIPlugin_MainWidget"));
    m_pSplitterTablePreview = new QSplitter(Qt::Vertical, this);
    m_pSplitterTablePreview->setObjectName(QStringLiteral("SMSUIPlugin_SplitSmsWidgetMsgPreview"));
    m_pRightWidget = new QWidget(this);
    m_pRightWidget->setObjectName(QStringLiteral("SMSUIPlugin_PreviewWidget"));
    m_pTreeDelegate = new GridDelegateLayout(this);
    m_pTextPreview = new QTextBrowser(this);
    m_pTextPreview->setObjectName(QStringLiteral("SMSUIPlugin_TextPreview"));
    m_pTextPreview->setOpenLinks(false);
    m_pTextPreview->setOpenExternalLinks(false);
    m_pTreeWidget = new SMSUITreeWidget(this, this);
    m_pTreeWidget->setItemDelegate(m_pTreeDelegate);
    m_pTreeWidget->setObjectName(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    m_pTreeWidget->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_pTreeWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTreeWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pTreeWidget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    using Slot = void (SMSUIMainDlg::*)();
    const Slot handlers[] = {&SMSUIMainDlg::onMenuNew, &SMSUIMainDlg::OnEditKeyPress, &SMSUIMainDlg::OnSendKeyPress,
                          &SMSUIMainDlg::OnReplyKeyPress, &SMSUIMainDlg::OnForwardKeyPress,
                          &SMSUIMainDlg::OnDeleteKeyPress, &SMSUIMainDlg::OnCallKeyPress};
    for (Slot slot : handlers) {
        auto* shortcut = new QShortcut(this);
        connect(shortcut, &QShortcut::activated, this, slot);
        m_listShortcuts << shortcut;
    }

    m_pLocalRoot = new QTreeWidgetItem(m_pTreeWidget);
    m_hashTreeItems.insert(NODE_LOCAL_ROOT, m_pLocalRoot);
    QList<int> folders{NODE_LOCAL_INBOX, NODE_LOCAL_OUTBOX};
    if (m_bSentItemsBox)
        folders << NODE_LOCAL_SENT;
    folders << NODE_LOCAL_DRAFT << NODE_LOCAL_FAVORITE << NODE_LOCAL_TRASH << NODE_LOCAL_REPORT;
    if (CommonUtils::GetSettings(QStringLiteral("CBS"), QStringLiteral("enable")) == QLatin1String("true"))
        folders << NODE_LOCAL_CBS;
    for (int node : folders)
        addTreeNode(m_pLocalRoot, node);
    setShortcutKeys();
}

void SMSUIMainDlg::initializeLogic()
{
    SMSEditUILogic::Instance();
    m_pStatusLogicObject = SMSStatusUILogic::Instance();
    if (!m_SMSThreadInst) {
        m_SMSThreadInst = new SMSThreadUI;
        m_SMSThreadInst->SetSentItemsBox(m_bSentItemsBox);
    }
    SMSSettingUILogic* settings = SMSSettingUILogic::Instance();
    if (!settings->IsConfigLoaded())
        settings->InitSmsXMLConfiguration();
}

void SMSUIMainDlg::addListenersAndData()
{
    if (!m_pStatusLogicObject)
        return;
    SMSStatusUILogic* store = m_pStatusLogicObject;
    SMSThreadUI* worker = m_SMSThreadInst;
    // The progress dialog closes first, then the window reacts to the finished job.
    connect(worker, &QThread::finished, this, &SMSUIMainDlg::onCloseWaitingDialog);
    connect(worker, &SMSThreadUI::smsDragged, this, &SMSUIMainDlg::onDraggSmsResult);
    connect(worker, &QThread::finished, this, &SMSUIMainDlg::onFinished);
    connect(m_pTextPreview, &QTextBrowser::anchorClicked, this, &SMSUIMainDlg::openLink);
    connect(worker, &SMSThreadUI::deleteSignalEvent, this, &SMSUIMainDlg::onDeleteMessage);
    connect(m_pTreeWidget, &QTreeWidget::itemSelectionChanged, this, &SMSUIMainDlg::onSMSTreeItemSelectionChangedSlot);
    connect(worker, &SMSThreadUI::recoverSignalEvent, this, &SMSUIMainDlg::onrecoverMessage);
    connect(worker, &SMSThreadUI::SendSignalEvent, this, &SMSUIMainDlg::onSendSmsResult);
    connect(worker, &SMSThreadUI::sendNotStarted, this, &SMSUIMainDlg::giveUpSend);
    connect(worker, &SMSThreadUI::moveOrCopyEvent, this, &SMSUIMainDlg::onSmsMoveOrCopy);
    connect(worker, &SMSThreadUI::batchNotStored, this, &SMSUIMainDlg::onBatchNotStored);
    connect(store, &SMSStatusUILogic::Network_Status, this, &SMSUIMainDlg::GetPresentNetworkStatus);
    connect(store, &SMSStatusUILogic::NewMsg_Event, this, &SMSUIMainDlg::ShowNewMessageDialog);
    connect(store, &SMSStatusUILogic::DeleteSMSInUiService, this, &SMSUIMainDlg::onDeleteSMS);
    connect(store, &SMSStatusUILogic::SMSSimStatus, this, &SMSUIMainDlg::OnSimStatusChanged);
    connect(store, &SMSStatusUILogic::memoryStatus, this, &SMSUIMainDlg::onSmsStatusChanged);
    connect(store, &SMSStatusUILogic::InitStorageType, this, &SMSUIMainDlg::OnSMSReadComplete);
    connect(store, &SMSStatusUILogic::SMSSentRecord, this, &SMSUIMainDlg::onSMSSentrecordRecieved);
    connect(store, &SMSStatusUILogic::SMSReceiveRecord, this, &SMSUIMainDlg::onSMSReceiverecordRecieved);
    connect(store, &SMSStatusUILogic::progressbarCloseEvent, this, &SMSUIMainDlg::onCloseProgressbarDialog);
    connect(store, &SMSStatusUILogic::PBSIMNVReady, this, &SMSUIMainDlg::OnPBReadComplete);
    connect(m_pSplitterTablePreview, &QSplitter::splitterMoved, this, &SMSUIMainDlg::onSplitterMoved);
    connect(store, &SMSStatusUILogic::CallBackDelete, this, &SMSUIMainDlg::OnCallBackDeleteSms);
}

void SMSUIMainDlg::createRightPanel()
{
    auto* layout = new QVBoxLayout(m_pRightWidget);
    layout->setObjectName(QStringLiteral("SMSUIPlugin_VrightLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pToolBarWidget = new QWidget(m_pRightWidget);
    initToolBar(m_pToolBarWidget);
    m_pToolBarWidget->setObjectName(ToolBarLogic::GetObjectName(kGroup));
    m_pToolBarWidget->setFixedHeight(30);
    disableMessageToolItems();
    onRightClickAction();
    layout->addWidget(m_pToolBarWidget);
    layout->addWidget(m_pSplitterTablePreview, 1);
}

void SMSUIMainDlg::setShortcutKeys()
{
    if (m_listShortcuts.size() != 7)
        return;
    const char* ids[] = {"IDS_MENU_NEW", "IDS_MENU_EDIT", "IDS_MENU_SEND", "IDS_MENU_REPLY", "IDS_MENU_FORWARD", "IDS_MENU_DELETE"};
    for (int i = 0; i < 6; ++i) {
        QString text;
        QKeySequence key;
        Change::tr(QLatin1String(ids[i]), kGroup, text, key);
        m_listShortcuts.at(i)->setKey(key);
    }
    if (CommonUtils::IsPluginAvailable(QLatin1String(HostGuid::CallUI))) {
        QString text;
        QKeySequence key;
        Change::tr(QStringLiteral("IDS_MENU_CALL"), kGroup, text, key);
        m_listShortcuts.at(6)->setKey(key);
    }
    if (!m_pCtrlAShortcut) {
        m_pCtrlAShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), this);
        connect(m_pCtrlAShortcut, &QShortcut::activated, this, &SMSUIMainDlg::onCtrlAPressedOnTable);
    }
}

void SMSUIMainDlg::onSplitterMoved(int, int)
{
    if (m_pSplitterTablePreview)
        m_listPreviewSplitterSizes = m_pSplitterTablePreview->sizes();
}

void SMSUIMainDlg::onSplitterMovedForSMSTree(int, int) { setWidthForSMSTreeWidget(); }

void SMSUIMainDlg::SetLanguage(bool bInit)
{
    SMS_LOG("%s: %s: %s entered");
    const bool rtl = Change::IsRightToLeft();
    setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
    retranslateContextMenu();
    setLocalTreeSmsLanguage();
    setSimTreeSmsLanguage();
    setDeviceTreeSmsLanguage();
    // The tables are rebuilt in the new language; what the user had selected stays selected.
    const QList<int> selectedIds = bInit ? QList<int>() : selectedMessageIds();
    if (!bInit) {
        for (int node = 0; node <= 15; ++node)
            if (node != 10 && node != 11)
                syncSMSTableWithBuffers(node);
        syncSMSTableWithBuffers(15);
    }
    setReoprtFolderContent();
    emit changeLanguageForTitle(m_iEditorMode);
    const QStringList headers{Translate(QStringLiteral("IDS_LST_NAME")) + QLatin1Char('/') + Translate(QStringLiteral("IDS_LST_TEL")),
                              Translate(QStringLiteral("IDS_LST_CONTENT")), Translate(QStringLiteral("IDS_LST_TIME"))};
    QList<QTableWidget*> tables;
    for (SMSUITableWidget* t : qAsConst(m_hashTables))
        tables << t;
    if (auto* empty = findChild<QTableWidget*>(QStringLiteral("Empty Table")))
        tables << empty;
    for (QTableWidget* table : qAsConst(tables)) {
        for (int c = 0; c < 3; ++c)
            if (QTableWidgetItem* header = table->horizontalHeaderItem(c))
                header->setText(headers.at(c));
    }
    setLocalTreeNodeImages();
    setRootNodeImages(m_pCurrentTreeItem);
    ToolBarLogic::ChangeToolBarIconDirection(kGroup, m_listToolItems, rtl, &m_pToolBarLabel);
    setToolBarToolTips();
    if (m_pMemoryFullLabel) {
        // A dual-mode card that hides its second branch names the card as a whole.
        m_pMemoryFullLabel->setText(m_bMultiModeCard && m_bHideDoubleModeCardNode
                                        ? Translate(QStringLiteral("IDS_DualModeCard_STC_FULL"))
                                        : memoryFullText(m_iMemoryFullKind));
        m_pMemoryFullClose->setText(Translate(QStringLiteral("IDS_BTN_CLOSE")));
    }
    // A new-message popup open during the switch speaks the new language too.
    if (SMSTaskbarNotifier* notifier = SMSTaskbarNotifier::Existing())
        if (notifier->Popup())
            notifier->LoadText();
    setLanguageToFlashMessage();
    setShortcutKeys();
    reselectMessages(selectedIds);
    // The tables were rebuilt in the new language: the preview and the tool bar show the
    // selection again.
    if (!bInit)
        onClickTableRow(0);
}

QTreeWidgetItem* SMSUIMainDlg::addTreeNode(QTreeWidgetItem* parent, int node)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_pTreeWidget);
    item->setData(0, Qt::UserRole, node);
    item->setSizeHint(0, QSize(25, 20));
    m_hashTreeItems.insert(node, item);
    return item;
}

void SMSUIMainDlg::SetHostMenuFlag(bool flag)
{
    // The host tells whether voice calls are possible now.
    if (flag == m_bCallAvailable)
        return;
    m_bCallAvailable = flag;
    onClickTableRow(0);
}

void SMSUIMainDlg::setMainFrameShownFlag() { m_bMainFrameShown = true; }
void SMSUIMainDlg::SetRFModeFlag() { m_bRFMode = true; }
void SMSUIMainDlg::ResetRFModeFlag() { m_bRFMode = false; }
void SMSUIMainDlg::SetPhonebookFlag() { m_bPhonebookFlag = true; }
void SMSUIMainDlg::ResetPhonebookFlag() { m_bPhonebookFlag = false; }
void SMSUIMainDlg::SetSMSUpdateFlag() { m_bSMSUpdateFlag = true; }
bool SMSUIMainDlg::isSMSupdateFlagSet() { return m_bSMSUpdateFlag; }
void SMSUIMainDlg::ResetSMSUpdateFlag() { m_bSMSUpdateFlag = false; }
void SMSUIMainDlg::SetNvDeviceFlag() { m_bNvDeviceFlag = true; }
void SMSUIMainDlg::ResetNvDeviceFlag() { m_bNvDeviceFlag = false; }
void SMSUIMainDlg::SetSimMemoryFlag() { m_bSimMemoryFlag = true; }
void SMSUIMainDlg::ReSetSimMemoryFlag() { m_bSimMemoryFlag = false; }
