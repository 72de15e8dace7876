// The message store: every message the page shows, grouped by folder; loading from the device
// service; device events turned into signals; message operations; device, SIM and memory status.
//
// Threads: the GUI thread, the device service's event thread (callbacks) and the worker call in.
// Every access to the buffers holds m_mutexBuffer; building a record from a device record and
// inserting it holds m_mutexSort first (always in that order, never recursively). Callbacks are
// serialised by a process-wide callback mutex. Records are shared, see SMSLocalRecord.h.
#pragma once

#include "store/SMSLocalRecord.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>
#include <atomic>
#include <functional>
#include <cstdint>

struct SMSDeviceRecord;
class QThread;

using SMSFolderBuffer = QHash<int, SMSLocalRecordPtr>;
// Phone-book answers (found, name) by number, kept by one caller for the length of one job.
using SMSNameCache = QHash<QString, QPair<bool, QString>>;

class SMSStatusUILogic : public QObject
{
    Q_OBJECT
public:
    static SMSStatusUILogic* Instance();
    static SMSStatusUILogic* Existing();
    static void Release();

    // What the layers above the store own, handed down so that the store (and the device thread
    // it converts records on) never reaches up into a widget. The window says whether it is shown
    // and whether sent PC messages go to Sent Items; the popup and the settings logic register
    // themselves while they exist.
    void SetWindowState(bool shown, bool sentItemsBox);
    static void SetNotifyHandler(std::function<void(const QString&)> show);
    static void SetConfigLookup(std::function<QString(const QString&)> lookup);

    // ---- records and locations ----
    int populateSDKRecordToLocalStructure(SMSDeviceRecord* device, SMSLocalRecord* local);
    // The device record's text pointers point into `local`: valid while `local` lives unchanged.
    int populateLocalRecordToSDKStructure(SMSDeviceRecord* device, SMSLocalRecord* local);
    static int GetMemPosition(int node);
    static int GetParentPos(int node);
    static void GetToandInitalPosForMoveCopyOp(int node, int* toNode, int* initialNode);
    static QString getUIDisplayTime(const QString& time);
    // What the system locale's short format shows for `when` (empty for an invalid time).
    static QString displayTime(const QDateTime& when);
    // The time field as a date and time: now for "00000000000000", invalid for anything else
    // that is not "yyyyMMddhhmmss".
    static QDateTime parseTime(const QString& time);
    static QString getMessagePriority(int priority, bool hideA, bool hideB);
    QString getReportContentMsg(int reportStatus, const QString& content, int* result);

    // ---- buffers and loading ----
    void InsertSingleSMS(int node, int msgId, const SMSLocalRecordPtr& rec);
    SMSLocalRecord GetSingleSMS(int node, int msgId);
    SMSLocalRecordPtr GetSingleSMSPtr(int node, int msgId);
    SMSFolderBuffer getSmsBuffer(int node);
    // Grows with every change of the folder's buffer; a table that was filled at the same value
    // shows the buffer as it is.
    quint64 FolderGeneration(int node) const;
    void RemoveSMSFromMap(int node, int msgId, bool permanent);
    int DeleteSMSFromBuffer(int msgId, int node, int location, bool permanent);
    void DeleteListSMSFromBuffer(int node, int msgId);
    int ReleaseSmsBuffer(int memPosition);
    int ReleaseAllSmsBuffers();
    // `names`, when given, keeps the phone-book answers for the caller's next conversions; it
    // belongs to the caller's thread alone.
    int sortSMSToCorrespondingNodes(SMSDeviceRecord* device, SMSLocalRecordPtr* out, SMSNameCache* names = nullptr);
    int PopulateSMSFromSDK(int memPosition);
    // Reads a storage again, and only once the read succeeded makes the storage's folders exactly
    // what it holds (an empty storage empties them; messages gone from it go from them). A read
    // that fails leaves the folders as they were, so that nothing shown disappears because the
    // device could not answer. SMS_OK, or SMS_FAIL with the folders unchanged. Not while a job's
    // batch is open on another thread: the copies it made are not listed before its end.
    int ReloadSmsBuffer(int memPosition);
    int GetMessageIdList(int memPosition);
    // The ids of the last list read (by a load or GetMessageIdList), whichever thread read it.
    QList<int> LastReadIds() const;
    int GetSMSCount(int memPosition);
    bool GetSMSRecordCount(int memPosition);   // true = failure
    int UpdateSMSBufferUsingMsgID(int msgId, int node);
    int GetUnreadCountInNode(int node);
    int GetCountInNode(int node);
    int LoadAndCountUnread(int memPosition);
    int GetUnReadSMSTotalCount();
    bool IsAnyMessagesUnRead(int node);
    void SyncBuffersWithPB();
    void getNameByNumberFromPhoneBookEx(const QString& numbers, QString& names, QString& nameList, SMSNameCache* cache = nullptr);
    QString getNameByNumberFromPhoneBook(const QString& numbers);
    void addIconsToTable(SMSLocalRecord* rec);
    void storeTableImages();
    bool getTableImageFromFile(int index, QImage& out);
    QImage StatusImage(int index) const;

    // Records announced by SMSSentRecord / SMSReceiveRecord; the window takes them.
    QList<SMSLocalRecordPtr> TakeSentRecords();
    // The record announced by SMSSentRecord(msgId); the others stay for their own signals.
    SMSLocalRecordPtr TakeSentRecord(int msgId);
    QList<SMSLocalRecordPtr> TakeReceivedRecords();

    bool IsNamesStale() const { return m_bNamesStale.load(); }
    void SetNamesStale(bool stale) { m_bNamesStale.store(stale); }
    void SetLocal2Device(bool on) { m_bLocal2Device = on; }
    bool IsLocal2Device() const { return m_bLocal2Device; }
    int LastFromNode() const { return m_iLastFromNode; }
    int LastToNode() const { return m_iLastToNode; }

    // ---- device events ----
    int InitStatusLogic();
    void unSDKRegisterEvent();
    static int SmsCallBackMethod(int event, void* data);
    void onSmsReceive(SMSDeviceRecord* record);
    void showNotifyDialog(const QString& text);

    // ---- message operations ----
    // The device-service batch (ZSDK_SMSSrv_Begin/EndTransaction) of a job on the calling thread.
    // What the job takes out of a folder leaves the buffers at once but is stored only at the
    // batch's end; until then a load on another thread (the unread count, a card reader's report)
    // still lists it, and must leave it out. Both answer the device service's status.
    int BeginBatch(int memPosition);
    int EndBatch(int memPosition);
    bool DeleteSMS(int msgId, int node, int memPosition);
    int ForceDeleteSMS(int msgId, int node, int memPosition);
    int MoveSMS(const SMSLocalRecord* rec, int fromNode, int toNode, int mode);
    int CopySMS(const SMSLocalRecord* rec, int fromNode, int toNode, int mode);
    int RecoverSMS(const SMSLocalRecord* rec, int fromNode, int memPosition);
    int SaveMsgToDraft(const QString& number, const QString& content, SMSLocalRecordPtr* stored);
    int UpdateSms(const SMSLocalRecord* rec);
    int ReadUnReadSMS(int msgId, int node);
    int GetSMSRecordUsingID(int msgId, int node, SMSLocalRecord** out);
    // Whether messages of folder `source` may be dropped on folder `target`; `dragged` are the
    // records being dragged (they decide between Outbox and Sent Items for card outboxes).
    bool IsDropAllowed(int source, int target, const QList<SMSLocalRecordPtr>& dragged = {}) const;

    // ---- device, SIM and memory status ----
    bool IsDevAvailable();
    bool GetNetworkModeStatus();
    bool IsRFEnabled();
    int GetSimStatus(int* status);
    bool IsSimValidForSMS();
    bool GetMemorySatus(int* capacity, int* used, int memPosition);   // true = failure
    int GetSMSSetting(const QString& key, bool* value);
    QString GetSoundAlertFile();
    QString GetRegExpForNumberLimitCustomization();
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
    bool sentItemsView() const;
    int readBack(int newId, int toNode);
    int saveCopy(const SMSLocalRecord& rec, int toNode, bool keepId, bool targetIsOrigin, int32_t* newId);
    void noteIdsRead(QList<int> ids);
    // A record made from a device record, in no folder yet; null when it cannot be made.
    SMSLocalRecordPtr convertDeviceRecord(SMSDeviceRecord* device, SMSNameCache* names);
    // False for a record that is announced but never kept in a folder (a flash message).
    static bool keptInFolder(const SMSLocalRecord& rec);
    // The folders whose records a storage holds.
    static QList<int> storageFolders(int memPosition);
    void noteTakenOut(int msgId);

    QHash<int, SMSFolderBuffer> m_hashSMSBuffer;
    QHash<int, quint64> m_hashGeneration;   // under m_mutexBuffer
    QSet<int> m_setChangedInBatch;          // under m_mutexBuffer: see BeginBatch
    std::atomic<bool> m_bNamesStale{false};
    std::atomic<bool> m_bWindowShown{false};
    std::atomic<bool> m_bSentItemsBox{false};
    QString m_strPluginPath;
    QString m_strPluginDir = QStringLiteral("/plugins/SMSUIPlugin/");
    QList<SMSLocalRecordPtr> m_listSentRecords;
    QList<SMSLocalRecordPtr> m_listReceivedRecords;
    int m_iLastFromNode = 0;
    int m_iLastToNode = 0;
    SMSLocalRecord m_stScratchRecord;
    QThread* m_pDetectThread = nullptr;
    // The last count and id list read. Written by the GUI thread's loads and the card readers'
    // polls; nothing reads them to decide what a load shows (each load keeps its own).
    std::atomic<int> m_iIdCount{0};
    QList<int> m_listMsgIds;   // under m_mutexIds
    mutable QMutex m_mutexIds;   // only ever taken alone, for a copy or a swap
    QMutex m_mutexSort;
    mutable QMutex m_mutexBuffer;
    bool m_bLocal2Device = true;
    const QString m_strNumberChars = QStringLiteral("+0123456789*#;");
    QVector<QImage> m_listStatusImages;
};
