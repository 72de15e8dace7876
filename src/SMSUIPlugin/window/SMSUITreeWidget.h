// The folder tree. Knows its window; it is the drop target for dragged messages.
#pragma once

#include <QStringList>
#include <QTreeWidget>

class SMSUIMainDlg;

class SMSUITreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit SMSUITreeWidget(SMSUIMainDlg* window, QWidget* parent = nullptr);
    SMSUIMainDlg* Window() const { return m_pWindow; }
    QStringList& DroppedIds() { return m_listDroppedIds; }
    void smsItemSelectionChanged() { emit itemSelectionChanged(); }
    // The folder whose row contains `pos` (viewport coordinates); 16 for none.
    int FolderAt(const QPoint& pos) const;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    SMSUIMainDlg* m_pWindow;
    QStringList m_listDroppedIds;
};
