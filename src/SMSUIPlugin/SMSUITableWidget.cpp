#include "SMSUITableWidget.h"

#include "SMSLog.h"
#include "SMSUIMainDlg.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

SMSUITableWidget::SMSUITableWidget(int node, SMSUIMainDlg* window, QWidget* parent)
    : QTableWidget(parent), m_iNode(node), m_pWindow(window)
{
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
