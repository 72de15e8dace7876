#include "SMSUIMainDlg.h"

#include "Change.h"
#include "CommonUtils.h"
#include "SmsSettingXMLParse.h"
#include "SMSLog.h"
#include "SMSStatusUILogic.h"
#include "SMSTypes.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
SMSUIMainDlg* g_window = nullptr;
const QString kGroup = QStringLiteral("SMSUIPlugin");

struct LocalFolder {
    int node;
    const char* labelId;
};
const LocalFolder kLocalFolders[] = {
    {NODE_LOCAL_INBOX, "IDS_TREE_LINBOX"},     {NODE_LOCAL_OUTBOX, "IDS_TREE_LOUTBOX"},
    {NODE_LOCAL_SENT, "IDS_TREE_LSENTITEMS"},  {NODE_LOCAL_DRAFT, "IDS_TREE_LDRAFT"},
    {NODE_LOCAL_FAVORITE, "IDS_TREE_LFAVORITE"}, {NODE_LOCAL_TRASH, "IDS_TREE_LTRASH"},
    {NODE_LOCAL_REPORT, "IDS_TREE_LREPORT"},
};
}

SMSUIMainDlg* SMSUIMainDlg::Instance()
{
    if (!g_window)
        g_window = new SMSUIMainDlg;
    return g_window;
}

SMSUIMainDlg* SMSUIMainDlg::Existing() { return g_window; }

void SMSUIMainDlg::Release()
{
    delete g_window;
    g_window = nullptr;
}

SMSUIMainDlg::SMSUIMainDlg()
{
    setObjectName(QStringLiteral("SMSUIPlugin_MainDlg"));
    SMSConfigMap config;
    SmsSettingXMLParse::GetSettingsFromXML(&config);
    m_bShowSMCount = SmsSettingXMLParse::IsOn(config, QStringLiteral("ShowSMCount"));
    m_bSentItemsBox = SmsSettingXMLParse::IsOn(config, QStringLiteral("SentItemsBox"));
    m_bHideDoubleModeCardNode = CommonUtils::GetSettings(QStringLiteral("DualModeCard"), QStringLiteral("HideDoubleModeCardNode")) == QLatin1String("true");
}

SMSUIMainDlg::~SMSUIMainDlg()
{
    SMS_LOG("%s: %s: %s entered");
}

QString SMSUIMainDlg::Translate(const QString& id) const { return Change::tr(id, kGroup); }

bool SMSUIMainDlg::CreateSMSMainLayout()
{
    m_pStatusLogicObject = SMSStatusUILogic::Instance();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pMainSplitter = new QSplitter(Qt::Horizontal, this);
    m_pMainSplitter->setObjectName(QStringLiteral("SMSUIPlugin_SplitterMain"));
    layout->addWidget(m_pMainSplitter);
    createSMSTreePanel();
    createRightPanel();
    m_pMainSplitter->setStretchFactor(1, 1);
    m_pMainSplitter->setSizes({200, 600});
    SetLanguage(true);
    return m_pRightWidget && m_hashTreeItems.contains(NODE_LOCAL_INBOX);
}

void SMSUIMainDlg::createSMSTreePanel()
{
    m_pTreeWidget = new QTreeWidget(m_pMainSplitter);
    m_pTreeWidget->setObjectName(QStringLiteral("SMSUIPlugin_TreeSMSWidget"));
    m_pTreeWidget->setHeaderHidden(true);
    m_pLocalRoot = new QTreeWidgetItem(m_pTreeWidget);
    m_pLocalRoot->setData(0, Qt::UserRole, int(NODE_LOCAL_ROOT));
    m_hashTreeItems.insert(NODE_LOCAL_ROOT, m_pLocalRoot);
    for (const LocalFolder& f : kLocalFolders) {
        auto* item = new QTreeWidgetItem(m_pLocalRoot);
        item->setData(0, Qt::UserRole, f.node);
        m_hashTreeItems.insert(f.node, item);
    }
    m_pLocalRoot->setExpanded(true);
    m_pTreeWidget->setCurrentItem(m_hashTreeItems.value(NODE_LOCAL_INBOX));
}

void SMSUIMainDlg::createRightPanel()
{
    m_pRightWidget = new QWidget(m_pMainSplitter);
    m_pRightWidget->setObjectName(QStringLiteral("SMSUIPlugin_PreviewWidget"));
    auto* layout = new QVBoxLayout(m_pRightWidget);
    layout->setObjectName(QStringLiteral("SMSUIPlugin_VrightLayout"));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_pSplitterTablePreview = new QSplitter(Qt::Vertical, m_pRightWidget);
    m_pSplitterTablePreview->setObjectName(QStringLiteral("SMSUIPlugin_SplitSmsWidgetMsgPreview"));
    m_pTableWidgetSms = new QTableWidget(0, 3, m_pSplitterTablePreview);
    m_pTableWidgetSms->setObjectName(QStringLiteral("SMSUIPlugin_TableWidget"));
    m_pTableWidgetSms->horizontalHeader()->setStretchLastSection(true);
    m_pTableWidgetSms->verticalHeader()->hide();
    m_pTextPreview = new QTextBrowser(m_pSplitterTablePreview);
    m_pTextPreview->setObjectName(QStringLiteral("SMSUIPlugin_TextPreview"));
    m_pTextPreview->setOpenLinks(false);
    m_pSplitterTablePreview->setSizes(m_listPreviewSplitterSizes);
    layout->addWidget(m_pSplitterTablePreview);
}

void SMSUIMainDlg::retranslateTree()
{
    if (m_pLocalRoot)
        m_pLocalRoot->setText(0, Translate(QStringLiteral("IDS_TREE_LOCAL")));
    for (const LocalFolder& f : kLocalFolders)
        if (QTreeWidgetItem* item = m_hashTreeItems.value(f.node))
            item->setText(0, Translate(QLatin1String(f.labelId)));
}

void SMSUIMainDlg::SetLanguage(bool bInit)
{
    SMS_LOG("%s: %s: %s entered");
    setLayoutDirection(Change::IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    emit changeLanguageForTitle(0);
    retranslateTree();
    if (m_pTableWidgetSms) {
        m_pTableWidgetSms->setHorizontalHeaderLabels({Translate(QStringLiteral("IDS_LST_NAME")),
                                                      Translate(QStringLiteral("IDS_LST_CONTENT")),
                                                      Translate(QStringLiteral("IDS_LST_TIME"))});
    }
    if (m_pTextPreview && !bInit)
        m_pTextPreview->clear();
}

QWidget* SMSUIMainDlg::CurrentTable() const { return m_pTableWidgetSms; }

void SMSUIMainDlg::syncSMSTableWithBuffers(int node)
{
    SMS_LOG("%s: %s: %s node %d", node);
}

void SMSUIMainDlg::OnSimStatusChanged(bool available)
{
    SMS_LOG("%s: %s: %s available %d", int(available));
    if (available == m_bSimAvailable) {
        qDebug("SIM States are not changed");
        return;
    }
    m_bSimAvailable = available;
    if (!available)
        m_bSimMemoryFlag = false;
}

bool SMSUIMainDlg::checkDevMemStatus(bool initial)
{
    SMS_LOG("%s: %s: %s initial %d", int(initial));
    return false;
}

void SMSUIMainDlg::HideCardRoots()
{
    for (int node : {NODE_SIM_ROOT, NODE_DEVICE_ROOT})
        if (QTreeWidgetItem* item = m_hashTreeItems.value(node))
            item->setHidden(true);
    m_bSimMemoryFlag = false;
    m_bNvDeviceFlag = false;
}

void SMSUIMainDlg::OpenEditorFromOutside(const QString& number, const QString&, QWidget*)
{
    SMS_LOG("%s: %s: %s number %s", qPrintable(number));
}

void SMSUIMainDlg::OpenNotifierAction() {}

void SMSUIMainDlg::SetHostMenuFlag(bool flag)
{
    if (flag == m_bHostMenuFlag)
        return;
    m_bHostMenuFlag = flag;
    onClickTableRow(0);
}

void SMSUIMainDlg::GetPresentNetworkStatus(bool bDeviceStatus)
{
    m_bNetworkAvailable = bDeviceStatus;
}

void SMSUIMainDlg::onClickTableRow(int) {}
