// The send and single-update calls of the device service, and the card word for the tree.
#pragma once

#include "store/SMSLocalRecord.h"

#include <QString>

struct SMSDeviceRecord;

class SMSEditUILogic
{
public:
    static SMSEditUILogic* Instance();
    static void Destroy();

    // Hands the text to the device service for every number of `numbers` (';'-separated, as
    // typed). 0 when the service took it; the outcome per recipient comes later as send results.
    int SendSMS(const QString& numbers, const QString& content);
    // 1 for a null handle or when the service refused, else 0.
    int CancelSendSMS(SMSDeviceRecord** handle);
    // Writes the record's fields to the stored message; true on failure.
    bool UpdateSms(const SMSLocalRecord& record);
    // Segments the device service needs for `text`: 0 and *count set, or 1 with *count untouched.
    int GetMsgSegmentCount(const QString& text, int* count);
    // "SIM" or "UIM" (the host's customization), empty when the product type cannot be read.
    QString GetCardTypeName();

private:
    SMSEditUILogic() = default;
    QString m_strCardType;
};
