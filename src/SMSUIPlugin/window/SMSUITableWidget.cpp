#include "window/SMSUITableWidget.h"

#include "store/SMSLog.h"
#include "window/SMSUIMainDlg.h"
#include "window/UITableItem.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

SMSUITableWidget::SMSUITableWidget(int node, SMSUIMainDlg* window, QWidget* parent)
    : QTableWidget(parent), m_iNode(node), m_pWindow(window)
{
    QAbstractItemModel* rows = model();
    connect(rows, &QAbstractItemModel::rowsInserted, this, &SMSUITableWidget::forgetAnswers);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &SMSUITableWidget::forgetAnswers);
    connect(rows, &QAbstractItemModel::modelReset, this, &SMSUITableWidget::forgetAnswers);
    // A cell set, taken or deleted is announced without roles; a changed value or icon names its
    // role and leaves the cell (and its record) where it was.
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QVector<int>& roles) {
                if (roles.isEmpty())
                    forgetAnswers();
            });
}

SMSUITableWidget::~SMSUITableWidget()
{
    // The model outlives this part of the object and reports its own teardown.
    disconnect(model(), nullptr, this, nullptr);
}

void SMSUITableWidget::forgetAnswers()
{
    m_bIndexValid = false;
    m_bUnreadValid = false;
}

void SMSUITableWidget::buildIndex()
{
    m_hashRowsById.clear();
    m_hashRowsById.reserve(rowCount());
    m_bIndexStopped = false;
    for (int row = 0; row < rowCount(); ++row) {
        RowCells cells;
        cells.cell[0] = item(row, 0);
        if (!cells.cell[0]) {
            m_bIndexStopped = true;
            break;
        }
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(cells.cell[0]);
        if (!rec || m_hashRowsById.contains(rec->iMsgId))
            continue;
        cells.cell[1] = item(row, 1);
        cells.cell[2] = item(row, 2);
        m_hashRowsById.insert(rec->iMsgId, cells);
    }
    m_bIndexValid = true;
}

SMSUITableWidget::RowCells SMSUITableWidget::CellsForMessage(int msgId)
{
    if (!m_bIndexValid)
        buildIndex();
    return m_hashRowsById.value(msgId);
}

int SMSUITableWidget::UnreadRows()
{
    if (!m_bUnreadValid) {
        int unread = 0;
        for (int row = 0; row < rowCount(); ++row) {
            const SMSLocalRecordPtr rec = UITableItem::RecordOf(item(row, 0));
            unread += (rec && rec->iReadFlag == 1) ? 1 : 0;
        }
        m_iUnread = unread;
        m_bUnreadValid = true;
    }
    return m_iUnread;
}

void SMSUITableWidget::NoteRowsAdded(AnswerState before, const QList<RowCells>& rows)
{
    // An index that ended at a row without a column-0 cell is not extended (Answers() says so):
    // rows behind such a row are not found by a walk either.
    forgetAnswers();
    for (const RowCells& cells : rows) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(cells.cell[0]);
        if (!rec)
            continue;
        if (before.index && !m_hashRowsById.contains(rec->iMsgId))
            m_hashRowsById.insert(rec->iMsgId, cells);
        m_iUnread += rec->iReadFlag == 1 ? 1 : 0;
    }
    m_bIndexValid = before.index;
    m_bUnreadValid = before.unread;
}

void SMSUITableWidget::NoteRecordReplaced(const SMSLocalRecordPtr& before, const SMSLocalRecordPtr& after)
{
    if (!m_bUnreadValid)
        return;
    m_iUnread += (after && after->iReadFlag == 1 ? 1 : 0) - (before && before->iReadFlag == 1 ? 1 : 0);
}

void SMSUITableWidget::NoteFilled(const QVector<RowCells>& rows)
{
    m_hashRowsById.clear();
    m_hashRowsById.reserve(rows.size());
    m_iUnread = 0;
    for (const RowCells& cells : rows) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(cells.cell[0]);
        if (!rec)
            continue;
        if (!m_hashRowsById.contains(rec->iMsgId))
            m_hashRowsById.insert(rec->iMsgId, cells);
        m_iUnread += rec->iReadFlag == 1 ? 1 : 0;
    }
    m_bIndexStopped = false;
    m_bIndexValid = true;
    m_bUnreadValid = true;
}

void SMSUITableWidget::BeginBulkChange()
{
    m_bSignalsWereBlocked = model()->blockSignals(true);
}

void SMSUITableWidget::EndBulkChange()
{
    model()->blockSignals(m_bSignalsWereBlocked);
    forgetAnswers();
    viewport()->update();
}

bool SMSUITableWidget::pressInLeftHalf(const QPoint& pos) const
{
    QTableWidgetItem* item = itemAt(pos);
    if (!item)
        return false;
    const QRect cell = visualItemRect(item);
    // In a right-to-left layout the cell's start is its right edge.
    const int offset = isRightToLeft() ? cell.right() - pos.x() : pos.x() - cell.left();
    return offset <= columnWidth(item->column()) / 2;
}

void SMSUITableWidget::mousePressEvent(QMouseEvent* event)
{
    m_pressPos = event->pos();
    m_bDragArmed = false;
    m_bSelectionKept = false;
    if (m_pWindow)
        m_pWindow->SetDragInProgress(false);
    QTableWidgetItem* item = itemAt(m_pressPos);
    const bool leftHalf = event->button() == Qt::LeftButton && pressInLeftHalf(m_pressPos);
    const bool keepSelection = leftHalf && event->modifiers() == Qt::NoModifier && item && item->isSelected()
        && selectionModel()->selectedRows().size() > 1;
    if (keepSelection) {
        m_bSelectionKept = true;
        setFocus(Qt::MouseFocusReason);
    } else {
        QTableWidget::mousePressEvent(event);
    }
    if (!m_pWindow)
        return;
    if (!item) {
        m_pWindow->TablePressedOnEmptyArea();
        return;
    }
    m_bDragArmed = leftHalf;
    m_pWindow->PrepareDrag(this, leftHalf);
}

void SMSUITableWidget::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && m_bDragArmed && itemAt(m_pressPos)) {
        if ((event->pos() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_bDragArmed = false;
            m_bSelectionKept = false;
            performDrag();
        }
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

void SMSUITableWidget::performDrag()
{
    auto* drag = new QDrag(this);
    connect(drag, &QDrag::targetChanged, this, [this](QObject* target) { OnDragTargetChanged(qobject_cast<QWidget*>(target)); });
    auto* data = new QMimeData;
    data->setData(QLatin1String(MimeType()), QByteArray());
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction);
    if (m_pWindow)
        m_pWindow->SetDragInProgress(true);
}

void SMSUITableWidget::OnDragTargetChanged(QWidget*)
{
    if (m_pWindow)
        m_pWindow->RestoreCurrentTreeItem();
}

void SMSUITableWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QTableWidget::mouseReleaseEvent(event);
    if (m_bSelectionKept) {
        // No drag came of the press: it was a plain click on that row.
        m_bSelectionKept = false;
        if (QTableWidgetItem* item = itemAt(m_pressPos)) {
            setCurrentItem(item, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            emit cellClicked(item->row(), item->column());
        }
    }
    m_bDragArmed = false;
    if (m_pWindow)
        m_pWindow->TableReleased(itemAt(event->pos()) != nullptr);
}

void SMSUITableWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click opens the message; it must not also start an edit of the cell.
    QTableWidget::mousePressEvent(event);
    QTableWidget::mouseReleaseEvent(event);
    if (itemAt(event->pos()) && m_pWindow)
        m_pWindow->onDoubleClickedEditSMS();
}
