// Control of the simulated modem: what the network, the SIM card and the hardware would do.
// Used by the tests and by the frame's Device menu; the plug-in never calls it.
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace ZsdkSim {

struct Options {
    QString databasePath;        // empty: <app data>/zsdk-sim.sqlite (or $ZSDK_DATABASE)
    bool seed = true;            // put a few messages and contacts into a new, empty store
    int simReadDelayMs = 1500;   // how long a SIM (and the device memory) "reads" after start
    int deviceReadDelayMs = 800;
    int pcCapacity = 1000000;   // the computer's disk: years of messages
    int simCapacity = 50;
    int deviceCapacity = 100;
};

// Takes effect at the next start of the service: call before the first ZSDK_* call or after
// Shutdown().
void Configure(const Options& options);
// Closes the service: the event thread is stopped (queued events are dropped), calls still running
// are waited for, open batches are dropped, the database is closed. Calls made meanwhile fail with
// ZSDK_E_SHUTDOWN; the next ZSDK_* call after it returns starts the service again.
void Shutdown();
// Blocks until no device event is being delivered or due within the timeout; false on timeout.
bool WaitForEvents(int timeoutMs = 5000);
QString DatabasePath();
// What happened when the store was opened (e.g. a damaged file set aside), in words for the user;
// empty when all was well.
QString OpenNote();
enum class StoreStatus {
    Healthy,      // messages are read and stored
    SetAside,     // a damaged store was renamed aside (see OpenNote) and a new one started
    ReadOnly,     // messages are shown but changes cannot be stored
    Unavailable   // no store: locked by another program, foreign or newer, or cannot be created
};
StoreStatus StoreState();

struct Incoming {
    int mem = 0;             // storage for normal messages: 0 PC, 1 SIM, 2 device
    QString number;
    QString text;
    int kind = 0;            // 0 normal, 1 delivery report (PC report folder), 2 cell broadcast
    int msgClass = 3;        // 0 = flash message: announced, not stored
    QString time;            // "yyyyMMddhhmmss"; empty = now
    int reportStatus = 0;    // delivery reports: 0 delivered, 0x22 pending, other failed
};
// Stores the message (unless it is a flash message) and announces it with event 1. Returns the
// new id, -1 for a flash message or when the storage is full (memory-full event instead).
int InjectMessage(const Incoming& message);
// Event 5 as a device that deleted a message itself would send it.
bool DeviceDeletesMessage(int id);

void SetSimPresent(bool present);
void SetPinState(int state);
void SetDevicePresent(bool present);
void SetRadio(bool on);
void SetNetworkService(bool available);
void SetMultiModeCard(bool multiMode);
// While set, ZSDK_DevSrv_GetMultiModeCardStatus fails (ZSDK_E_FAIL), as a busy modem may answer.
void FailMultiModeQuery(bool fail);
void SetProductType(int type);
void SetSimType(int type);
void SetReadDelay(int mem, int ms);
void SetCapacity(int mem, int capacity);
// Fills the storage to its capacity with generated messages, announces each as received and
// reports the storage full.
void FillMemory(int mem);
void FailNextSends(int parts);
void SetSendDelay(int msPerPart);
// The store's file may grow by at most `pages` pages of 4 kB from now on (0: no limit), as on a
// nearly full disk.
void LimitStoreGrowth(int pages);
bool AddContact(const QString& name, const QString& number);
// The phone book: name and number of every contact, in the order they were added.
QList<QPair<QString, QString>> Contacts();
void SignalPhoneBookReady();
void SignalDeviceInitialised();

} // namespace ZsdkSim
