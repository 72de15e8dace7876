/*
 * Device service: the plain C interface through which the SMS page reaches the modem, the SIM
 * card, the PC-side message store, the phone book and the network state.
 *
 * Conventions
 *  - Every function returns a ZSDK_STATUS: 0 success, anything else failure (ZSDK_E_*).
 *  - Texts are NUL-terminated UTF-16 (ZSDK_WCHAR).
 *  - Records (SMSDeviceRecord) and id lists handed out by the service are allocated by the
 *    service and must be given back with the matching Release function; the caller never frees
 *    them. A record the caller fills itself (for SaveMsg/UpdateMsg/SendMsg) stays the caller's:
 *    the service copies what it needs before returning.
 *  - A storage location ("location", "mem") is 0 PC, 1 SIM card, 2 device memory.
 *  - Folder codes are the SMS tree's: 0 PC outbox, 1 PC inbox, 2 drafts, 3 favourites, 4 trash,
 *    5 delivery reports, 6 SIM outbox, 7 SIM inbox, 8 device outbox, 9 device inbox,
 *    10 cell broadcasts.
 *  - Null pointers, unknown ids and bad locations are answered with a failure status, never a
 *    crash.
 *  - Callbacks run on the service's own event thread, one at a time and in the order the events
 *    happened; never inside the caller's stack.
 */
#ifndef ZSDK_H
#define ZSDK_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t ZSDK_STATUS;
typedef uint16_t ZSDK_WCHAR;

enum {
    ZSDK_OK = 0,
    ZSDK_E_FAIL = 1,
    ZSDK_E_ARG = 2,            /* null pointer, bad location or bad argument */
    ZSDK_E_NOT_FOUND = 3,      /* unknown message id */
    ZSDK_E_MEMORY_FULL = 4,    /* the target storage has no free place */
    ZSDK_E_NO_DEVICE = 5,      /* device removed, or SIM absent for a SIM request */
    ZSDK_E_NOT_READY = 6,      /* storage still being read (SIM just inserted) */
    ZSDK_E_STORAGE = 7,        /* the database could not be read or written */
    ZSDK_E_NO_TRANSACTION = 8, /* EndTransaction without BeginTransaction */
    ZSDK_E_SHUTDOWN = 9        /* the service is shutting down */
};

enum ZSDK_MemPosition { ZSDK_MEM_PC = 0, ZSDK_MEM_SIM = 1, ZSDK_MEM_DEVICE = 2 };

/*
 * One message. 92 bytes where pointers are 4 bytes; the field order is the same on 64-bit.
 *  iMsgId      id, unique across all storages; -1 in a record that was never stored
 *  iReadFlag   1 unread, 0 read
 *  iOrigNode   folder the message was in before Trash/Favourites/Drafts
 *  iNode       folder code (see above); for SaveMsg it selects the storage
 *  iStatus     outgoing: 0 sent, other not sent; delivery report: 0 delivered, 0x22 pending
 *  iMsgType    kind: 0 normal, 1 delivery report, 2 cell broadcast, 4 text with lone CRs
 *  iAttrA      message class; 0 = class 0 (flash) message, 3 = no class
 *  iAttrB..D   carried unchanged (encoding, reference, spare)
 *  iPriority   2 urgent, 3 emergency, 4 none (drafts), other normal
 *  szTime      "yyyyMMddhhmmss", NUL-terminated, "00000000000000" for no time
 *  pNumber     recipients or sender, several separated by ';'
 *  pContent    message text
 * In records handed out by the service the two text pointers belong to the service.
 */
typedef struct SMSDeviceRecord {
    int32_t iMsgId;
    int32_t iReadFlag;
    int32_t iOrigNode;
    int32_t iNode;
    int32_t iStatus;
    int32_t iMsgType;
    int32_t iAttrA;
    int32_t iAttrB;
    int32_t iAttrC;
    int32_t iAttrD;
    int32_t iPriority;
    ZSDK_WCHAR szTime[20];
    ZSDK_WCHAR* pNumber;
    ZSDK_WCHAR* pContent;
} SMSDeviceRecord;

/*
 * Message and phone-book events, passed to ZSDK_SMSCallback(event, data):
 *  0 send result: data is an SMSDeviceRecord* whose iStatus is 0 when the part was sent; one
 *    event per recipient and segment
 *  1 message received: SMSDeviceRecord* (a class-0 message has iMsgId -1: it is not stored)
 *  2 storage status changed: ZSDK_EventBlock*, value = status code (ZSDK_ST_*)
 *  3 sent message saved: SMSDeviceRecord* of the stored copy in the PC outbox; once per send,
 *    iStatus 0 when every part was sent
 *  5 message deleted by the device: ZSDK_EventBlock*, value = id, folder = folder code
 *  0x4F4E, 0x4F4F phone book ready: data null
 * The data pointer is valid only during the call.
 */
enum {
    ZSDK_EVT_SEND_RESULT = 0,
    ZSDK_EVT_RECEIVED = 1,
    ZSDK_EVT_STATUS = 2,
    ZSDK_EVT_SENT_SAVED = 3,
    ZSDK_EVT_DELETED = 5,
    ZSDK_EVT_PB_READY = 0x4F4E,
    ZSDK_EVT_PB_READY2 = 0x4F4F
};

/* Status codes of event 2. */
enum {
    ZSDK_ST_SIM_PRESENT = 0,
    ZSDK_ST_SIM_READY = 1,
    ZSDK_ST_DEVICE_FULL = 2,
    ZSDK_ST_DEVICE_REMOVED = 3,
    ZSDK_ST_SIM_FULL = 4,
    ZSDK_ST_SIM_UNUSABLE = 5,
    ZSDK_ST_PC_FULL = 6,
    ZSDK_ST_CAN_SEND = 7,
    ZSDK_ST_CANNOT_SEND = 8
};

/* Device events, passed to ZSDK_DevInitCallback(event). */
enum { ZSDK_DEV_INIT_DONE = 0x177E, ZSDK_DEV_EVENT = 0x1780 };

typedef struct ZSDK_EventBlock {
    int32_t value;
    int32_t folder;
} ZSDK_EventBlock;

typedef int (*ZSDK_SMSCallback)(int event, void* data);
typedef int (*ZSDK_DevInitCallback)(int event);

/* ---- callbacks: registering the same function twice counts once ---- */
ZSDK_STATUS ZSDK_SMSSrv_RegCallBack(ZSDK_SMSCallback cb);
ZSDK_STATUS ZSDK_SMSSrv_UnRegCallBack(ZSDK_SMSCallback cb);
ZSDK_STATUS ZSDK_PBSrv_RegisterPBCallback(ZSDK_SMSCallback cb);
ZSDK_STATUS ZSDK_PBSrv_UnRegisterPBCallback(ZSDK_SMSCallback cb);
ZSDK_STATUS ZSDK_DevSrv_RegisterDevInitEventCallback(ZSDK_DevInitCallback cb);
ZSDK_STATUS ZSDK_DevSrv_UnRegisterDevInitEventCallback(ZSDK_DevInitCallback cb);

/* ---- messages ---- */
/* Number of messages stored in `location`. Fails with ZSDK_E_NOT_READY while a SIM is read. */
ZSDK_STATUS ZSDK_SMSSrv_SMSRecordSetGetRecordCount(int32_t* count, int32_t location);
/* *ids receives a service-allocated array; *count is in: the most wanted (<= 0: all),
 * out: the number returned. Release with ZSDK_SMSSrv_ReleaseSmsIdList(ids). */
ZSDK_STATUS ZSDK_SMSSrv_GetSmsIdList(int32_t** ids, int32_t* count, int32_t location);
ZSDK_STATUS ZSDK_SMSSrv_ReleaseSmsIdList(int32_t** ids);
/* A new record (id -1, class 3, current time) holding copies of number and text (either may be
 * null: empty). Release with ZSDK_SMSSrv_ReleaseSMSRecord, which also nulls *record. */
ZSDK_STATUS ZSDK_SMSSrv_CreateSMSRecord(SMSDeviceRecord** record, const ZSDK_WCHAR* number, const ZSDK_WCHAR* text);
ZSDK_STATUS ZSDK_SMSSrv_ReleaseSMSRecord(SMSDeviceRecord** record);
/* Fills `record` (one created by CreateSMSRecord) with the stored message record->iMsgId. */
ZSDK_STATUS ZSDK_SMSSrv_GetMsg(SMSDeviceRecord* record, int32_t location);
/* Every message stored in `location` in one call: the records, in the order, that
 * GetSmsIdList followed by one GetMsg per id gives (a PC store of a hundred thousand messages would
 * otherwise take as many calls). *records receives a service-allocated array of *count records;
 * *count is in: the most wanted (<= 0: all), out: the number returned (0 for an empty storage,
 * *records is set then too). The text pointers of the records point into the array's own storage.
 * Release with ZSDK_SMSSrv_ReleaseMsgList(records), which also nulls *records; a single record of
 * the array cannot be released on its own. Fails as GetSmsIdList does (ZSDK_E_NOT_READY while a
 * SIM is read, ZSDK_E_NO_DEVICE, ZSDK_E_ARG); on failure *records and *count are left as they were. */
ZSDK_STATUS ZSDK_SMSSrv_GetMsgList(SMSDeviceRecord** records, int32_t* count, int32_t location);
ZSDK_STATUS ZSDK_SMSSrv_ReleaseMsgList(SMSDeviceRecord** records);
/* Stores a copy of `record` in the storage of its folder (iNode) under a new id, written to
 * *newId. `reserved` is accepted for compatibility and not used. Fails with ZSDK_E_MEMORY_FULL. */
ZSDK_STATUS ZSDK_SMSSrv_SaveMsg(const SMSDeviceRecord* record, int32_t* newId, int32_t* reserved);
/* Replaces the stored message record->iMsgId with the record's fields (its storage stays). */
ZSDK_STATUS ZSDK_SMSSrv_UpdateMsg(const SMSDeviceRecord* record);
/* PC: moves the message to the trash (folder 4, previous folder kept). SIM/device: removes it. */
ZSDK_STATUS ZSDK_SMSSrv_DeleteMsg(int32_t id, int32_t location);
/* Removes the message for good. */
ZSDK_STATUS ZSDK_SMSSrv_RemoveMsg(int32_t id, int32_t location);
/* Sends record->pContent to every number of record->pNumber (';' or ',' separated). Returns at
 * once. 0: the send was taken, and it is answered by one event 0 per recipient and segment and
 * then one event 3 with the stored copy, also when nothing can go out (device removed, radio off,
 * no network: every part fails and the copy is kept unsent). Non-zero (no recipient, bad record):
 * nothing was taken and no event follows. */
ZSDK_STATUS ZSDK_SMSSrv_SendMsg(const SMSDeviceRecord* record);
/* Cancels the sends of *handle (the record given to SendMsg) still waiting; a handle holding
 * null cancels every waiting send. Cancelled parts report failure. */
ZSDK_STATUS ZSDK_SMSSrv_CancelSendMsg(SMSDeviceRecord** handle);
/* A batch of changes: either all of it is stored or none of it (the process ends before
 * EndTransaction, or storing fails). A batch belongs to the thread that opened it and to its
 * location: EndTransaction(location) on that thread ends it, one thread has at most one batch per
 * location, and other threads (or the same thread for another location) may open their own. The
 * changes the thread makes while its batch is open (of any location) join it and are visible to
 * that thread only until EndTransaction returns 0; other callers keep reading and writing the
 * stored state meanwhile, and a received message is stored at once, outside every batch.
 * EndTransaction fails with ZSDK_E_STORAGE when the batch could not be stored: then nothing of
 * it was (the ids it handed out are not given out again). */
ZSDK_STATUS ZSDK_SMSSrv_BeginTransaction(int32_t location);
ZSDK_STATUS ZSDK_SMSSrv_EndTransaction(int32_t location);
ZSDK_STATUS ZSDK_SMSSrv_GetRecordInfo(int32_t* capacity, int32_t* used, int32_t location);
/* With types null: *count = number of card storages present. Otherwise writes up to *count
 * codes (0 SIM, 1 device) and sets *count to the number written. */
ZSDK_STATUS ZSDK_SMSSrv_SMSGetMemoryListType(uint16_t* types, uint16_t* count);
/* Number of segments `text` needs (GSM 7-bit default alphabet with extension table, otherwise
 * UCS-2). The empty text needs 0. */
ZSDK_STATUS ZSDK_SMSSrv_GetMsgSplitCount(const ZSDK_WCHAR* text, int32_t* count);

/* ---- SMS settings ---- */
/* *addressType receives the number's type of address as the network carries it (145 international,
 * i.e. the number starts with "+"; 129 otherwise); buffer receives the number, NUL-terminated, in
 * at most bufferLength characters (a longer number fails and leaves buffer unchanged). */
ZSDK_STATUS ZSDK_SMSSrv_GetSMSCentreNumber(int32_t* addressType, ZSDK_WCHAR* buffer, int32_t bufferLength);
ZSDK_STATUS ZSDK_SMSSrv_SetSMSCentreNumber(const ZSDK_WCHAR* number);
ZSDK_STATUS ZSDK_SMSSrv_GetSMSValidityPeriod(int32_t* value);
ZSDK_STATUS ZSDK_SMSSrv_SetSMSValidityPeriod(int32_t value);
ZSDK_STATUS ZSDK_SMSSrv_GetSMSReceiptNotify(int32_t* value);
ZSDK_STATUS ZSDK_SMSSrv_SetSMSReceiptNotify(int32_t value);
ZSDK_STATUS ZSDK_SMSSrv_SMSGetPriority(int32_t* value);
ZSDK_STATUS ZSDK_SMSSrv_SMSSetPriority(int32_t value);

/* ---- device ---- */
ZSDK_STATUS ZSDK_DevSrv_GetDevStatus(int32_t* status);          /* 3 = ready */
ZSDK_STATUS ZSDK_DevSrv_GetSimStatus(int32_t* status);          /* 1 = present and usable, 0 absent */
/* PIN state: 1 ready, 2 PIN required, 8 PIN disabled, 3 PUK required, 0 no SIM. The three bytes
 * are remaining PIN tries, PUK tries and a reserved byte. */
ZSDK_STATUS ZSDK_DevSrv_GetPinStatus(int32_t reserved, int32_t* state, uint8_t* pinTries, uint8_t* pukTries, uint8_t* spare);
/* Two 32-bit values: radio switch (1 on) and modem power (1 on). */
ZSDK_STATUS ZSDK_DevSrv_GetRFSwitch(void* block8);
ZSDK_STATUS ZSDK_DevSrv_GetMultiModeCardStatus(int32_t* multiMode, int32_t r1, int32_t r2, int32_t r3);
ZSDK_STATUS ZSDK_DevSrv_GetSimType(int32_t* type);               /* 3 SIM, 4 UIM */
ZSDK_STATUS ZSDK_DevSrv_GetProductType(int32_t* type);           /* 1 CDMA product, 0 other */
/* IMSI of the SIM into buffer (NUL-terminated); fails when no SIM is present. */
ZSDK_STATUS ZSDK_DevSrv_GetIMSI(ZSDK_WCHAR* buffer, int32_t bufferLength);
ZSDK_STATUS ZSDK_NetSrv_GetSrvStatus(int32_t* status);          /* 2 = service available */

/* ---- phone book ---- */
/* *name receives a service-allocated (new[]) NUL-terminated name the caller frees with
 * delete[]; at most maxLength code units are used. *found is 1 when a contact matched. */
ZSDK_STATUS ZSDK_PBSrv_FindNameByNumber(const ZSDK_WCHAR* number, ZSDK_WCHAR** name, int32_t maxLength, int32_t* found);

/* ---- files ---- */
/* *dir receives a service-allocated (new[]) directory path ending in '/', freed by the caller. */
ZSDK_STATUS ZSDK_GetLogDirectory(ZSDK_WCHAR** dir);

#ifdef __cplusplus
}
#endif

#endif /* ZSDK_H */
