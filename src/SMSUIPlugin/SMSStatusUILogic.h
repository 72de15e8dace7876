// The message store: every message the page shows, the device-service callbacks and the
// questions about device, SIM and memory state.
#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>

class SMSStatusUILogic : public QObject
{
    Q_OBJECT
public:
    static SMSStatusUILogic* Instance();
    static SMSStatusUILogic* Existing();
    static void Release();

    // Registers the device-service callbacks: 0 success, 1 failure.
    int InitStatusLogic();
    void unSDKRegisterEvent();
    // The function handed to the device service; runs on the service's event thread.
    static int SmsCallBackMethod(int event, void* data);

    int GetUnReadSMSTotalCount();
    void SyncBuffersWithPB();
    bool IsNamesStale() const { return m_bNamesStale.load(); }
    void SetNamesStale(bool stale) { m_bNamesStale.store(stale); }

    // A number field as the user types it: numbers separated by ";", each made of
    // "+0123456789*#", a "+" only at the start of a number. The empty text passes.
    bool IsValidNumber(const QString& numbers) const;

signals:
    void Device_SimStatus(bool);
    void Network_Status(bool);
    void NewMsg_Event(QString content, QString sender, QString time, int node, int ordinary);
    void SMSSimStatus(bool);
    void memoryStatus(int);
    void SmsSendResult(bool);
    void InitStorageType(int);
    void SMSSentRecord(int msgId);
    void SMSReceiveRecord(int msgId);
    void PBSIMNVReady();
    void DeleteSMSInUiService(int msgId, int node, int memPosition, bool permanent);
    void progressbarCloseEvent(int status);
    void CallBackDelete(int msgId, int node);

private:
    SMSStatusUILogic();
    ~SMSStatusUILogic() override;

    const QString m_strNumberChars = QStringLiteral("+0123456789*#;");
    std::atomic<bool> m_bNamesStale{false};
};
