// The ModemManager side of the real-modem backend. Lives on the service's ModemManager thread;
// every ModemManagerQt object and every D-Bus call is made here. Finds the first modem with
// messaging, follows its state, turns its messages into card messages and its arrivals, status
// reports and send results into device-service events.
#pragma once

#include "MMState.h"

#include <ModemManagerQt/Modem>
#include <ModemManagerQt/Modem3Gpp>
#include <ModemManagerQt/ModemDevice>
#include <ModemManagerQt/ModemMessaging>
#include <ModemManagerQt/Sms>

#include <QHash>
#include <QObject>
#include <QSet>
#include <memory>

class EventDispatcher;
class SimModem;

class MMSession : public QObject
{
    Q_OBJECT
public:
    MMSession(std::shared_ptr<MMShared> shared, SimModem* pc, EventDispatcher* events, const MMOptions& options);
    ~MMSession() override;

    void start();

    // Card memories: store a copy (Create + Store), delete one.
    int storeOnCard(StoredMessage& message, int mem);
    int deleteFromCard(int id, int mem);
    int send(const void* handle, const QStringList& recipients, const QString& text, int parts);
    int cancelSend(const void* handle);

private:
    struct SendJob;

    void lookForModem();
    void attach(const ModemManager::ModemDevice::Ptr& device);
    void detach(const QString& why);
    void refreshState();
    void listMessages();
    void watch(const ModemManager::Sms::Ptr& sms);
    void consider(const QString& path);
    void arrived(const ModemManager::Sms::Ptr& sms);
    void importReport(const ModemManager::Sms::Ptr& sms);
    void onDeleted(const QString& path);
    bool isCardMessage(const ModemManager::Sms::Ptr& sms) const;
    StoredMessage cardRecord(const ModemManager::Sms::Ptr& sms, int mem, int msgClass) const;
    int bindToStore(const ModemManager::Sms::Ptr& sms, int mem, int readFlag, int node);
    int readClass(const QString& path);
    void deleteOnModem(const QString& path, const char* why);
    void publishCards();

    void nextSend();
    void sendOne(const std::shared_ptr<SendJob>& job);
    void recipientDone(const std::shared_ptr<SendJob>& job, bool ok, const QString& error);
    void finishJob(const std::shared_ptr<SendJob>& job);
    void rememberReference(const std::shared_ptr<SendJob>& job, int recipient, uint reference);

    void postStatus(int code);
    void postRecord(int event, const StoredMessage& message);
    void note(const QString& text);
    QString describe(const QString& errorName, const QString& message) const;

    std::shared_ptr<MMShared> m_shared;
    SimModem* m_pc;
    EventDispatcher* m_events;
    MMOptions m_options;

    ModemManager::ModemDevice::Ptr m_device;
    ModemManager::Modem::Ptr m_modem;
    ModemManager::ModemMessaging::Ptr m_messaging;
    ModemManager::Modem3gpp::Ptr m_3gpp;
    QList<QMetaObject::Connection> m_connections;

    QHash<QString, ModemManager::Sms::Ptr> m_sms;   // every message watched, by path
    QHash<QString, MMCardMessage> m_cards;          // card messages, by path
    QSet<QString> m_arrivals;                       // received, waiting to be complete
    QSet<QString> m_own;                            // created by this service (sends, stores)
    QSet<QString> m_deleting;                       // Delete asked, Deleted not yet seen
    int m_lastCanSend = -1;
    int m_lastSim = -1;

    QList<std::shared_ptr<SendJob>> m_sendQueue;
    std::shared_ptr<SendJob> m_current;
};
