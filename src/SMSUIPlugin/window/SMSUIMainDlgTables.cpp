// The message tables: one per folder, rows built from the store's records, row clicks.

#include "window/SMSUIMainDlg.h"

#include "Change.h"
#include "CommonUtils.h"
#include "window/GridDelegateLayout.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "store/SMSTypes.h"
#include "worker/SMSThreadUI.h"
#include "window/SMSUITableWidget.h"
#include "window/SMSUITreeWidget.h"
#include "window/UITableItem.h"

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QPixmap>
#include <QSet>
#include <QTextBrowser>
#include <algorithm>

namespace {

const QString kGroup = QStringLiteral("SMSUIPlugin");

// Whether the person can see `folder` in the tree: it and every branch above it are shown.
// A card's folders keep their own flag when the card's branch is hidden.
bool isOnScreen(const QTreeWidgetItem* folder)
{
    for (const QTreeWidgetItem* item = folder; item; item = item->parent())
        if (item->isHidden())
            return false;
    return folder != nullptr;
}

// Icons from the five status images, made once per image and direction: building a pixmap for
// every row would dominate filling a large table.
QIcon statusIcon(const QImage& image, bool mirrored)
{
    static QHash<QPair<qint64, bool>, QIcon> cache;
    if (image.isNull())
        return QIcon();
    const auto key = qMakePair(image.cacheKey(), mirrored);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, QIcon(QPixmap::fromImage(mirrored ? image.mirrored(true, false) : image)));
    return it.value();
}

QDateTime timeValue(const SMSLocalRecord& record)
{
    return record.dtTime.isValid() ? record.dtTime : SMSStatusUILogic::parseTime(record.strTime);
}

QList<int> foldersOf(int node)
{
    switch (node) {
    case NODE_SIM_ROOT: return {6, 7};
    case NODE_LOCAL_ROOT: return {0, 1, 2, 3, 4, 5, 10, 15};
    case NODE_DEVICE_ROOT: return {8, 9};
    default:
        if ((node >= 0 && node <= 10) || node == 15)
            return {node};
        return {};
    }
}

} // namespace

QWidget* SMSUIMainDlg::CurrentTable() const { return m_pTableWidgetSms; }

SMSUITableWidget* SMSUIMainDlg::createTable(int node)
{
    auto* table = new SMSUITableWidget(node, this, this);
    table->setColumnCount(3);
    table->setWordWrap(false);
    table->setShowGrid(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    // Message rows are 16 px high. The header's minimum section size comes from the style and the
    // font and would otherwise win over the 16 px.
    table->verticalHeader()->setMinimumSectionSize(16);
    table->verticalHeader()->setDefaultSectionSize(16);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const QStringList headers{Translate(QStringLiteral("IDS_LST_NAME")) + QLatin1Char('/') + Translate(QStringLiteral("IDS_LST_TEL")),
                              Translate(QStringLiteral("IDS_LST_CONTENT")), Translate(QStringLiteral("IDS_LST_TIME"))};
    for (int c = 0; c < 3; ++c)
        table->setHorizontalHeaderItem(c, new UITableItem(headers.at(c)));
    QHeaderView* header = table->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(false);
    table->setTextElideMode(Qt::ElideRight);
    table->setColumnWidth(0, 150);
    table->setColumnWidth(1, 250);
    table->setColumnWidth(2, 140);
    table->setItemDelegate(new GridDelegateLayout(table));
    table->setSortingEnabled(true);
    table->sortByColumn(2, Qt::DescendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, &SMSUIMainDlg::OnHeaderClicked);
    return table;
}

void SMSUIMainDlg::connectTable(SMSUITableWidget* table, bool on)
{
    if (on) {
        connect(table, &QTableWidget::itemSelectionChanged, this, &SMSUIMainDlg::onTableSelectionChanged, Qt::UniqueConnection);
        connect(table, &QTableWidget::cellClicked, this, &SMSUIMainDlg::onClickTableRow, Qt::UniqueConnection);
    } else {
        disconnect(table, &QTableWidget::itemSelectionChanged, nullptr, nullptr);
        disconnect(table, &QTableWidget::cellClicked, nullptr, nullptr);
    }
}

void SMSUIMainDlg::populateTableRow(const SMSLocalRecordPtr& record, int row, QTableWidget* table)
{
    populateTableRow(record, row, table, nullptr);
}

SMSUITableWidget::RowCells SMSUIMainDlg::populateTableRow(const SMSLocalRecordPtr& record, int row, QTableWidget* table, UITableItem* time)
{
    SMSUITableWidget::RowCells cells;
    if (!record || !table) {
        SMS_LOG("%s: %s: %s : invalid input params");
        delete time;
        return cells;
    }
    table->setRowHeight(row, table->verticalHeader()->defaultSectionSize());
    const bool rtl = isRightToLeft();
    QString name = record->strName.isEmpty() ? record->strNumber : record->strName;
    QString content = record->strContent;
    if (content.contains(QLatin1Char('\n'))) {
        content.remove(QStringLiteral("\r\n"));
        content.remove(QLatin1Char('\n'));
    }
    if (rtl) {
        CommonUtils::ParanthesisCorrection(name);
        CommonUtils::ParanthesisCorrection(content);
    }
    // Font, alignment and the record address are answered by the cell itself (UITableItem::data).
    // Column 2 goes in last: in a table kept sorted by time it moves the row to its place.
    cells.cell[0] = new UITableItem(record, name, statusIcon(record->imgStatus, rtl));
    cells.cell[1] = new UITableItem(record, content);
    cells.cell[2] = time ? time : new UITableItem(record, timeValue(*record));
    for (int c = 0; c < 3; ++c)
        table->setItem(row, c, cells.cell[c]);
    return cells;
}

quint64 SMSUIMainDlg::generationOf(int node) const
{
    quint64 sum = 0;
    for (int folder : foldersOf(node))
        sum += m_pStatusLogicObject->FolderGeneration(folder);
    return sum;
}

void SMSUIMainDlg::markTableFilled(SMSUITableWidget* table, bool current)
{
    // A rebuild that would put the same records into the same rows can be skipped; anything
    // else that changed the rows (a filter, a single added row) makes the next rebuild real.
    table->setProperty("smsGeneration", current ? QVariant(generationOf(table->Node())) : QVariant());
    table->setProperty("smsRightToLeft", isRightToLeft());
}

bool SMSUIMainDlg::tableIsCurrent(SMSUITableWidget* table) const
{
    const QVariant generation = table->property("smsGeneration");
    return generation.isValid() && generation.toULongLong() == generationOf(table->Node())
        && table->property("smsRightToLeft").toBool() == isRightToLeft();
}

QVector<SMSLocalRecordPtr> SMSUIMainDlg::recordsForTable(int node) const
{
    QVector<SMSLocalRecordPtr> rows;
    if (node == NODE_LOCAL_ROOT || node == NODE_SIM_ROOT || node == NODE_DEVICE_ROOT) {
        // A root lists each message once even if two folders name the same id.
        QSet<int> seen;
        for (int folder : foldersOf(node)) {
            for (const SMSLocalRecordPtr& rec : m_pStatusLogicObject->getSmsBuffer(folder)) {
                if (rec && !seen.contains(rec->iMsgId)) {
                    seen.insert(rec->iMsgId);
                    rows << rec;
                }
            }
        }
    } else {
        const SMSFolderBuffer buffer = m_pStatusLogicObject->getSmsBuffer(node);
        rows.reserve(buffer.size());
        for (const SMSLocalRecordPtr& rec : buffer)
            if (rec)
                rows << rec;
    }
    return rows;
}

void SMSUIMainDlg::fillTable(int node, SMSUITableWidget* table, bool newestFirst)
{
    const QVector<SMSLocalRecordPtr> rows = recordsForTable(node);
    // Newest first without sorting the filled table: the time cells are made first and put in
    // order by the comparison and the stable sort the table's own descending sort uses (the
    // rows it swaps are the same, so ties keep the order they were listed in). A sort of the
    // filled table copied every cell index twice and walked the rows once more.
    QVector<QPair<QTableWidgetItem*, int>> order;
    if (newestFirst) {
        order.reserve(rows.size());
        for (int i = 0; i < rows.size(); ++i)
            order.append(qMakePair<QTableWidgetItem*, int>(new UITableItem(rows.at(i), timeValue(*rows.at(i))), i));
        std::stable_sort(order.begin(), order.end(),
                         [](const QPair<QTableWidgetItem*, int>& l, const QPair<QTableWidgetItem*, int>& r) { return *r.first < *l.first; });
    }
    table->setRowCount(rows.size());
    // One repaint and one look at the rows afterwards instead of a model signal per cell.
    table->BeginBulkChange();
    QVector<SMSUITableWidget::RowCells> cells;
    cells.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        if (newestFirst)
            cells << populateTableRow(rows.at(order.at(i).second), i, table, static_cast<UITableItem*>(order.at(i).first));
        else
            cells << populateTableRow(rows.at(i), i, table, nullptr);
    }
    table->EndBulkChange();
    // Every row has its three cells: the message index and the unread count come from them (a
    // sort moves rows, not cells, and keeps them).
    if (cells.size() == rows.size() && std::all_of(cells.cbegin(), cells.cend(), [](const SMSUITableWidget::RowCells& c) { return c.cell[0] != nullptr; }))
        table->NoteFilled(cells);
    markTableFilled(table, true);
}

SMSUITableWidget* SMSUIMainDlg::buildTable(int node)
{
    // Empty until first needed (Table()): filling every table at start-up cost twice the rows of
    // all folders (each folder and its root), most of them never looked at.
    m_setTablesToMake.remove(node);
    SMSUITableWidget* table = createTable(node);
    table->hide();
    connectTable(table, true);
    m_hashTables.insert(node, table);
    return table;
}

SMSUITableWidget* SMSUIMainDlg::tableObject(int node) const
{
    if (SMSUITableWidget* table = m_hashTables.value(node))
        return table;
    if (!m_setTablesToMake.contains(node))
        return nullptr;
    return const_cast<SMSUIMainDlg*>(this)->buildTable(node);
}

SMSUITableWidget* SMSUIMainDlg::Table(int node) const
{
    SMSUITableWidget* table = tableObject(node);
    if (table && !table->IsFilled())
        const_cast<SMSUIMainDlg*>(this)->fillFirstTime(table);
    return table;
}

void SMSUIMainDlg::fillFirstTime(SMSUITableWidget* table)
{
    table->SetFilled(true);
    if (!m_pStatusLogicObject)
        return;
    connectTable(table, false);
    // Sorted newest first, the rows put in already in that order. Meanwhile the sort indicator is
    // parked on no column (a cell set into the sort column of a sorting table looks for its
    // place) and the header keeps quiet, so that nothing sorts the table again.
    QHeaderView* header = table->horizontalHeader();
    const bool blocked = header->blockSignals(true);
    header->setSortIndicator(-1, Qt::DescendingOrder);
    table->setSortingEnabled(true);
    fillTable(table->Node(), table, true);
    header->setSortIndicator(2, Qt::DescendingOrder);
    header->blockSignals(blocked);
    connectTable(table, true);
}

void SMSUIMainDlg::populateTables(const QList<int>& nodes, bool refreshExisting, bool later)
{
    if (!m_pStatusLogicObject) {
        SMS_LOG("%s: %s: %s : wrong Input");
        return;
    }
    for (int node : nodes) {
        if (hasTable(node)) {
            if (refreshExisting)
                syncSMSTableWithBuffers(node);
            continue;
        }
        if (later)
            m_setTablesToMake.insert(node);
        else
            buildTable(node);
    }
    updateTreeNodeCounts();
}

void SMSUIMainDlg::populateLocalSMSTables() { populateTables({0, 1, 2, 3, 4, 5, 10, 13, 15}, false, true); }
void SMSUIMainDlg::populateSimSMSTables() { populateTables({6, 7, 12}, true, true); }
void SMSUIMainDlg::populateDeviceSMSTables() { populateTables({8, 9, 14}, true, true); }

void SMSUIMainDlg::syncSMSTableWithBuffers(int node)
{
    SMS_LOG("%s: %s: %s enter %d", node);
    SMSUITableWidget* table = madeTable(node);
    if (!table && hasTable(node)) {
        // Not made yet: made and filled from the buffers as they are when first needed.
        refreshAfterSync();
        return;
    }
    if (!table) {
        SMS_LOG("%s: %s: %s : Error Table doesnt exist ");
        return;
    }
    table->clearFocus();
    // A table that shows its folders as they are, kept sorted all along, is left as it is:
    // switching sorting back on would sort every row again. A table never filled is left empty:
    // its first fill reads the buffers.
    const bool keep = !table->IsFilled()
        || (m_pStatusLogicObject && !foldersOf(node).isEmpty() && table->isSortingEnabled() && tableIsCurrent(table));
    connectTable(table, false);
    // A table that shows most of its folders already is brought up to date row by row.
    const bool updated = !keep && m_pStatusLogicObject && !foldersOf(node).isEmpty() && updateTableInPlace(node, table);
    const bool rebuilt = !keep && !updated;
    if (rebuilt)
        table->setSortingEnabled(false);
    if (!m_pStatusLogicObject || foldersOf(node).isEmpty()) {
        emptySMSTable(node);
        SMS_LOG("%s: %s: %s : In Default Something wrong happened!! ");
    } else if (rebuilt) {
        emptySMSTable(node);
        fillTable(node, table);
    }
    if (m_pTreeWidget && m_pTreeWidget->currentItem())
        loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
    for (int id : {9002, 9003, 9004, 9001, 9005})
        disableToolItem(id);
    connectTable(table, true);
    if (rebuilt)
        table->setSortingEnabled(true);
    updateTreeNodeCounts();
}

// What a re-sync does besides the table itself, for a folder whose table is not made yet.
void SMSUIMainDlg::refreshAfterSync()
{
    if (m_pTreeWidget && m_pTreeWidget->currentItem())
        loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
    for (int id : {9002, 9003, 9004, 9001, 9005})
        disableToolItem(id);
    updateTreeNodeCounts();
}

QList<int> SMSUIMainDlg::selectedMessageIds() const
{
    QList<int> ids;
    if (!m_pTableWidgetSms)
        return ids;
    for (QTableWidgetItem* item : m_pTableWidgetSms->selectedItems())
        if (item->column() == 0)
            if (const SMSLocalRecordPtr rec = UITableItem::RecordOf(item))
                ids << rec->iMsgId;
    return ids;
}

void SMSUIMainDlg::reselectMessages(const QList<int>& ids)
{
    if (ids.isEmpty() || !m_pTableWidgetSms)
        return;
    QTableWidget* table = m_pTableWidgetSms;
    const QSet<int> wanted(ids.begin(), ids.end());
    table->clearSelection();
    for (int row = 0; row < table->rowCount(); ++row) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(table->item(row, 0));
        if (rec && wanted.contains(rec->iMsgId))
            table->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, table->columnCount() - 1), true);
    }
}

bool SMSUIMainDlg::updateTableInPlace(int node, SMSUITableWidget* table)
{
    QHeaderView* header = table->horizontalHeader();
    if (table->rowCount() == 0 || !table->isSortingEnabled() || header->sortIndicatorSection() != 2
        || header->sortIndicatorOrder() != Qt::DescendingOrder || table->property("smsRightToLeft").toBool() != isRightToLeft())
        return false;
    // What a rebuild would show (recordsForTable: the folders in order, each message once), by
    // message id, with a mark for the ones a row already shows: one table of 100,000 entries
    // at the Local root instead of three.
    struct Wanted {
        const SMSLocalRecord* record;
        bool shown;
    };
    QHash<int, Wanted> byId;
    QList<SMSLocalRecordPtr> wanted;
    for (int folder : foldersOf(node)) {
        const SMSFolderBuffer buffer = m_pStatusLogicObject->getSmsBuffer(folder);
        byId.reserve(byId.size() + buffer.size());
        for (const SMSLocalRecordPtr& rec : buffer) {
            if (!rec || byId.contains(rec->iMsgId))
                continue;
            byId.insert(rec->iMsgId, {rec.data(), false});
            wanted << rec;
        }
    }
    // Rows whose message left the folders, or whose record was replaced (renamed, read, moved),
    // go; a replaced record comes back as a new row, as a rebuild would show it.
    QVector<int> gone;
    for (int row = 0; row < table->rowCount(); ++row) {
        // The row's cell keeps its record alive: the plain address is safe while the row is there.
        const SMSLocalRecord* rec = UITableItem::RecordOf(table->item(row, 0)).data();
        if (!rec || !table->item(row, 1) || !table->item(row, 2))
            return false;   // not rows this window made: rebuild
        const auto it = byId.find(rec->iMsgId);
        if (it == byId.end() || it->record != rec || it->shown) {
            gone.append(row);
            continue;
        }
        it->shown = true;
    }
    QList<SMSLocalRecordPtr> added;
    for (const SMSLocalRecordPtr& rec : qAsConst(wanted))
        if (!byId.value(rec->iMsgId).shown)
            added << rec;
    // Beyond a quarter of the rows a rebuild is cheaper than moving rows one block at a time.
    if ((gone.size() + added.size()) * 4 > wanted.size() + 16)
        return false;
    // As after a rebuild, nothing is selected.
    table->clearSelection();
    table->selectionModel()->clearCurrentIndex();
    if (!gone.isEmpty() || !added.isEmpty()) {
        for (int last = gone.size() - 1; last >= 0;) {
            int first = last;
            while (first > 0 && gone.at(first - 1) == gone.at(first) - 1)
                --first;
            table->model()->removeRows(gone.at(first), last - first + 1);
            last = first - 1;
        }
        if (!added.isEmpty()) {
            const SMSUITableWidget::AnswerState answers = table->Answers();
            table->NoteRowsAdded(answers, insertNewestFirst(table, added));
        }
    }
    markTableFilled(table, true);
    return true;
}

int SMSUIMainDlg::emptySMSTable(int node)
{
    SMSUITableWidget* table = tableObject(node);
    if (!table) {
        SMS_LOG("%s: %s: %s : Table dosnet exist ");
        return SMS_INVALID_ARG;
    }
    table->clearFocus();
    table->clearContents();
    table->setRowCount(0);
    markTableFilled(table, false);
    return SMS_OK;
}

void SMSUIMainDlg::syncUnreadSMSTable(int node)
{
    syncUnreadSMSTable(node, nullptr);
}

void SMSUIMainDlg::syncUnreadSMSTable(int node, const QList<int>* onlyIds)
{
    if (!m_pStatusLogicObject)
        return;
    // A table never filled has no rows to mark; its fill shows the records as they are then.
    SMSUITableWidget* table = tableObject(node);
    if (!table) {
        SMS_LOG("%s: %s: %s : Error Table doesnt exist ");
        return;
    }
    table->clearFocus();
    connectTable(table, false);
    const QIcon read = statusIcon(m_pStatusLogicObject->StatusImage(0), isRightToLeft());
    auto markRead = [read](QTableWidgetItem* first) {
        auto* cell = dynamic_cast<UITableItem*>(first);
        if (!cell || !cell->Record())
            return;
        const int folder = cell->Record()->iNode;
        if (cell->Record()->iReadFlag == 0 && (folder == 1 || folder == 5 || folder == 7 || folder == 9))
            cell->setData(Qt::DecorationRole, read);
    };
    if (onlyIds) {
        // Only these messages changed: their rows are found through the table's index.
        for (int id : *onlyIds)
            markRead(table->CellsForMessage(id).cell[0]);
    } else {
        for (int row = 0; row < table->rowCount(); ++row)
            markRead(table->item(row, 0));
    }
    if (m_pTreeWidget && m_pTreeWidget->currentItem())
        loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
    updateTreeNodeCounts();
    connectTable(table, true);
    table->setFocus();
}

bool SMSUIMainDlg::setReadMessageIcon(SMSLocalRecordPtr& record, QTableWidgetItem* cell)
{
    if (!record)
        return false;
    const QImage read = m_pStatusLogicObject ? m_pStatusLogicObject->StatusImage(0) : QImage();
    if (record->iReadFlag == 1) {
        // The buffered record is shared with other readers: change a copy.
        record = SMSLocalRecordPtr::create(*record);
        record->iReadFlag = 0;
        if (m_pStatusLogicObject)
            record->imgStatus = read;
        if (cell)
            cell->setData(Qt::DecorationRole, statusIcon(record->imgStatus, isRightToLeft()));
        return true;
    }
    if (m_pStatusLogicObject && record->imgStatus == m_pStatusLogicObject->StatusImage(1)) {
        record = SMSLocalRecordPtr::create(*record);
        record->imgStatus = read;
        if (cell)
            cell->setData(Qt::DecorationRole, statusIcon(read, isRightToLeft()));
    }
    return false;
}

bool SMSUIMainDlg::isMessageInTable(int msgId, QTableWidget* table) const
{
    if (!table || msgId < 0)
        return false;
    if (auto* messages = qobject_cast<SMSUITableWidget*>(table))
        return messages->CellsForMessage(msgId).cell[0] != nullptr;
    for (int row = 0; row < table->rowCount(); ++row) {
        QTableWidgetItem* cell = table->item(row, 0);
        if (!cell)
            return false;
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(cell);
        if (rec && rec->iMsgId == msgId)
            return true;
    }
    return false;
}

namespace {

// Runs `change` with the table's sort indicator parked on no column, so that cells set meanwhile
// are not moved one by one to their sorted place (each such move copies the whole column). The
// caller leaves the rows in the order the indicator names; nothing is sorted afterwards.
template<typename Change>
void withSortParked(QTableWidget* table, Change change)
{
    QHeaderView* header = table->horizontalHeader();
    const int section = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    const bool blocked = header->blockSignals(true);
    header->setSortIndicator(-1, order);
    change();
    header->setSortIndicator(section, order);
    header->blockSignals(blocked);
}

// Where the table's own sorted insertion would put a cell of the time column into a table kept
// newest first: above the first row that is not newer.
int newestFirstRow(QTableWidget* table, const QTableWidgetItem& time)
{
    int low = 0;
    int high = table->rowCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        const QTableWidgetItem* cell = table->item(mid, 2);
        if (cell && time < *cell)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

} // namespace

void SMSUIMainDlg::addRecToSMSTable(int node, const SMSLocalRecordPtr& record)
{
    if (!record) {
        SMS_LOG("%s: %s: %s : Invalid input param ");
        return;
    }
    addRecordsToSMSTable(node, {record});
}

void SMSUIMainDlg::addRecordsToSMSTable(int node, const QList<SMSLocalRecordPtr>& records)
{
    // A table not made yet is treated as one never filled (it is not made for this).
    SMSUITableWidget* table = madeTable(node);
    if (!table && !hasTable(node))
        return;
    // Each message once: not already shown, not twice in this batch.
    QList<SMSLocalRecordPtr> added;
    QSet<int> ids;
    for (const SMSLocalRecordPtr& rec : records) {
        if (rec && !ids.contains(rec->iMsgId) && (!table || !isMessageInTable(rec->iMsgId, table))) {
            ids.insert(rec->iMsgId);
            added << rec;
        }
    }
    if (added.isEmpty())
        return;
    if (!table || !table->IsFilled()) {
        // The messages are in the buffers, where the table's first fill will find them; what
        // an addition does beyond the rows still happens.
        if (m_pTreeWidget && m_pTreeWidget->currentItem())
            loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
        onClickTableRow(0);
        return;
    }
    // New messages leave the table sorted newest first, whatever the user sorted by. When it
    // already is, the new rows are put straight into their places instead of sorting every row
    // again; a batch that lands between the same two rows goes in as one block.
    QHeaderView* header = table->horizontalHeader();
    const bool newestFirst = table->isSortingEnabled() && header->sortIndicatorSection() == 2
        && header->sortIndicatorOrder() == Qt::DescendingOrder;
    const SMSUITableWidget::AnswerState answers = table->Answers();
    QList<SMSUITableWidget::RowCells> newRows;
    if (newestFirst) {
        newRows = insertNewestFirst(table, added);
    } else {
        table->setSortingEnabled(false);
        const int first = table->rowCount();
        table->setRowCount(first + added.size());
        for (int i = 0; i < added.size(); ++i)
            newRows << populateTableRow(added.at(i), first + i, table, nullptr);
        header->setSortIndicator(2, Qt::DescendingOrder);
        table->setSortingEnabled(true);
    }
    table->NoteRowsAdded(answers, newRows);
    markTableFilled(table, false);
    if (m_pTreeWidget && m_pTreeWidget->currentItem())
        loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
    onClickTableRow(0);
}

QList<SMSUITableWidget::RowCells> SMSUIMainDlg::insertNewestFirst(QTableWidget* table, const QList<SMSLocalRecordPtr>& added)
{
    QList<SMSUITableWidget::RowCells> newRows;
    {
        // The table would put each arrival above the rows that are not newer, the later of two
        // equal times above the earlier: newest first, later arrivals first among equals.
        struct Pending {
            SMSLocalRecordPtr record;
            UITableItem* time;
            int row;
        };
        QVector<Pending> pending;
        pending.reserve(added.size());
        for (int i = added.size() - 1; i >= 0; --i)
            pending.append({added.at(i), new UITableItem(added.at(i), timeValue(*added.at(i))), 0});
        std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) { return *b.time < *a.time; });
        for (Pending& p : pending)
            p.row = newestFirstRow(table, *p.time);
        withSortParked(table, [&] {
            // Bottom block first, so the places worked out above stay right.
            int end = pending.size();
            while (end > 0) {
                int begin = end - 1;
                while (begin > 0 && pending.at(begin - 1).row == pending.at(end - 1).row)
                    --begin;
                const int at = pending.at(begin).row;
                table->model()->insertRows(at, end - begin);
                for (int i = begin; i < end; ++i)
                    newRows << populateTableRow(pending.at(i).record, at + i - begin, table, pending.at(i).time);
                end = begin;
            }
        });
    }
    return newRows;
}

void SMSUIMainDlg::releaseALLSMSTables()
{
    for (SMSUITableWidget* table : qAsConst(m_hashTables))
        delete table;   // its delegate is its child
    m_hashTables.clear();
    m_setTablesToMake.clear();
    delete findChild<QTableWidget*>(QStringLiteral("Empty Table"));
    m_pTableWidgetSms = nullptr;
}

void SMSUIMainDlg::onSMSReceiverecordRecieved(int)
{
    if (!m_pStatusLogicObject) {
        SMS_LOG("%s: %s: %s : wrong Input");
        return;
    }
    const QList<SMSLocalRecordPtr> received = m_pStatusLogicObject->TakeReceivedRecords();
    if (received.isEmpty()) {
        SMS_LOG("%s: %s: %s: invalid input param");
        return;
    }
    // Everything that arrived since the last turn goes into each table in one update; the tables
    // are visited in the order the first message of each names them.
    QList<int> order;
    QHash<int, QList<SMSLocalRecordPtr>> perTable;
    auto route = [&](int node, const SMSLocalRecordPtr& rec) {
        if (!perTable.contains(node))
            order << node;
        perTable[node] << rec;
    };
    for (const SMSLocalRecordPtr& rec : received) {
        switch (rec->iNode) {
        case 1: case 5: route(rec->iNode, rec); route(13, rec); break;
        case 7: route(7, rec); route(12, rec); break;
        case 9: route(9, rec); route(14, rec); break;
        case 10: route(10, rec); route(13, rec); break;
        default: break;
        }
    }
    for (int node : qAsConst(order))
        addRecordsToSMSTable(node, perTable.value(node));
    updateTreeNodeCounts();
    if (m_pTableWidgetSms && m_pTableWidgetSms->selectedItems().isEmpty() && m_pTreeWidget->currentItem())
        loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
}

void SMSUIMainDlg::onSMSSentrecordRecieved(int msgId)
{
    if (!m_pStatusLogicObject) {
        SMS_LOG("%s: %s: %s : wrong Input");
        return;
    }
    // One record per signal: several sends may end before this slot runs, and each signal
    // brings its own message.
    const SMSLocalRecordPtr rec = m_pStatusLogicObject->TakeSentRecord(msgId);
    if (!rec) {
        SMS_LOG("%s: %s: %s: invalid input param");
        return;
    }
    addRecToSMSTable(m_bSentItemsBox && rec->iStatus == 0 ? NODE_LOCAL_SENT : NODE_LOCAL_OUTBOX, rec);
    addRecToSMSTable(NODE_LOCAL_ROOT, rec);
    updateTreeNodeCounts();
    if (m_pTableWidgetSms && m_pTableWidgetSms->selectedItems().isEmpty() && m_pTreeWidget->currentItem())
        loadPreviewtextOnTreeNodeClick(m_pTreeWidget->currentItem()->text(0));
}

void SMSUIMainDlg::updateSIMNVTables()
{
    if (!m_pStatusLogicObject)
        return;
    m_pStatusLogicObject->PopulateSMSFromSDK(MEM_SIM);
    m_pStatusLogicObject->PopulateSMSFromSDK(MEM_DEVICE);
    for (int node = 6; node <= 14; ++node)
        syncSMSTableWithBuffers(node);
}

void SMSUIMainDlg::OnHeaderClicked(int)
{
    if (!m_pTableWidgetSms)
        return;
    activateWindow();
    m_pTableWidgetSms->viewport()->update();
}

void SMSUIMainDlg::onTableSelectionChanged()
{
    const int row = m_pTableWidgetSms ? m_pTableWidgetSms->currentRow() : 0;
    if (row == -1)
        return;
    onClickTableRow(row);
}

void SMSUIMainDlg::onClickTableRow(int)
{
    QMutexLocker lock(&m_mutexRowClick);
    if (IsWorkerRunning()) {
        SMS_DEBUG("%s: %s: Exit directly, m_SMSThreadInst is running.", SMSLog::now().constData(), __func__);
        return;
    }
    enableToolItem(9001);
    m_strPreviewHtml.clear();
    stopPlayingSound();
    if (!m_pTextPreview || !m_pStatusLogicObject || !m_pTableWidgetSms)
        return;
    const QList<QTableWidgetItem*> selected = m_pTableWidgetSms->selectedItems();
    const int rows = selected.size() / 3;
    if (rows == 0) {
        for (int id : {9002, 9003, 9004, 9001, 9005})
            disableToolItem(id);
        showFolderSummary();
    }
    if (selected.isEmpty())
        return;
    const SMSLocalRecordPtr record = UITableItem::RecordOf(selected.first());
    if (!record)
        return;
    const QString name = prepareMessagePreview(record);
    notifyStatusBar();
    showMessagePreview(name, m_strPreviewContent, record, rows);
    enableDisableForMultipleSelection(rows);
    onTableRowClickEnableDisable();
    if (m_iSelectedTreeNode == NODE_SIM_ROOT || m_iSelectedTreeNode == NODE_LOCAL_ROOT || m_iSelectedTreeNode == NODE_DEVICE_ROOT) {
        switch (record->iNode) {
        case 0: case 3: case 6: case 8: case 15: disableToolItem(9003); break;
        case 2: disableToolItem(9003); disableToolItem(9004); break;
        case 4: case 5: case 10: disableToolItem(9003); disableToolItem(9004); disableToolItem(9002); break;
        default: break;
        }
    }
    update();
}

void SMSUIMainDlg::onCtrlAPressedOnTable()
{
    if (!m_pTableWidgetSms) {
        SMS_LOG("%s: %s: %s : no table shown");
        return;
    }
    m_pTableWidgetSms->selectAll();
    const int n = m_pTableWidgetSms->rowCount();
    switch (m_iSelectedTreeNode) {
    case 0: case 2: case 3: case 4: case 6: case 8: case 15:
        if (n == 0) {
            disableToolItem(9001);
        } else {
            if (n > 1)
                m_pTextPreview->clear();
            enableToolItem(9001);
        }
        break;
    default:
        if (n == 0) {
            for (int id : {9002, 9003, 9004, 9001, 9005})
                disableToolItem(id);
        } else {
            onClickTableRow(0);
            enableToolItem(9001);
        }
        break;
    }
}

void SMSUIMainDlg::OpenMessage(int node, int msgId)
{
    QTreeWidgetItem* folder = TreeItem(node);
    if (!m_pTreeWidget || !isOnScreen(folder)) {
        ViewSmsInbox();
        return;
    }
    // A batch moving messages in or out of this folder rebuilds its table when done; selecting a
    // row now would point at a row that is about to change.
    if (IsWorkerRunning() && m_SMSThreadInst->WorkKind() != SMSThreadUI::WorkSend
        && (m_SMSThreadInst->TargetNode() == node || m_SMSThreadInst->SourceNode() == node)) {
        SMS_LOG("%s: %s: %s:Returning the control since smsThread is already running");
        return;
    }
    if (QTreeWidgetItem* current = m_pTreeWidget->currentItem())
        current->setSelected(false);
    folder->setSelected(true);
    m_pTreeWidget->setCurrentItem(folder);
    if (!m_pTableWidgetSms || m_pTableWidgetSms->rowCount() == 0)
        return;
    int target = 0;
    for (int row = 0; row < m_pTableWidgetSms->rowCount(); ++row) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(m_pTableWidgetSms->item(row, 0));
        if (msgId >= 0 && rec && rec->iMsgId == msgId) {
            target = row;
            break;
        }
    }
    m_pTableWidgetSms->setFocus();
    m_pTableWidgetSms->setCurrentCell(target, 0);
    enableToolItem(9001);
    onClickTableRow(target);
}

void SMSUIMainDlg::ViewSmsInbox()
{
    QTreeWidgetItem* localInbox = TreeItem(NODE_LOCAL_INBOX);
    if (!m_pTreeWidget || !localInbox)
        return;
    if (IsWorkerRunning() && m_SMSThreadInst->WorkKind() != SMSThreadUI::WorkSend) {
        const auto inboxLike = [](int node) { return node == 1 || node == 7 || node == 9; };
        if (inboxLike(m_SMSThreadInst->TargetNode()) || inboxLike(m_SMSThreadInst->SourceNode())) {
            SMS_LOG("%s: %s: %s:Returning the control since smsThread is already running");
            return;
        }
    }
    if (QTreeWidgetItem* current = m_pTreeWidget->currentItem(); current && current->isSelected())
        current->setSelected(false);
    else
        localInbox->setSelected(false);
    // The folder the last message went to; the PC's inbox for anything else or a hidden folder.
    int node = NODE_LOCAL_INBOX;
    switch (m_iNewMsgNode) {
    case NODE_SIM_INBOX: case NODE_LOCAL_REPORT: case NODE_DEVICE_INBOX: case NODE_LOCAL_CBS:
        node = m_iNewMsgNode;
        break;
    default:
        break;
    }
    QTreeWidgetItem* target = TreeItem(node);
    if (!isOnScreen(target))
        target = localInbox;
    m_pTreeWidget->clearSelection();
    target->setSelected(true);
    m_pTreeWidget->setCurrentItem(target);
    if (m_pTableWidgetSms) {
        m_pTableWidgetSms->setFocus();
        m_pTableWidgetSms->setCurrentCell(0, 0);
        enableToolItem(9001);
        if ((m_iSelectedTreeNode == NODE_LOCAL_INBOX || m_iSelectedTreeNode == NODE_SIM_INBOX) && m_bCanSendSms)
            for (int id : {9002, 9003, 9004})
                enableToolItem(id);
        onClickTableRow(0);
    }
}
