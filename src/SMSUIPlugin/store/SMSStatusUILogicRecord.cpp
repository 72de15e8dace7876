// Converting between device and local records, folder/location mappings and display texts.

#include "store/SMSStatusUILogic.h"

#include "Change.h"
#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "store/SMSTypes.h"
#include "zsdk.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QVector>
#include <cstring>

namespace {

// QString::fromUtf16 goes through the UTF-16 codec, which looks for a byte-order mark and
// otherwise copies the units one by one; loading a large store spent a tenth of its time there.
// Texts that do not start with a mark are copied as they are (what the codec would give); the
// rare one that does still goes through the codec.
QString fromWide(const ZSDK_WCHAR* text, int length = -1)
{
    if (!text)
        return QString();
    if (length < 0) {
        length = 0;
        while (text[length])
            ++length;
    }
    if (length > 0 && (text[0] == 0xfeff || text[0] == 0xfffe))
        return QString::fromUtf16(text, length);
    return QString(reinterpret_cast<const QChar*>(text), length);
}

// Every carriage return not followed by a line feed goes; CR LF pairs stay.
QString stripLoneCarriageReturns(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n')))
            continue;
        out.append(c);
    }
    return out;
}

} // namespace

void SMSStatusUILogic::SetWindowState(bool shown, bool sentItemsBox)
{
    m_bSentItemsBox = sentItemsBox;
    m_bWindowShown = shown;
}

bool SMSStatusUILogic::sentItemsView() const
{
    return m_bWindowShown && m_bSentItemsBox;
}

int SMSStatusUILogic::populateSDKRecordToLocalStructure(SMSDeviceRecord* device, SMSLocalRecord* local)
{
    if (!device || !local || !device->pNumber) {
        SMS_LOG("%s: %s: %s,  Invalid input params");
        return SMS_INVALID_ARG;
    }
    local->iOrigNode = device->iOrigNode;
    local->iReadFlag = device->iReadFlag;
    local->iNode = device->iNode;
    if (sentItemsView()) {
        // The device keeps sent PC messages in the outbox with status 0; the page shows them in
        // Sent Items.
        if (device->iNode == NODE_LOCAL_OUTBOX && device->iStatus == 0)
            local->iOrigNode = local->iNode = NODE_LOCAL_SENT;
        else if (device->iOrigNode == NODE_LOCAL_OUTBOX && device->iStatus == 0)
            local->iOrigNode = NODE_LOCAL_SENT;
    }
    local->iStatus = device->iStatus;
    local->iMsgId = device->iMsgId;
    local->strNumber = fromWide(device->pNumber);
    local->strContent = fromWide(device->pContent);
    if (device->iMsgType == 4)
        local->strContent = stripLoneCarriageReturns(local->strContent);
    int n = 0;
    while (n < 20 && device->szTime[n])
        ++n;
    local->strTime = fromWide(device->szTime, n);
    local->iMsgType = device->iMsgType;
    local->iAttrA = device->iAttrA;
    local->iAttrB = device->iAttrB;
    local->iAttrC = device->iAttrC;
    local->iAttrD = device->iAttrD;
    local->iPriority = device->iPriority;
    return SMS_OK;
}

int SMSStatusUILogic::populateLocalRecordToSDKStructure(SMSDeviceRecord* device, SMSLocalRecord* local)
{
    if (!device || !local) {
        SMS_LOG("%s: %s: %s,  Invalid input params");
        return SMS_INVALID_ARG;
    }
    device->iReadFlag = local->iReadFlag;
    device->iOrigNode = local->iOrigNode;
    device->iNode = local->iNode;
    if (local->iNode == NODE_LOCAL_SENT) {
        device->iNode = NODE_LOCAL_OUTBOX;
        device->iOrigNode = NODE_LOCAL_OUTBOX;
    } else if (local->iOrigNode == NODE_LOCAL_SENT) {
        device->iOrigNode = NODE_LOCAL_OUTBOX;
    }
    device->iStatus = local->iStatus;
    device->iMsgId = local->iMsgId;
    device->pNumber = const_cast<ZSDK_WCHAR*>(local->strNumber.utf16());
    device->pContent = const_cast<ZSDK_WCHAR*>(local->strContent.utf16());
    device->iMsgType = local->iMsgType;
    device->iAttrA = local->iAttrA;
    device->iAttrB = local->iAttrB;
    device->iAttrC = local->iAttrC;
    device->iAttrD = local->iAttrD;
    device->iPriority = local->iPriority;
    if (!ZSDK_memset(device->szTime, sizeof device->szTime, 0, sizeof device->szTime))
        SMS_DEBUG("%s: %s: %s: %d: ZSDK_memset fail", SMSLog::now().constData(), "SMSStatusUILogicRecord.cpp", __func__, __LINE__);
    // At most 19 characters, so that the field always ends in a NUL.
    const int n = qMin(local->strTime.size(), 19);
    std::memcpy(device->szTime, local->strTime.utf16(), size_t(n) * sizeof(ZSDK_WCHAR));
    return SMS_OK;
}

int SMSStatusUILogic::GetMemPosition(int node)
{
    switch (node) {
    case 0: case 1: case 2: case 3: case 4: case 5: case 10: case 13: case 15:
        return MEM_PC;
    case 6: case 7: case 12:
        return MEM_SIM;
    case 8: case 9: case 14:
        return MEM_DEVICE;
    default:
        return MEM_INVALID;
    }
}

int SMSStatusUILogic::GetParentPos(int node)
{
    switch (GetMemPosition(node)) {
    case MEM_PC: return NODE_LOCAL_ROOT;
    case MEM_SIM: return NODE_SIM_ROOT;
    case MEM_DEVICE: return NODE_DEVICE_ROOT;
    default: return NODE_INVALID;
    }
}

void SMSStatusUILogic::GetToandInitalPosForMoveCopyOp(int node, int* toNode, int* initialNode)
{
    int target = -1;
    switch (node) {
    case NODE_LOCAL_OUTBOX:
    case NODE_LOCAL_SENT: target = NODE_SIM_OUTBOX; break;
    case NODE_LOCAL_INBOX: target = NODE_SIM_INBOX; break;
    case NODE_SIM_OUTBOX: target = NODE_LOCAL_OUTBOX; break;
    case NODE_SIM_INBOX: target = NODE_LOCAL_INBOX; break;
    default: return;
    }
    if (toNode)
        *toNode = target;
    if (initialNode)
        *initialNode = target;
}

// Message times are the device's wall-clock readings. They are kept as such ("UTC" here only
// means "no zone to convert"): converting each of ten thousand times to local time would ask the
// C library for the zone every time.
QDateTime SMSStatusUILogic::parseTime(const QString& time)
{
    if (time == QLatin1String("00000000000000")) {
        const QDateTime now = QDateTime::currentDateTime();
        return QDateTime(now.date(), now.time(), Qt::UTC);
    }
    // QDateTime::fromString with a format is slow, and a device time is fourteen digits: those are
    // read here directly. Any other text is left to the pattern itself, which rejects most of
    // them (too long, blanks, letters) but reads a field written with a plus sign ("+2").
    bool digits = time.size() == 14;
    for (int i = 0; digits && i < 14; ++i)
        digits = time.at(i) >= QLatin1Char('0') && time.at(i) <= QLatin1Char('9');
    if (!digits) {
        const QDateTime read = QDateTime::fromString(time, QStringLiteral("yyyyMMddhhmmss"));
        return read.isValid() ? QDateTime(read.date(), read.time(), Qt::UTC) : QDateTime();
    }
    // Every character is a digit (checked above): the fields are read straight from them.
    const QChar* d = time.constData();
    auto field = [d](int from, int width) {
        int value = 0;
        for (int i = from; i < from + width; ++i)
            value = value * 10 + (d[i].unicode() - '0');
        return value;
    };
    const int v[6] = {field(0, 4), field(4, 2), field(6, 2), field(8, 2), field(10, 2), field(12, 2)};
    const QDate date(v[0], v[1], v[2]);
    const QTime clock(v[3], v[4], v[5]);
    if (!date.isValid() || !clock.isValid())
        return QDateTime();
    return QDateTime(date, clock, Qt::UTC);
}

namespace {

// The system locale's short date-and-time text, put together from the text of the day (formatted
// once per day) and the time of day: formatting through QLocale cost as much as the rest of
// reading a record. Used only where the locale's short form is exactly "<short date> <short
// time>" and the time format is made of hours, minutes, seconds, an am/pm marker and separators,
// and only after the texts made here matched QLocale's own for times all round the clock;
// elsewhere every text is formatted by QLocale whole.
class DisplayTimeTexts
{
public:
    DisplayTimeTexts()
        : m_locale(QLocale::system()), m_amUpper(m_locale.amText().toUpper()), m_pmUpper(m_locale.pmText().toUpper()),
          m_amLower(m_locale.amText().toLower()), m_pmLower(m_locale.pmText().toLower())
    {
        const QString time = m_locale.timeFormat(QLocale::ShortFormat);
        if (m_locale.dateTimeFormat(QLocale::ShortFormat) != m_locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') + time)
            return;
        if (!parseTimeFormat(time))
            return;
        for (int hour = 0; hour < 24; ++hour) {
            for (const QTime& sample : {QTime(hour, 0, 0), QTime(hour, 7, 5), QTime(hour, 59, 59), QTime(hour, 30, 12)}) {
                if (timeText(sample) != m_locale.toString(sample, QLocale::ShortFormat))
                    return;
            }
        }
        m_split = true;
    }

    QString text(const QDateTime& when)
    {
        if (!m_split || !when.isValid())
            return m_locale.toString(when, QLocale::ShortFormat);
        const QDate date = when.date();
        QString day;
        {
            QMutexLocker lock(&m_mutex);
            auto it = m_days.constFind(date.toJulianDay());
            if (it == m_days.constEnd()) {
                if (m_days.size() >= kMaxDays)
                    m_days.clear();
                it = m_days.insert(date.toJulianDay(), m_locale.toString(date, QLocale::ShortFormat));
            }
            day = it.value();
        }
        return day + QLatin1Char(' ') + timeText(when.time());
    }

private:
    enum class Part { Literal, Hour, Hour12, Minute, Second, AmPmUpper, AmPmLower };
    struct Token {
        Part part;
        int width;        // digits: 1 as needed, 2 zero-padded
        QString literal;
    };

    bool parseTimeFormat(const QString& format)
    {
        const bool twelveHour = format.contains(QLatin1Char('a'), Qt::CaseInsensitive);
        for (int i = 0; i < format.size();) {
            const QChar c = format.at(i);
            int run = 1;
            while (i + run < format.size() && format.at(i + run) == c)
                ++run;
            if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
                const bool pair = i + 1 < format.size() && format.at(i + 1).toLower() == QLatin1Char('p');
                m_tokens.append({c == QLatin1Char('A') ? Part::AmPmUpper : Part::AmPmLower, 0, QString()});
                i += pair ? 2 : 1;
                continue;
            }
            if (c == QLatin1Char('h') || c == QLatin1Char('H') || c == QLatin1Char('m') || c == QLatin1Char('s')) {
                if (run > 2)
                    return false;
                const Part part = c == QLatin1Char('m') ? Part::Minute
                    : c == QLatin1Char('s')             ? Part::Second
                    : c == QLatin1Char('h') && twelveHour ? Part::Hour12
                                                          : Part::Hour;
                m_tokens.append({part, run, QString()});
            } else if (c.isLetter() || c == QLatin1Char('\'') || c.unicode() > 0x7f) {
                return false;   // zones, fractions, quoted text: QLocale formats those
            } else {
                m_tokens.append({Part::Literal, 0, QString(run, c)});
            }
            i += run;
        }
        return true;
    }

    QString timeText(const QTime& time) const
    {
        QString out;
        out.reserve(16);
        auto number = [&out](int value, int width) {
            if (width == 2 || value >= 10)
                out += QLatin1Char(char('0' + value / 10));
            out += QLatin1Char(char('0' + value % 10));
        };
        for (const Token& t : m_tokens) {
            switch (t.part) {
            case Part::Literal: out += t.literal; break;
            case Part::Hour: number(time.hour(), t.width); break;
            case Part::Hour12: number(time.hour() % 12 == 0 ? 12 : time.hour() % 12, t.width); break;
            case Part::Minute: number(time.minute(), t.width); break;
            case Part::Second: number(time.second(), t.width); break;
            case Part::AmPmUpper: out += time.hour() < 12 ? m_amUpper : m_pmUpper; break;
            case Part::AmPmLower: out += time.hour() < 12 ? m_amLower : m_pmLower; break;
            }
        }
        return out;
    }

    static constexpr int kMaxDays = 20000;
    const QLocale m_locale;
    const QString m_amUpper, m_pmUpper, m_amLower, m_pmLower;
    bool m_split = false;
    QVector<Token> m_tokens;
    QMutex m_mutex;
    QHash<qint64, QString> m_days;
};

} // namespace

QString SMSStatusUILogic::displayTime(const QDateTime& when)
{
    static DisplayTimeTexts texts;
    return texts.text(when);
}

QString SMSStatusUILogic::getUIDisplayTime(const QString& time)
{
    if (time.size() < 14) {
        SMS_LOG("%s: %s: %s: invalid input param");
        return QString();
    }
    return displayTime(parseTime(time));
}

QString SMSStatusUILogic::getMessagePriority(int priority, bool hideA, bool hideB)
{
    if (hideA && hideB)
        return QString();
    switch (priority) {
    case 4: return QString();
    case 2: return QStringLiteral("IDS_RAD_URGENT");
    case 3: return QStringLiteral("IDS_RAD_EMERGENCY");
    default:
        SMS_LOG("%s: %s: %s Wrong message priority value");
        return QStringLiteral("IDS_RAD_NORMAL");
    }
}

QString SMSStatusUILogic::getReportContentMsg(int reportStatus, const QString& content, int* result)
{
    if (!m_bWindowShown) {
        SMS_LOG("%s: %s: %s: invalid input params");
        return QString();
    }
    const QString group = QStringLiteral("SMSUIPlugin");
    const QString success = Change::tr(QStringLiteral("IDS_LBL_SUCCESS"), group);
    const QString failed = Change::tr(QStringLiteral("IDS_LBL_FAILED"), group);
    auto setResult = [result](int v) { if (result) *result = v; };
    if (content == success) {
        setResult(0);
        return success;
    }
    if (content == failed) {
        setResult(1);
        return failed;
    }
    if (content.size() > 1) {
        QString text = content;
        return text.remove(QStringLiteral("\r\n"));
    }
    if (reportStatus == 0) {
        setResult(0);
        return success;
    }
    if (reportStatus == 0x22) {
        setResult(2);
        return Change::tr(QStringLiteral("IDS_LBL_PENDING"), group);
    }
    setResult(1);
    return failed;
}
