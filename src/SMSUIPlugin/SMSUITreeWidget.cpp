#include "SMSUITreeWidget.h"

SMSUITreeWidget::SMSUITreeWidget(SMSUIMainDlg* window, QWidget* parent) : QTreeWidget(parent), m_pWindow(window) {}
