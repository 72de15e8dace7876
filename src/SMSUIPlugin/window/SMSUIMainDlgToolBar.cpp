// The tool bar above the table and the search box that filters the shown table.

#include "window/SMSUIMainDlg.h"

#include "Change.h"
#include "ExtendLineEdit.h"
#include "store/SMSLog.h"
#include "store/SMSTypes.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "store/SmsSettingXMLParse.h"
#include "window/SearchText.h"
#include "window/UITableItem.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTextBrowser>

namespace {
const QString kGroup = QStringLiteral("SMSUIPlugin");
}

void SMSUIMainDlg::initToolBar(QWidget* parent)
{
    m_bSearchBoxShown = false;
    m_listToolItems = SmsSettingXMLParse::ConfiguredToolItems();
    if (m_listToolItems.isEmpty())
        SMS_LOG("%s: %s: %s: no tool items configured");
    if (!ToolBarLogic::CreateToolBar(kGroup, parent, m_listToolItems, &m_pToolButtonGroup, &m_pToolBarLayout, &m_pSearchLineEdit, &m_pToolBarLabel))
        return;
    if (m_pToolButtonGroup)
        connect(m_pToolButtonGroup, &QButtonGroup::idClicked, this, &SMSUIMainDlg::onTBBtnClicked);
    if (m_pSearchLineEdit)
        connect(m_pSearchLineEdit, &QLineEdit::textEdited, this, &SMSUIMainDlg::onTextEdited);
}

int SMSUIMainDlg::enableToolItem(int id)
{
    switch (id) {
    case 9002: m_bSendEnabled = true; break;
    case 9003: m_bReplyEnabled = true; break;
    case 9004: m_bForwardEnabled = true; break;
    case 9005: m_bCallEnabled = true; break;
    default: break;
    }
    return ToolBarLogic::EnableDisableItem(kGroup, m_listToolItems, id, true);
}

int SMSUIMainDlg::disableToolItem(int id)
{
    if (m_listToolItems.isEmpty())
        return SMS_INVALID_ARG;
    switch (id) {
    case 9002: m_bSendEnabled = false; break;
    case 9003: m_bReplyEnabled = false; break;
    case 9004: m_bForwardEnabled = false; break;
    case 9005: m_bCallEnabled = false; break;
    default: break;
    }
    return ToolBarLogic::EnableDisableItem(kGroup, m_listToolItems, id, false);
}

void SMSUIMainDlg::disableMessageToolItems()
{
    for (int id : {9002, 9003, 9004, 9001, 9005})
        disableToolItem(id);
}

void SMSUIMainDlg::enableMessageToolItems()
{
    for (int id : {9002, 9003, 9004})
        enableToolItem(id);
}

void SMSUIMainDlg::showSearchBox()
{
    ToolBarLogic::ShowHideSearchBox(m_pToolBarWidget, m_pToolBarLayout, m_pSearchLineEdit, true);
    if (m_pToolBarWidget && m_pTableWidgetSms) {
        m_pToolBarWidget->setFixedHeight(60);
        m_pToolBarWidget->setFixedWidth(m_pTableWidgetSms->width());
    }
}

void SMSUIMainDlg::hideSearchBox()
{
    if (m_pSearchLineEdit)
        m_pSearchLineEdit->setText(QString());
    ToolBarLogic::ShowHideSearchBox(m_pToolBarWidget, m_pToolBarLayout, m_pSearchLineEdit, false);
    if (m_pToolBarWidget) {
        m_pToolBarWidget->setFixedHeight(30);
        // Let the strip follow the panel's width again.
        m_pToolBarWidget->setMinimumWidth(0);
        m_pToolBarWidget->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    onTextEdited(QString());
}

void SMSUIMainDlg::onMenuSearch()
{
    m_bSearchBoxShown = !m_bSearchBoxShown;
    if (m_bSearchBoxShown)
        showSearchBox();
    else
        hideSearchBox();
}

void SMSUIMainDlg::onTBBtnClicked(int id)
{
    for (const ToolItem& item : qAsConst(m_listToolItems)) {
        if (item.id != id)
            continue;
        if (item.bSearch) {
            onMenuSearch();
            return;
        }
        break;
    }
    switch (id) {
    case 9000: onButtonClickedNewSMS(9000); break;
    case 9001: onButtonClickDelete(); break;
    case 9002: onButtonClickedNewSMS(9002); break;
    case 9003: onButtonClickedNewSMS(9003); break;
    case 9004: onButtonClickedNewSMS(9004); break;
    case 9005: onButtonClickCallHandler(false); break;
    default: break;
    }
}

void SMSUIMainDlg::onTextEdited(QString text)
{
    SMS_LOG("%s: %s: %s: Entered text=%s ", qPrintable(text));
    if (!m_pTreeWidget || !m_pSearchLineEdit)
        return;
    m_bTableFiltered = !text.isEmpty();
    if (text.isEmpty() || !text.contains(m_strSearchText))
        syncSMSTableWithBuffers(m_iSelectedTreeNode);
    updateTableSmsTable(text);
    m_strSearchText = text;
    if (m_pTextPreview && m_pTableWidgetSms) {
        m_pTextPreview->setReadOnly(true);
        m_pTextPreview->selectAll();
        m_pTextPreview->clearFocus();
        m_pCurrentTreeItem = m_pTreeWidget->currentItem();
        m_strFolderName = m_pCurrentTreeItem ? m_pCurrentTreeItem->text(0) : QString();
        if (m_strFolderName.isEmpty())
            m_strFolderName = Translate(QStringLiteral("IDS_TREE_LINBOX"));
        m_pTextPreview->setPlainText(m_strFolderName + QLatin1Char('\n') + Translate(QStringLiteral("IDS_STR_SMSCOUNT"))
                                     + QString::number(m_pTableWidgetSms->rowCount()));
        m_pTextPreview->setFocus(Qt::OtherFocusReason);
        m_pSearchLineEdit->setFocus(Qt::OtherFocusReason);
        // The search took the selected messages out of sight: no command may act on them.
        if (m_pTableWidgetSms->selectedItems().isEmpty())
            for (int id : {9002, 9003, 9004, 9001, 9005})
                disableToolItem(id);
    }
}

void SMSUIMainDlg::updateTableSmsTable(const QString& text)
{
    if (!m_pTableWidgetSms)
        return;
    QTableWidget* table = m_pTableWidgetSms;
    // Decide row by row, top down; a row with a missing cell ends the filtering (the rows from
    // there on stay as they are).
    QVector<int> keep;
    int checked = 0;
    bool stopped = false;
    const SearchText wanted(text);
    for (int row = 0; row < table->rowCount() && !stopped; ++row) {
        bool match = false;
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = table->item(row, c);
            if (!item || item->type() != UITableItem::Type) {
                stopped = true;
                break;
            }
            const auto* cell = static_cast<const UITableItem*>(item);
            // A time cell's text is made only where it could match (the sort keeps its time).
            if (!match && (wanted.MayBeInIsoTime() || !cell->HasTimeKey()))
                match = wanted.FoundIn(cell->CachedSortText());
        }
        if (stopped)
            break;
        if (match)
            keep.append(row);
        ++checked;
    }
    if (keep.size() == checked)
        return;
    // Removing rows one at a time moves every row below each time; taking every cell out and
    // putting the kept ones back is linear. The kept rows keep their order, so the table stays
    // sorted: the sort indicator is parked meanwhile instead of sorting every kept row again, and
    // the model's per-cell signals are off (one repaint afterwards). The dropped rows' cells are
    // taken out too and deleted after the table is shown (DroppedCells): deleting them here was a
    // third of a keystroke in a large folder. Once out, no selection, index or sort reaches them.
    QHeaderView* header = table->horizontalHeader();
    const int section = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    const bool headerBlocked = header->blockSignals(true);
    header->setSortIndicator(-1, order);
    auto* messages = qobject_cast<SMSUITableWidget*>(table);
    if (messages)
        messages->BeginBulkChange();
    const int rows = table->rowCount();
    QVector<QTableWidgetItem*> kept;
    kept.reserve((keep.size() + rows - checked) * 3);
    QVector<QTableWidgetItem*> dropped;
    dropped.reserve((checked - keep.size()) * 3);
    int nextKept = 0;
    for (int row = 0; row < rows; ++row) {
        const bool keepRow = row >= checked || (nextKept < keep.size() && keep.at(nextKept) == row);
        if (keepRow && row < checked)
            ++nextKept;
        QVector<QTableWidgetItem*>& into = keepRow ? kept : dropped;
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* cell = table->takeItem(row, c);
            if (keepRow || cell)
                into.append(cell);
        }
    }
    if (messages)
        messages->EndBulkChange();
    table->setRowCount(0);
    m_droppedCells.Dispose(dropped);
    const int keptRows = kept.size() / 3;
    // The new rows take the vertical header's default height, which every row of a message table has.
    table->setRowCount(keptRows);
    if (messages)
        messages->BeginBulkChange();
    for (int i = 0; i < keptRows; ++i) {
        for (int c = 0; c < 3; ++c)
            if (QTableWidgetItem* cell = kept.at(i * 3 + c))
                table->setItem(i, c, cell);
    }
    if (messages)
        messages->EndBulkChange();
    header->setSortIndicator(section, order);
    header->blockSignals(headerBlocked);
    m_pTableWidgetSms->setProperty("smsGeneration", QVariant());   // no longer the whole folder
}

void SMSUIMainDlg::setToolBarToolTips()
{
    for (ToolItem& item : m_listToolItems) {
        if (!item.button)
            continue;
        QString text;
        QKeySequence key;
        if (Change::tr(item.tooltip, kGroup, text, key))
            item.button->setToolTip(text + QStringLiteral("  (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
        else
            item.button->setToolTip(text);
        if (auto* button = qobject_cast<QAbstractButton*>(item.button))
            button->setText(text);
    }
}

void SMSUIMainDlg::destroyToolBar()
{
    ToolBarLogic::DestroyToolButtonGroup(m_listToolItems, &m_pToolButtonGroup);
    delete m_pToolBarLayout;
    m_pToolBarLayout = nullptr;
    delete m_pSearchLineEdit;
    m_pSearchLineEdit = nullptr;
}
