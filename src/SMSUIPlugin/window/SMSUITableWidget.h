// A message table. Knows its window and its folder; it is where a drag of messages starts.
//
// It also keeps two answers that would otherwise take a walk over every row: which row shows a
// message id, and how many rows show an unread message. Both are worked out on first use after
// anything changed the rows behind the window's back (rows inserted or removed, a cell set,
// taken or deleted: the model tells); the window's own row changes keep them up to date with
// NoteRowsAdded / NoteRecordReplaced instead of throwing them away.
#pragma once

#include "store/SMSLocalRecord.h"

#include <QHash>
#include <QPoint>
#include <QTableWidget>
#include <QVector>

class SMSUIMainDlg;

class SMSUITableWidget : public QTableWidget
{
    Q_OBJECT
public:
    SMSUITableWidget(int node, SMSUIMainDlg* window, QWidget* parent = nullptr);
    ~SMSUITableWidget() override;
    int Node() const { return m_iNode; }
    // Whether the rows were ever filled from the store (SMSUIMainDlg::Table fills on first use).
    bool IsFilled() const { return m_bFilled; }
    void SetFilled(bool filled) { m_bFilled = filled; }
    SMSUIMainDlg* Window() const { return m_pWindow; }
    static const char* MimeType() { return "Text/stringids"; }
    // Starts the drag of the prepared messages; returns when it is dropped or abandoned.
    void performDrag();

    // The three cells of the (first) row showing message `msgId`; all null when none does. Rows
    // are looked at from the top and the search ends at the first row without a column-0 cell,
    // as a walk would.
    struct RowCells {
        QTableWidgetItem* cell[3] = {nullptr, nullptr, nullptr};
    };
    RowCells CellsForMessage(int msgId);
    // Rows whose column-0 cell holds an unread record (iReadFlag 1).
    int UnreadRows();
    // Keeps the answers current across a change the window made itself. `before` is what
    // Answers() said before the change; the change's own model signals are then forgiven.
    struct AnswerState {
        bool index = false;
        bool unread = false;
    };
    AnswerState Answers() const { return {m_bIndexValid && !m_bIndexStopped, m_bUnreadValid}; }
    void NoteRowsAdded(AnswerState before, const QList<RowCells>& rows);
    void NoteRecordReplaced(const SMSLocalRecordPtr& before, const SMSLocalRecordPtr& after);
    // The table was just filled with exactly these rows (in any order): the answers are taken
    // from them instead of from a walk over every row on first use.
    void NoteFilled(const QVector<RowCells>& rows);
    // Changes that are about to set many cells at once switch the per-cell model signals off;
    // the view is repainted and the answers are worked out afresh afterwards.
    void BeginBulkChange();
    void EndBulkChange();

public slots:
    void OnDragTargetChanged(QWidget* target);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressInLeftHalf(const QPoint& pos) const;
    void forgetAnswers();
    void buildIndex();

    QHash<int, RowCells> m_hashRowsById;
    bool m_bIndexValid = false;
    bool m_bIndexStopped = false;   // a row without a column-0 cell ended the walk
    int m_iUnread = 0;
    bool m_bUnreadValid = false;
    bool m_bSignalsWereBlocked = false;
    bool m_bFilled = false;

    int m_iNode;
    SMSUIMainDlg* m_pWindow;
    QPoint m_pressPos;
    bool m_bDragArmed = false;
    // A press on a row of a multi-row selection keeps the selection for a drag; the row alone is
    // selected at release if no drag came of it.
    bool m_bSelectionKept = false;
};
