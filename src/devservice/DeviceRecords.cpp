#include "DeviceRecords.h"

#include <QDateTime>
#include <QMutex>
#include <algorithm>

OwnedRecord::OwnedRecord()
{
    rec.iMsgId = -1;
    rec.iAttrA = 3;
    setTexts(QString(), QString());
}

void OwnedRecord::setTexts(const QString& n, const QString& c)
{
    number.assign(reinterpret_cast<const char16_t*>(n.utf16()), static_cast<size_t>(n.size()));
    content.assign(reinterpret_cast<const char16_t*>(c.utf16()), static_cast<size_t>(c.size()));
    rec.pNumber = reinterpret_cast<ZSDK_WCHAR*>(number.data());
    rec.pContent = reinterpret_cast<ZSDK_WCHAR*>(content.data());
}

void OwnedRecord::fill(const StoredMessage& m)
{
    fillFields(m, &rec);
    setTexts(m.number, m.content);
}

void fillFields(const StoredMessage& m, SMSDeviceRecord* out)
{
    SMSDeviceRecord& rec = *out;
    rec.iMsgId = m.id;
    rec.iReadFlag = m.readFlag;
    rec.iOrigNode = m.origNode;
    rec.iNode = m.node;
    rec.iStatus = m.status;
    rec.iMsgType = m.kind;
    rec.iAttrA = m.msgClass;
    rec.iAttrB = m.attrB;
    rec.iAttrC = m.attrC;
    rec.iAttrD = m.attrD;
    rec.iPriority = m.priority;
    std::fill(std::begin(rec.szTime), std::end(rec.szTime), ZSDK_WCHAR(0));
    const int n = std::min(m.time.size(), 19);
    for (int i = 0; i < n; ++i)
        rec.szTime[i] = m.time.at(i).unicode();
}

QString fromWide(const ZSDK_WCHAR* text)
{
    if (!text)
        return QString();
    int n = 0;
    while (text[n])
        ++n;
    return QString(reinterpret_cast<const QChar*>(text), n);
}

void toStored(const SMSDeviceRecord& r, StoredMessage* out)
{
    out->id = r.iMsgId;
    out->readFlag = r.iReadFlag;
    out->origNode = r.iOrigNode;
    out->node = r.iNode;
    out->status = r.iStatus;
    out->kind = r.iMsgType;
    out->msgClass = r.iAttrA;
    out->attrB = r.iAttrB;
    out->attrC = r.iAttrC;
    out->attrD = r.iAttrD;
    out->priority = r.iPriority;
    int n = 0;
    while (n < 20 && r.szTime[n])
        ++n;
    out->time = QString(reinterpret_cast<const QChar*>(r.szTime), n);
    out->number = fromWide(r.pNumber);
    out->content = fromWide(r.pContent);
}

QString currentTimeField()
{
    // Formatting local time asks the C library for the zone on every call; reading ten thousand
    // records creates ten thousand records. The text changes once a second.
    static QMutex mutex;
    static QString cached;
    static qint64 cachedSecond = -1;
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    QMutexLocker lock(&mutex);
    if (second != cachedSecond) {
        cached = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
        cachedSecond = second;
    }
    return cached;
}
