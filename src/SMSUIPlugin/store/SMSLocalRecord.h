// One message as the plug-in holds it.
//
// Record lifetime: records are shared (SMSLocalRecordPtr). The store's buffers hold one
// reference; a buffer copy handed to the window, a table cell and the announcement lists hold
// their own. Removing a record from a buffer on any thread therefore never destroys it under a
// reader: the last holder frees it, whichever thread that is. A record in a buffer is never
// changed in place either: a change (moved to the trash, renamed from the phone book, re-read
// from the device) puts a new record in its place, so a reader on another thread always sees one
// consistent record. Nothing in the plug-in keeps a bare SMSLocalRecord* beyond the call it was
// given in.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QSharedPointer>
#include <QString>

struct SMSLocalRecord {
    int iMsgId = -1;
    int iReadFlag = 0;         // 1 unread, 0 read
    int iOrigNode = 0;         // folder before Trash, Favorite or Draft
    int iNode = 0;             // folder now
    int iStatus = 0;           // outgoing: 0 sent; report: 0 delivered
    QString strNumber = QStringLiteral(" ");
    QString strContent = QStringLiteral(" ");
    QString strTime = QStringLiteral(" ");   // "yyyyMMddhhmmss"
    int iMsgType = 0;          // 1 delivery report, 4 text with lone carriage returns
    int iAttrA = 3;            // message class; 0 = flash
    int iAttrB = 0;
    int iAttrC = 0;
    int iAttrD = 0;
    int iPriority = 0;         // 2 urgent, 3 emergency, 4 none (drafts)
    QString strSpare;
    QString strName;           // per number the contact name, else the number
    QString strNameList;       // the contact names found
    int iReportResult = 0;     // -1 none, 0 success, 1 failed, 2 pending
    QImage imgStatus;
    QDateTime dtTime;          // strTime parsed once (the tables sort and show it); the text the
                               // preview and the export show is made from it when asked for
                               // (SMSStatusUILogic::displayTime), not for every record loaded
};

using SMSLocalRecordPtr = QSharedPointer<SMSLocalRecord>;
