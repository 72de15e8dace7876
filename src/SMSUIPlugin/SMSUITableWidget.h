// A message table. Knows its window and its folder; it is where a drag of messages starts.
#pragma once

#include <QPoint>
#include <QTableWidget>

class SMSUIMainDlg;

class SMSUITableWidget : public QTableWidget
{
    Q_OBJECT
public:
    SMSUITableWidget(int node, SMSUIMainDlg* window, QWidget* parent = nullptr);
    int Node() const { return m_iNode; }
    SMSUIMainDlg* Window() const { return m_pWindow; }
    static const char* MimeType() { return "Text/stringids"; }
    // Starts the drag of the prepared messages; returns when it is dropped or abandoned.
    void performDrag();

public slots:
    void OnDragTargetChanged(QWidget* target);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressInLeftHalf(const QPoint& pos) const;

    int m_iNode;
    SMSUIMainDlg* m_pWindow;
    QPoint m_pressPos;
    bool m_bDragArmed = false;
    // A press on a row of a multi-row selection keeps the selection for a drag; the row alone is
    // selected at release if no drag came of it.
    bool m_bSelectionKept = false;
};
