// A real modem through ModemManager (org.freedesktop.ModemManager1 on the system bus), reached
// with KDE's ModemManagerQt. The SIM memory is ModemManager's storage "sm", the device memory
// "me"; the PC memory, the settings, the phone book and the ids and read flags of card messages
// stay in the service's own SQLite store.
//
// Every D-Bus call runs on the service's ModemManager thread (MMSession lives there). A caller
// on another thread waits for it at most the service timeout; reads of the card lists and of the
// device state are answered from what the session last saw, without a D-Bus call.
#pragma once

#include "DeviceBackend.h"
#include "MMState.h"

#include <QHash>
#include <QMutex>
#include <QPair>
#include <QSet>
#include <QThread>
#include <QVector>

#include <functional>
#include <memory>

class EventDispatcher;
class MMSession;
class SimModem;

class MMModem : public DeviceBackend
{
public:
    MMModem(const MMOptions& options, EventDispatcher* events);
    ~MMModem() override;

    // Waits, at most the service timeout, until the first look at ModemManager is done; true
    // when a modem with messaging is in use.
    bool waitForFirstLook();
    // The line for the status bar when something is wrong (empty when all is well).
    QString problem() const;
    // The PC memory, settings and phone book: the store beside the modem, so that its state
    // (healthy, set aside, read-only, unavailable) can be told as with the simulated modem.
    SimModem* pcStore() const { return m_pc.get(); }

    int recordCount(int mem, int* count) override;
    int idList(int mem, QVector<int>* ids) override;
    int getMessage(int id, int mem, StoredMessage* out) override;
    int messages(int mem, QVector<StoredMessage>* out) override;
    int saveMessage(StoredMessage& message) override;
    int updateMessage(const StoredMessage& message) override;
    int deleteMessage(int id, int mem) override;
    int removeMessage(int id, int mem) override;
    int send(const void* handle, const QString& numbers, const QString& text) override;
    int cancelSend(const void* handle) override;
    int beginTransaction(int mem) override;
    int endTransaction(int mem) override;
    int recordInfo(int mem, int* capacity, int* used) override;
    int memoryList(QVector<int>* types) override;
    int setting(const QString& key, QString* value) override;
    int setSetting(const QString& key, const QString& value) override;
    DeviceState state() override;
    int findName(const QString& number, QString* name, bool* found) override;
    QString logDirectory() override;
    QString deviceName() override;
    void stop() override;

private:
    // Runs `job` on the ModemManager thread and waits for it, at most the service timeout.
    int onServiceThread(std::function<int(MMSession&)> job);
    int cardReadable(int mem) const;   // caller holds the shared mutex
    int deleteFromCardNow(int id, int mem);

    // A batch covers the PC store only: ModemManager cannot take a deletion from a card back.
    // A card deletion made by a thread while it has a batch open therefore waits for that batch
    // and is done once the batch is stored, and dropped when it was not. A message moved off a
    // card is so on the PC or still on the card, never in neither place.
    struct OpenBatches {
        QSet<int> locations;
        QVector<QPair<int, int>> cardDeletions;   // (id, memory)
    };
    QMutex m_batchMutex;
    QHash<Qt::HANDLE, OpenBatches> m_batches;   // by the thread that opened them

    std::shared_ptr<MMShared> m_shared;
    std::unique_ptr<SimModem> m_pc;
    MMSession* m_session = nullptr;
    int m_timeoutMs;
};
