// Helpers the test executables share: a fresh simulated modem and stored messages.
#pragma once

#include "SimControl.h"
#include "zsdk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QString>

namespace TestSupport {

// Lays out a host library folder at `lib` with files copied from the build tree (paths relative
// to it, e.g. "plugins/SMSUIPlugin/sms_status.png"). False when one of them cannot be copied.
inline bool stageLibrary(const QString& lib, const QStringList& files)
{
    for (const QString& file : files) {
        const QString target = lib + QLatin1Char('/') + file;
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(QStringLiteral(TEST_BUILD_ROOT "/") + file, target))
            return false;
    }
    return true;
}

// Restarts the simulated modem on an empty database at `path`: no seeded messages, cards
// readable at once. `change` may adjust the options further.
template <typename Change>
void freshModem(const QString& path, Change change)
{
    ZsdkSim::Shutdown();
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    ZsdkSim::Options o;
    o.databasePath = path;
    o.seed = false;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    change(o);
    ZsdkSim::Configure(o);
}

inline void freshModem(const QString& path)
{
    freshModem(path, [](ZsdkSim::Options&) {});
}

// Stores a message through the device service; its id, or -1.
inline int storeMessage(int node, const QString& number, const QString& text, int read = 0,
                        const QString& time = QStringLiteral("20261201120000"), int status = 0, int priority = 0)
{
    SMSDeviceRecord r{};
    r.iMsgId = -1;
    r.iNode = node;
    r.iOrigNode = node;
    r.iReadFlag = read;
    r.iStatus = status;
    r.iAttrA = 3;
    r.iPriority = priority;
    r.pNumber = const_cast<ZSDK_WCHAR*>(number.utf16());
    r.pContent = const_cast<ZSDK_WCHAR*>(text.utf16());
    for (int i = 0; i < time.size() && i < 19; ++i)
        r.szTime[i] = time.at(i).unicode();
    int32_t id = -1, flag = 1;
    return ZSDK_SMSSrv_SaveMsg(&r, &id, &flag) == 0 ? id : -1;
}

} // namespace TestSupport
