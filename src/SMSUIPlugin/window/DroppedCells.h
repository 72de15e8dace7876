// Deletes table cells that a change took out of their table, a few thousand per turn of the
// event loop instead of all at once.
//
// A search that drops most rows of a large folder spent about a third of the keystroke freeing
// the dropped rows' cells (three heap objects each, plus their values and record references).
// A cell taken out of its table (QTableWidget::takeItem) has no view and nothing else refers to
// it, so it can wait: the table is shown first and the cells go in small steps afterwards. (A
// worker thread was tried: its frees contend with the GUI thread for the allocator and, on a busy
// machine, for the CPU, and the keystrokes got slower.) Whatever is left when the window goes is
// deleted then.
#pragma once

#include <QTimer>
#include <QVector>

class QTableWidgetItem;

class DroppedCells
{
public:
    // Cells deleted per turn of the event loop: about a millisecond's work.
    static constexpr int kCellsPerTurn = 4096;

    DroppedCells();
    ~DroppedCells();
    DroppedCells(const DroppedCells&) = delete;
    DroppedCells& operator=(const DroppedCells&) = delete;

    // Takes ownership of cells no table holds any more.
    void Dispose(const QVector<QTableWidgetItem*>& cells);
    // Cells handed over and not deleted yet.
    int Pending() const { return m_cells.size() - m_iNext; }
    // Deletes every pending cell now.
    void DeleteAll();

private:
    void deleteSome();

    QVector<QTableWidgetItem*> m_cells;
    int m_iNext = 0;   // m_cells before this index are deleted
    QTimer m_timer;
};
