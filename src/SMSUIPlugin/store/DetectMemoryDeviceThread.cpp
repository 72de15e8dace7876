#include "store/DetectMemoryDeviceThread.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"

DetectMemoryDeviceThread::DetectMemoryDeviceThread(int memPosition, QObject* parent)
    : QThread(parent), m_iMemPosition(memPosition)
{
}

bool DetectMemoryDeviceThread::memoryReadable()
{
    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    return store && !store->GetSMSRecordCount(m_iMemPosition);
}

void DetectMemoryDeviceThread::run()
{
    SMSStatusUILogic::Instance();
    QMutexLocker lock(&m_mutexRun);
    CommonUtils::ThreadCountInc(QStringLiteral("DetectMemoryDeviceThread.cpp"), QStringLiteral("run"));
    SMS_LOG("%s : %s : %s : Entered");
    for (;;) {
        if (memoryReadable()) {
            emit signalReadSIM(m_iMemPosition);
            break;
        }
        if (m_bStop.load()) {
            m_bStop.store(false);
            break;
        }
        // Sleep in short steps so that a stop request ends the wait promptly.
        for (int waited = 0; waited < m_iPollMs && !m_bStop.load(); waited += 50)
            msleep(50);
    }
    CommonUtils::ThreadCountDec(QStringLiteral("DetectMemoryDeviceThread.cpp"), QStringLiteral("run"));
    SMS_LOG("%s : %s : %s : DetectMemoryDeviceThread quit");
}
