// What the C API needs from a modem: the simulated modem (SimModem) and a real one through
// ModemManager (MMModem) implement it. Calls may block on the device for at most the service's
// timeout; results are ZSDK_* status codes; events go to the EventDispatcher.
#pragma once

#include "SmsDatabase.h"

#include <QString>
#include <QVector>

class EventDispatcher;

struct DeviceState {
    int devStatus = 3;        // 3 ready
    int simStatus = 1;        // 1 present and usable
    int pinState = 1;
    int pinTries = 3;
    int pukTries = 10;
    bool radioOn = true;
    bool powerOn = true;
    int netStatus = 2;        // 2 service available
    bool multiMode = false;
    bool multiModeQueryFails = false;   // simulated modem: the multi-mode question gets no answer
    int simType = 3;
    int productType = 0;
    QString imsi;
};

class DeviceBackend
{
public:
    virtual ~DeviceBackend() = default;

    virtual int recordCount(int mem, int* count) = 0;
    virtual int idList(int mem, QVector<int>* ids) = 0;
    virtual int getMessage(int id, int mem, StoredMessage* out) = 0;
    // Every message of `mem` in id order, as idList and one getMessage per id give them. This
    // default does exactly that; a backend with a cheaper way overrides it.
    virtual int messages(int mem, QVector<StoredMessage>* out);
    virtual int saveMessage(StoredMessage& message) = 0;           // storage from the folder; new id
    virtual int updateMessage(const StoredMessage& message) = 0;
    virtual int deleteMessage(int id, int mem) = 0;
    virtual int removeMessage(int id, int mem) = 0;
    // `handle` identifies the send for cancelSend; texts are copied.
    virtual int send(const void* handle, const QString& numbers, const QString& text) = 0;
    virtual int cancelSend(const void* handle) = 0;
    virtual int beginTransaction(int mem) = 0;
    virtual int endTransaction(int mem) = 0;
    virtual int recordInfo(int mem, int* capacity, int* used) = 0;
    virtual int memoryList(QVector<int>* types) = 0;

    virtual int setting(const QString& key, QString* value) = 0;
    virtual int setSetting(const QString& key, const QString& value) = 0;

    virtual DeviceState state() = 0;
    virtual int findName(const QString& number, QString* name, bool* found) = 0;
    virtual QString logDirectory() = 0;
    // What the status bar calls the device in use.
    virtual QString deviceName() { return QStringLiteral("Simulated modem"); }
    // Called before the event thread goes away: no events may be posted after it returns.
    virtual void stop() {}
};

inline int DeviceBackend::messages(int mem, QVector<StoredMessage>* out)
{
    QVector<int> ids;
    if (const int rc = idList(mem, &ids))
        return rc;
    QVector<StoredMessage> read(ids.size());
    for (int i = 0; i < ids.size(); ++i)
        if (const int rc = getMessage(ids.at(i), mem, &read[i]))
            return rc;
    *out = std::move(read);
    return 0;
}
