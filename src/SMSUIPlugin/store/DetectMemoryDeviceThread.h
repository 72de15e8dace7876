// Waits until a card memory (SIM or device) can be read, then tells the window.
#pragma once

#include <QMutex>
#include <QThread>
#include <atomic>

class DetectMemoryDeviceThread : public QThread
{
    Q_OBJECT
public:
    explicit DetectMemoryDeviceThread(int memPosition, QObject* parent = nullptr);
    int MemPosition() const { return m_iMemPosition; }
    void SetStop(bool stop) { m_bStop.store(stop); }
    bool IsStopRequested() const { return m_bStop.load(); }
    // Poll interval; the device answers "not ready" while it reads the card.
    void SetPollInterval(int ms) { m_iPollMs = ms; }

signals:
    void signalReadSIM(int memPosition);

protected:
    void run() override;

private:
    bool memoryReadable();

    int m_iMemPosition;
    std::atomic<bool> m_bStop{false};
    QMutex m_mutexRun;
    int m_iPollMs = 1000;
};
