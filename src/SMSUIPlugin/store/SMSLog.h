// Debug lines of the plug-in: "<time>: <file>: <operation> ..." through Qt's default category.
#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QTime>
#include <QtDebug>

namespace SMSLog {
inline QByteArray now() { return QTime::currentTime().toString(QStringLiteral("hh:mm:ss:zzz")).toLocal8Bit(); }
constexpr const char* baseName(const char* path)
{
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\')
            base = p + 1;
    return base;
}
}

// Qt formats a printf-style line before it looks at the category's switch; the plug-in logs every
// operation, so the switch is looked at first.
#define SMS_DEBUG(...) \
    do { \
        if (QLoggingCategory::defaultCategory()->isDebugEnabled()) \
            qDebug(__VA_ARGS__); \
    } while (0)

// SMS_LOG("%s: %s: %s entered") fills the first three %s with time, file and operation.
#define SMS_LOG(fmt, ...) SMS_DEBUG(fmt, SMSLog::now().constData(), SMSLog::baseName(__FILE__), __func__, ##__VA_ARGS__)
#define SMS_WARN(fmt, ...) qWarning(fmt, SMSLog::now().constData(), SMSLog::baseName(__FILE__), __func__, ##__VA_ARGS__)
// A null pointer met at entry.
#define SMS_LOG_NULLARG() SMS_DEBUG("Arg is NULL: %s: %s: %s %d", SMSLog::now().constData(), SMSLog::baseName(__FILE__), __func__, __LINE__)
