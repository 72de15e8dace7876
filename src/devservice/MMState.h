// What the ModemManager session shares with the callers of the device service: the device state
// and the card messages it last saw. Guarded by `mutex`; the session writes, callers read.
#pragma once

#include "DeviceBackend.h"
#include "SmsDatabase.h"

#include <QMutex>
#include <QString>
#include <QVector>
#include <QWaitCondition>
#include <atomic>
#include <functional>

struct MMOptions {
    QString databasePath;    // empty: $ZSDK_MODEM_DATABASE, else <app data>/zsdk-modem.sqlite
    int timeoutMs = 5000;    // the longest any caller waits for ModemManager
    bool saveToPc = true;    // received messages go to the PC inbox (else they stay on the card)
    // Receives a short line for the status bar when something goes wrong; runs on the event thread.
    std::function<void(const QString&)> note;
};

// One message on the SIM or in the device memory, as the page sees it.
struct MMCardMessage {
    QString path;            // ModemManager's object path (changes when ModemManager restarts)
    StoredMessage message;   // id and read flag from the local store, the rest from ModemManager
};

struct MMShared {
    mutable QMutex mutex;
    DeviceState state;
    std::atomic<bool> stopped{false};   // no more events: the event thread is going away
    QWaitCondition looked;
    bool firstLookDone = false;
    bool attached = false;        // a modem with messaging is in use
    bool listed = false;          // its messages have been read
    bool deviceMemory = true;     // the modem offers storage "me"
    QString model;
    QString problem;              // for the status bar
    QVector<MMCardMessage> cards;
};
