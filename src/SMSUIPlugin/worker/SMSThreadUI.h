// The background worker: sends a message, or deletes, recovers, moves or copies a list of
// messages inside one device-service batch, reporting every record with a signal. A process-wide
// cancel flag stops a running loop between two records.
#pragma once

#include "store/SMSLocalRecord.h"

#include <QList>
#include <QString>
#include <QThread>

class SMSThreadUI : public QThread
{
    Q_OBJECT
public:
    enum WorkKind {
        WorkDelete = 0,
        WorkNone = 1,
        WorkSend = 2,
        WorkRecover = 3,
        WorkDragMove = 4,
        WorkMove = 5,
        WorkCopy = 6,
        WorkCopy7 = 7,
        WorkCopy8 = 8,
        WorkDragCopy = 9,
        WorkNothing = 10,
        WorkCancelSend = 11
    };

    SMSThreadUI();

    void setWork(int kind, const QList<SMSLocalRecordPtr>& records, int memPosition, int targetNode, int sourceNode);
    void setSendWork(int kind, const QString& number, const QString& content);
    static void requestCancel();
    static void clearCancel();
    static bool isCancelRequested();

    int WorkKind() const { return m_iWorkKind; }
    int TargetNode() const { return m_iTargetNode; }
    int SourceNode() const { return m_iSourceNode; }
    // The main window keeps the "SentItemsBox" switch; drag jobs consult it.
    void SetSentItemsBox(bool on) { m_bSentItemsBox = on; }

signals:
    void deleteSignalEvent(int);
    void SendSignalEvent(bool, int);
    void recoverSignalEvent(bool, int);
    void moveOrCopyEvent(bool, int);
    void smsDragged(bool);
    // The device did not take the message: no per-part result will come for it.
    void sendNotStarted();
    // The device could not commit the batch: none of the records reported done was kept.
    void batchNotStored();

public slots:
    void onSendResult(bool bSendResult);

protected:
    void run() override;

private:
    void sendSmsWork();
    void cancelSendWork();
    void recordLoop();
    void handleRecord(int i, const SMSLocalRecord& record, int* destination);
    int moveCopyDestination(const SMSLocalRecord& record, int previous) const;
    bool dragRefused(const SMSLocalRecord& record) const;

    int m_iWorkKind = 0;
    QList<SMSLocalRecord> m_listRecords;
    int m_iMemPosition = 0;
    int m_iTargetNode = 0;
    int m_iSourceNode = 0;
    QString m_strNumber;
    QString m_strContent;
    bool m_bSentItemsBox = false;
};
