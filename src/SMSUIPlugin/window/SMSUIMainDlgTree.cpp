// The folder tree: nodes, labels, counts, icons, widths, the card branches and their readers.

#include "window/SMSUIMainDlg.h"

#include "Change.h"
#include "CommonUtils.h"
#include "store/DetectMemoryDeviceThread.h"
#include "ExtendLineEdit.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "window/UITableItem.h"
#include "zsdk.h"

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidgetItemIterator>

namespace {

const char* labelId(int node)
{
    switch (node) {
    case NODE_LOCAL_ROOT: return "IDS_TREE_LOCAL";
    case NODE_LOCAL_INBOX: return "IDS_TREE_LINBOX";
    case NODE_LOCAL_OUTBOX: return "IDS_TREE_LOUTBOX";
    case NODE_LOCAL_SENT: return "IDS_TREE_LSENTITEMS";
    case NODE_LOCAL_DRAFT: return "IDS_TREE_LDRAFT";
    case NODE_LOCAL_FAVORITE: return "IDS_TREE_LFAVORITE";
    case NODE_LOCAL_TRASH: return "IDS_TREE_LTRASH";
    case NODE_LOCAL_REPORT: return "IDS_TREE_LREPORT";
    case NODE_LOCAL_CBS: return "IDS_TREE_CBSBOX";
    case NODE_SIM_INBOX: return "IDS_TREE_SINBOX";
    case NODE_SIM_OUTBOX: return "IDS_TREE_SOUTBOX";
    case NODE_DEVICE_INBOX: return "IDS_TREE_DINBOX";
    case NODE_DEVICE_OUTBOX: return "IDS_TREE_DOUTBOX";
    default: return nullptr;
    }
}

// Tile of the image strip for each folder.
int tileOf(int node)
{
    switch (node) {
    case NODE_LOCAL_INBOX: case NODE_SIM_INBOX: case NODE_DEVICE_INBOX: return 3;
    case NODE_LOCAL_OUTBOX: case NODE_SIM_OUTBOX: case NODE_DEVICE_OUTBOX: return 2;
    case NODE_LOCAL_SENT: case NODE_LOCAL_CBS: return 8;
    case NODE_LOCAL_DRAFT: return 4;
    case NODE_LOCAL_FAVORITE: return 1;
    case NODE_LOCAL_TRASH: return 5;
    case NODE_LOCAL_REPORT: return 6;
    default: return 0;
    }
}

bool isInboxLike(int node) { return node == 1 || node == 5 || node == 7 || node == 9; }

} // namespace

int SMSUIMainDlg::getSMSTreeNodePosition(QTreeWidgetItem* item)
{
    if (!item)
        return 0;
    for (auto it = m_hashTreeItems.cbegin(); it != m_hashTreeItems.cend(); ++it) {
        if (it.value() == item) {
            m_iSelectedTreeNode = it.key();
            return it.key();
        }
    }
    return m_iSelectedTreeNode;
}

int SMSUIMainDlg::getCurrentFrom(int node) const
{
    switch (node) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 10: case 11: case 13: case 15: return MEM_PC;
    case 6: case 7: case 12: return MEM_SIM;
    case 8: case 9: case 14: return MEM_DEVICE;
    default:
        SMS_WARN("%s: %s: %s : input unkown iSelectedTreeNode = %d.", node);
        return -1;
    }
}

QString SMSUIMainDlg::CardTypeName() const
{
    int32_t product = 3;
    const bool cdma = ZSDK_DevSrv_GetProductType(&product) == 0 && product == 1;
    return CommonUtils::GetSettings(QStringLiteral("customize"), cdma ? QStringLiteral("uimtype") : QStringLiteral("simtype"));
}

QString SMSUIMainDlg::SimRootLabel() const
{
    return Translate(QStringLiteral("IDS_TREE_SIM")).replace(QLatin1String("%s"), CardTypeName());
}

QString SMSUIMainDlg::DeviceRootLabel() const
{
    return Translate(QStringLiteral("IDS_TREE_DEVICE")).replace(QLatin1String("%s"), CardTypeName());
}

void SMSUIMainDlg::loadTreeIcons()
{
    m_listIcons.clear();
    m_listIconsMirrored.clear();
    const QImage strip(m_strPluginPath + m_strPluginDir + QStringLiteral("sms_tree_Images.png"));
    if (strip.isNull())
        qWarning("SMSUIMainDlg: tree images %s%ssms_tree_Images.png missing; the tree shows no icons",
                 qPrintable(m_strPluginPath), qPrintable(m_strPluginDir));
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        for (int i = 0; i < 9; ++i) {
            QIcon icon;
            if (!strip.isNull()) {
                QImage tile = strip.copy(16 * i, 0, 16, 16);
                if (mirrored)
                    tile = tile.mirrored(true, false);
                const QPixmap pixmap = QPixmap::fromImage(tile);
                icon.addPixmap(pixmap, QIcon::Normal, QIcon::Off);
                icon.addPixmap(pixmap, QIcon::Selected, QIcon::Off);
            }
            (mirrored ? m_listIconsMirrored : m_listIcons).append(icon);
        }
    }
}

const QList<QIcon>& SMSUIMainDlg::treeIcons() const
{
    return isRightToLeft() ? m_listIconsMirrored : m_listIcons;
}

void SMSUIMainDlg::createSMSTreePanel()
{
    if (m_pTreeWidget && m_pLocalRoot && TreeItem(NODE_LOCAL_INBOX) && TreeItem(NODE_LOCAL_OUTBOX) && TreeItem(NODE_LOCAL_DRAFT)
        && TreeItem(NODE_LOCAL_FAVORITE) && TreeItem(NODE_LOCAL_TRASH) && TreeItem(NODE_LOCAL_REPORT)) {
        m_pTreeWidget->setContextMenuPolicy(Qt::PreventContextMenu);
        m_pTreeWidget->setHeaderHidden(true);
        m_pTreeWidget->setRootIsDecorated(false);
        m_pTreeWidget->setExpandsOnDoubleClick(true);
        m_pLocalRoot->setExpanded(true);
        m_pLocalRoot->setSizeHint(0, QSize(25, 20));
        setLocalTreeSmsLanguage();
        setLocalTreeNodeImages();
        updateTreeNodeCounts();
        m_pTreeWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setWidthForSMSTreeWidget();
        m_pTreeWidget->setMinimumWidth(1);
    }
    connect(m_pTreeWidget, &QTreeWidget::itemEntered, this, &SMSUIMainDlg::onSmsTreeItemEntered);
    connect(m_pTreeWidget, &QTreeWidget::itemCollapsed, this, &SMSUIMainDlg::onLocalNodeCollapsed);
    connect(m_pTreeWidget, &QTreeWidget::itemExpanded, this, &SMSUIMainDlg::onLocalNodeExpanded);
}

void SMSUIMainDlg::setLocalTreeSmsLanguage()
{
    for (int node : {13, 1, 0, 15, 2, 3, 4, 5, 10})
        if (QTreeWidgetItem* item = TreeItem(node))
            item->setText(0, Translate(QLatin1String(labelId(node))));
    updateTreeNodeCounts();
}

void SMSUIMainDlg::setBranchLanguage(int root, int inbox, int outbox)
{
    QTreeWidgetItem* rootItem = TreeItem(root);
    if (!rootItem || !m_pStatusLogicObject)
        return;
    setWidthForSMSTreeWidget();
    const int mem = root == NODE_SIM_ROOT ? MEM_SIM : MEM_DEVICE;
    const QString label = root == NODE_SIM_ROOT ? SimRootLabel() : DeviceRootLabel();
    if (!m_pStatusLogicObject->GetSMSRecordCount(mem)) {
        // The plain label first: expanding a branch that still shows the reading label closes it.
        rootItem->setText(0, label);
        rootItem->setToolTip(0, QString());
        rootItem->setExpanded(true);
    } else {
        rootItem->setExpanded(false);
        rootItem->setText(0, label + Translate(QStringLiteral("IDS_TREE_READING_DATA")));
        DetectMemoryDeviceThread* reader = root == NODE_SIM_ROOT ? m_threadReadSim : m_threadReadDevice;
        if (!reader->isRunning()) {
            reader->SetStop(false);
            reader->start(QThread::InheritPriority);
        }
    }
    for (int node : {inbox, outbox})
        if (QTreeWidgetItem* item = TreeItem(node))
            item->setText(0, Translate(QLatin1String(labelId(node))));
    updateTreeNodeCounts();
}

void SMSUIMainDlg::setSimTreeSmsLanguage() { setBranchLanguage(NODE_SIM_ROOT, NODE_SIM_INBOX, NODE_SIM_OUTBOX); }
void SMSUIMainDlg::setDeviceTreeSmsLanguage() { setBranchLanguage(NODE_DEVICE_ROOT, NODE_DEVICE_INBOX, NODE_DEVICE_OUTBOX); }

void SMSUIMainDlg::updateTreeNodeCounts()
{
    if (!m_bShowSMCount)
        return;
    for (int node = 0; node <= 15; ++node) {
        if (node >= 10 && node <= 14)
            continue;
        QTreeWidgetItem* item = TreeItem(node);
        if (!item)
            continue;
        // A filled table counts its rows (a search may have filtered them); one never filled
        // would show its folder's buffer, so the buffer is counted instead of filling it.
        SMSUITableWidget* table = madeTable(node);
        const bool filled = table && table->IsFilled();
        const bool buffered = hasTable(node) && !filled && m_pStatusLogicObject;
        const int total = filled ? table->rowCount() : (buffered ? m_pStatusLogicObject->GetCountInNode(node) : 0);
        QString text = Translate(QLatin1String(labelId(node)));
        if (isInboxLike(node)) {
            const int unread = filled ? table->UnreadRows() : (buffered ? m_pStatusLogicObject->GetUnreadCountInNode(node) : 0);
            text += QStringLiteral("(%1/%2)").arg(unread).arg(total);
        } else {
            text += QStringLiteral("(%1)").arg(total);
        }
        item->setText(0, text);
        item->setToolTip(0, text);
    }
}

void SMSUIMainDlg::setSmsTreeToolTipAndScrollBar(QTreeWidgetItem* item)
{
    if (!item || !m_pTreeWidget) {
        SMS_LOG_NULLARG();
        return;
    }
    const QString text = item->text(0);
    const QVariant fontRole = item->data(0, Qt::FontRole);
    const QFont font = fontRole.isValid() ? fontRole.value<QFont>() : m_pTreeWidget->font();
    int depth = 0;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        ++depth;
    const int needed = QFontMetrics(font).horizontalAdvance(text) + m_pTreeWidget->indentation() * (depth + 2) + text.size();
    if (m_pTreeWidget->width() < needed) {
        item->setToolTip(0, text);
        m_pTreeWidget->setColumnWidth(0, needed);
    } else {
        item->setToolTip(0, QString());
    }
    m_pTreeWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void SMSUIMainDlg::setWidthForSMSTreeWidget()
{
    if (!m_pTreeWidget)
        return;
    const QMargins m = m_pTreeWidget->contentsMargins();
    m_pTreeWidget->setColumnWidth(0, m_pTreeWidget->width() - m.left() - m.right());
    for (QTreeWidgetItemIterator it(m_pTreeWidget); *it; ++it)
        setSmsTreeToolTipAndScrollBar(*it);
}

void SMSUIMainDlg::setLocalTreeNodeImages()
{
    for (int node : {13, 1, 0, 2, 3, 4, 5})
        if (!TreeItem(node))
            return;
    const QList<QIcon>& icons = treeIcons();
    if (icons.size() < 9)
        return;
    for (int node : {13, 1, 0, 2, 3, 4, 5, 15, 10, 12, 7, 6, 14, 9, 8})
        if (QTreeWidgetItem* item = TreeItem(node))
            item->setIcon(0, icons.at(tileOf(node)));
}

void SMSUIMainDlg::setRootNodeImages(QTreeWidgetItem* selected)
{
    const QList<QIcon>& icons = treeIcons();
    if (icons.size() < 9)
        return;
    for (int root : {NODE_LOCAL_ROOT, NODE_SIM_ROOT, NODE_DEVICE_ROOT})
        if (QTreeWidgetItem* item = TreeItem(root))
            item->setIcon(0, icons.at(item == selected ? 7 : 0));
}

void SMSUIMainDlg::activateCurrentTreeNode()
{
    if (!m_pEnteredTreeItem)
        return;
    m_pTreeWidget->setCurrentItem(m_pEnteredTreeItem);
    m_iActivatedNodePosition = getSMSTreeNodePosition(m_pEnteredTreeItem);
}

void SMSUIMainDlg::onClickSMSTreeNode(QTreeWidgetItem* item, int)
{
    disableMessageToolItems();
    if (m_bTableFiltered) {
        syncSMSTableWithBuffers(m_iSelectedTreeNode);
        m_bTableFiltered = false;
    }
    m_pCurrentTreeItem = item;
    m_iSelectedTreeNode = getSMSTreeNodePosition(item);
    m_iCurrentFrom = getCurrentFrom(m_iSelectedTreeNode);
    if (m_pSearchLineEdit && !m_pSearchLineEdit->text().isEmpty()) {
        m_pSearchLineEdit->clear();
        m_strSearchText.clear();
    }
    // Take every table and the preview out of the splitter; the chosen ones go back in below.
    QList<QWidget*> detached{m_pTextPreview};
    for (SMSUITableWidget* table : qAsConst(m_hashTables))
        detached << table;
    if (auto* empty = findChild<QTableWidget*>(QStringLiteral("Empty Table")))
        detached << empty;
    for (QWidget* widget : qAsConst(detached)) {
        widget->hide();
        widget->setParent(this);
    }

    SMSUITableWidget* table = Table(m_iSelectedTreeNode);
    if (!table && (m_iSelectedTreeNode == NODE_SIM_ROOT || m_iSelectedTreeNode == NODE_DEVICE_ROOT)) {
        table = findChild<SMSUITableWidget*>(QStringLiteral("Empty Table"));
        if (!table) {
            table = createTable(m_iSelectedTreeNode);
            table->setObjectName(QStringLiteral("Empty Table"));
        }
    }
    m_pTableWidgetSms = table;
    if (!table)
        return;
    m_pSplitterTablePreview->addWidget(table);
    m_pSplitterTablePreview->addWidget(m_pTextPreview);
    table->show();
    m_pTextPreview->show();
    m_pSplitterTablePreview->setSizes(m_listPreviewSplitterSizes);
    table->clearFocus();
    table->setCurrentCell(-1, -1);
    loadPreviewtextOnTreeNodeClick(item ? item->text(0) : QString());
    setRootNodeImages(item);
}

void SMSUIMainDlg::onSMSTreeItemSelectionChangedSlot()
{
    const QList<QTreeWidgetItem*> selected = m_pTreeWidget->selectedItems();
    if (selected.isEmpty())
        return;
    if (m_iDraggedFlag) {
        // A drop has just happened on the highlighted folder: decide what it does.
        m_pTreeWidget->setMouseTracking(false);
        enableDrop(m_pTreeWidget->DroppedIds().size());
        m_bDropRejected = false;
        m_iDraggedFlag = 0;
        return;
    }
    if (selected.first() == m_pCurrentTreeItem) {
        m_pTreeWidget->setMouseTracking(false);
        return;
    }
    for (QTreeWidgetItem* item : selected) {
        m_pTreeWidget->setMouseTracking(false);
        onClickSMSTreeNode(item, 0);
        m_pTreeWidget->setFocus(Qt::OtherFocusReason);
    }
    if (isRightToLeft())
        m_pTreeWidget->update();
}

void SMSUIMainDlg::onSmsTreeItemEntered(QTreeWidgetItem* item, int)
{
    m_pEnteredTreeItem = item;
    for (auto it = m_hashTreeItems.cbegin(); it != m_hashTreeItems.cend(); ++it)
        if (it.value() == item)
            m_iEnteredNodePosition = it.key();
    if (!m_iDraggedFlag)
        return;   // the mouse only passed over the folder
    activateCurrentTreeNode();
    m_pTreeWidget->smsItemSelectionChanged();
}

void SMSUIMainDlg::initSimTree()
{
    if (!m_pStatusLogicObject)
        return;
    if (!TreeItem(NODE_SIM_ROOT) || !TreeItem(NODE_SIM_INBOX) || !TreeItem(NODE_SIM_OUTBOX)) {
        m_pSimRoot = addTreeNode(nullptr, NODE_SIM_ROOT);
        addTreeNode(m_pSimRoot, NODE_SIM_INBOX);
        addTreeNode(m_pSimRoot, NODE_SIM_OUTBOX);
        m_pSimRoot->setText(0, SimRootLabel());
        for (int node : {NODE_SIM_INBOX, NODE_SIM_OUTBOX})
            TreeItem(node)->setText(0, Translate(QLatin1String(labelId(node))));
        setLocalTreeNodeImages();
        setRootNodeImages(m_pCurrentTreeItem);
        updateTreeNodeCounts();
    }
    m_pSimRoot->setHidden(false);
    if (!m_pStatusLogicObject->GetSMSRecordCount(MEM_SIM)) {
        populateSimSMSTables();
        m_pSimRoot->setText(0, SimRootLabel());
        m_pSimRoot->setExpanded(true);
    } else {
        m_threadReadSim->SetStop(false);
        m_threadReadSim->start(QThread::InheritPriority);
        m_pSimRoot->setExpanded(false);
        m_pSimRoot->setText(0, SimRootLabel() + Translate(QStringLiteral("IDS_TREE_READING_DATA")));
        setSmsTreeToolTipAndScrollBar(m_pSimRoot);
        m_pSimRoot->setToolTip(0, QString());
    }
}

void SMSUIMainDlg::initDeviceTree()
{
    if (!m_pStatusLogicObject)
        return;
    const bool created = !TreeItem(NODE_DEVICE_ROOT) || !TreeItem(NODE_DEVICE_INBOX) || !TreeItem(NODE_DEVICE_OUTBOX);
    if (created) {
        m_pDeviceRoot = addTreeNode(nullptr, NODE_DEVICE_ROOT);
        addTreeNode(m_pDeviceRoot, NODE_DEVICE_INBOX);
        addTreeNode(m_pDeviceRoot, NODE_DEVICE_OUTBOX);
        m_pDeviceRoot->setText(0, DeviceRootLabel());
        for (int node : {NODE_DEVICE_INBOX, NODE_DEVICE_OUTBOX})
            TreeItem(node)->setText(0, Translate(QLatin1String(labelId(node))));
        m_pDeviceRoot->setExpanded(false);
        setLocalTreeNodeImages();
        setRootNodeImages(m_pCurrentTreeItem);
        updateTreeNodeCounts();
    }
    m_pDeviceRoot->setHidden(false);
    if (!m_pStatusLogicObject->GetSMSRecordCount(MEM_DEVICE)) {
        populateDeviceSMSTables();
        m_pDeviceRoot->setText(0, DeviceRootLabel());
        if (!m_pDeviceRoot->isExpanded())
            m_pDeviceRoot->setExpanded(true);
        sendStatusBarRefresh();
    } else {
        m_threadReadDevice->SetStop(false);
        m_threadReadDevice->start(QThread::InheritPriority);
        m_pDeviceRoot->setExpanded(false);
        m_pDeviceRoot->setText(0, DeviceRootLabel() + Translate(QStringLiteral("IDS_TREE_READING_DATA")));
        setSmsTreeToolTipAndScrollBar(m_pDeviceRoot);
        m_pDeviceRoot->setToolTip(0, QString());
    }
}

void SMSUIMainDlg::onTreeNodeExpanded(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString reading = Translate(QStringLiteral("IDS_TREE_READING_DATA"));
    const struct { QString label; DetectMemoryDeviceThread* reader; } branches[] = {
        {SimRootLabel() + reading, m_threadReadSim}, {DeviceRootLabel() + reading, m_threadReadDevice}};
    for (const auto& branch : branches) {
        if (item->text(0) == branch.label) {
            item->setExpanded(false);
            if (!branch.reader->isRunning()) {
                branch.reader->SetStop(false);
                branch.reader->start(QThread::InheritPriority);
            }
        }
    }
    setSmsTreeToolTipAndScrollBar(item);
}

void SMSUIMainDlg::OnSMSReadComplete(int location)
{
    if (!m_pStatusLogicObject)
        return;
    if (location == MEM_SIM || location == MEM_DEVICE) {
        const int root = location == MEM_SIM ? NODE_SIM_ROOT : NODE_DEVICE_ROOT;
        // A card that cannot be read just now keeps showing what it showed (the store logs why).
        m_pStatusLogicObject->ReloadSmsBuffer(location);
        if (location == MEM_SIM)
            populateSimSMSTables();
        else
            populateDeviceSMSTables();
        if (QTreeWidgetItem* item = TreeItem(root)) {
            item->setText(0, location == MEM_SIM ? SimRootLabel() : DeviceRootLabel());
            item->setToolTip(0, QString());
            item->setExpanded(true);
            if (m_iSelectedTreeNode == root)
                onClickSMSTreeNode(item, 0);
        }
    }
    m_pStatusLogicObject->SyncBuffersWithPB();
    for (int node : {0, 1, 2, 3, 4, 5, 15})
        syncSMSTableWithBuffers(node);
    setWidthForSMSTreeWidget();
    sendStatusBarRefresh();
}

void SMSUIMainDlg::onLocalNodeExpanded(QTreeWidgetItem*)
{
    m_pTreeWidget->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void SMSUIMainDlg::onLocalNodeCollapsed(QTreeWidgetItem* item)
{
    const bool noSim = !m_pSimRoot || m_pSimRoot->isHidden();
    m_pTreeWidget->setHorizontalScrollBarPolicy(item == m_pLocalRoot && noSim ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void SMSUIMainDlg::HideCardRoots()
{
    for (int node : {NODE_SIM_ROOT, NODE_DEVICE_ROOT})
        if (QTreeWidgetItem* item = TreeItem(node))
            item->setHidden(true);
    m_bSimMemoryFlag = false;
    m_bNvDeviceFlag = false;
}
