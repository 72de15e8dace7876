// The simulated modem: PC, SIM and device memories in the SQLite store, a SIM, a radio and a
// network that the control API switches, and sends that report their results as events.
#pragma once

#include "DeviceBackend.h"
#include "PhoneNumber.h"
#include "SimControl.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QVector>
#include <functional>
#include <memory>

class SimModem : public DeviceBackend
{
public:
    SimModem(const ZsdkSim::Options& options, EventDispatcher* events);
    ~SimModem() override;

    QString openNote() const { QMutexLocker lock(&m_mutex); return m_openNote; }
    struct StoreState {
        SmsDatabase::State state;
        bool setAside;
        QString note;
    };
    StoreState storeState() const;
    QString databasePath() const { return m_db.path(); }

    // DeviceBackend
    int recordCount(int mem, int* count) override;
    int idList(int mem, QVector<int>* ids) override;
    int getMessage(int id, int mem, StoredMessage* out) override;
    int messages(int mem, QVector<StoredMessage>* out) override;
    int saveMessage(StoredMessage& message) override;
    // A message received from the network: stored outside every batch and synced to disk before
    // it is announced.
    int saveReceived(StoredMessage& message) { return store(message, true); }
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

    // control
    int inject(const ZsdkSim::Incoming& message);
    bool deviceDeletes(int id);
    void setSimPresent(bool present);
    void setPinState(int state);
    void setDevicePresent(bool present);
    void setRadio(bool on);
    void setNetworkService(bool available);
    void setMultiModeCard(bool multiMode);
    void failMultiModeQuery(bool fail);
    void setProductType(int type);
    void setSimType(int type);
    void setReadDelay(int mem, int ms);
    void setCapacity(int mem, int capacity);
    void fillMemory(int mem);
    void failNextSends(int parts);
    void setSendDelay(int ms);
    void limitStoreGrowth(int pages);
    bool addContact(const QString& name, const QString& number);
    QList<QPair<QString, QString>> contactList();
    void signalPhoneBookReady();
    void signalDeviceInitialised();

    static int memoryOfFolder(int node);

private:
    struct PendingSend {
        bool cancelled = false;
    };

    int checkMemory(int mem);               // caller holds m_mutex
    // `syncLater`: a received message announced through postArrival, which syncs it first.
    int store(StoredMessage& message, bool received, bool syncLater = false);
    void postArrival(const StoredMessage& message);
    void syncArrivals();
    int capacity(int mem) const;
    // Queues a task that uses this modem; the destructor drops what has not run.
    void post(std::function<void()> task, int delayMs = 0);
    void postStatus(int code, int delayMs = 0);
    void postMessageEvent(int event, const StoredMessage& message, int delayMs = 0);
    void seed();
    void loadContacts();
    void scheduleReady(int mem, int delayMs);

    mutable QMutex m_mutex;
    SmsDatabase m_db;
    EventDispatcher* m_events;
    QString m_openNote;
    DeviceState m_state;
    int m_capacity[3];
    int m_readDelay[3] = {0, 0, 0};
    QElapsedTimer m_clock;
    qint64 m_readyAt[3] = {0, 0, 0};
    bool m_unsyncedArrivals = false;   // received messages committed but not yet synced to disk
    int m_failParts = 0;
    int m_sendDelay = 0;
    QHash<const void*, std::shared_ptr<PendingSend>> m_sends;
    QVector<QPair<PhoneNumber::Key, QString>> m_contacts;
};
