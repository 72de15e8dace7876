#include "window/DroppedCells.h"

#include <QTableWidgetItem>

DroppedCells::DroppedCells()
{
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { deleteSome(); });
}

DroppedCells::~DroppedCells()
{
    DeleteAll();
}

void DroppedCells::Dispose(const QVector<QTableWidgetItem*>& cells)
{
    if (cells.isEmpty())
        return;
    if (Pending() == 0) {
        m_cells = cells;
        m_iNext = 0;
    } else {
        m_cells += cells;
    }
    if (!m_timer.isActive())
        m_timer.start();
}

void DroppedCells::deleteSome()
{
    const int end = qMin(m_cells.size(), m_iNext + kCellsPerTurn);
    // The index moves before each delete: nothing deleted is ever deleted again.
    while (m_iNext < end)
        delete m_cells.at(m_iNext++);
    if (Pending() == 0) {
        m_timer.stop();
        m_cells.clear();
        m_iNext = 0;
    }
}

void DroppedCells::DeleteAll()
{
    m_timer.stop();
    while (m_iNext < m_cells.size())
        delete m_cells.at(m_iNext++);
    m_cells.clear();
    m_iNext = 0;
}
