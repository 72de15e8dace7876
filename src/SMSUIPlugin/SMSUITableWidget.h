// A message table. Knows its window (the drag source code uses it) and its folder.
#pragma once

#include <QTableWidget>

class SMSUIMainDlg;

class SMSUITableWidget : public QTableWidget
{
    Q_OBJECT
public:
    SMSUITableWidget(int node, SMSUIMainDlg* window, QWidget* parent = nullptr);
    int Node() const { return m_iNode; }
    SMSUIMainDlg* Window() const { return m_pWindow; }

public slots:
    void OnDragTargetChanged(QWidget* target);

private:
    int m_iNode;
    SMSUIMainDlg* m_pWindow;
};
