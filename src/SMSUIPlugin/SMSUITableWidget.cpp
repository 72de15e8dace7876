#include "SMSUITableWidget.h"

SMSUITableWidget::SMSUITableWidget(int node, SMSUIMainDlg* window, QWidget* parent)
    : QTableWidget(parent), m_iNode(node), m_pWindow(window)
{
}

void SMSUITableWidget::OnDragTargetChanged(QWidget*) {}
