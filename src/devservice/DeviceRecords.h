// Conversions between the C record and the stored message, and the records the service owns.
#pragma once

#include "SmsDatabase.h"
#include "zsdk.h"

#include <string>

// A record handed out by the service together with the text buffers its pointers point into.
struct OwnedRecord {
    SMSDeviceRecord rec{};
    std::u16string number;
    std::u16string content;

    OwnedRecord();
    void setTexts(const QString& number, const QString& content);
    void fill(const StoredMessage& message);
};

// Every field of `out` but the two text pointers, from the stored message.
void fillFields(const StoredMessage& message, SMSDeviceRecord* out);
// Reads a NUL-terminated UTF-16 text; null gives an empty text.
QString fromWide(const ZSDK_WCHAR* text);
// Copies a record given by the caller into a stored message (the caller's pointers are not kept).
void toStored(const SMSDeviceRecord& record, StoredMessage* out);
QString currentTimeField();
