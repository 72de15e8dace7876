#include "MessageArrivals.h"

#include "zsdk.h"

#include <QMetaObject>

#include <mutex>

namespace {
// The device service calls a plain function on its own thread; it reaches the object through
// this pointer, which Stop() clears under the same lock before the object can go away.
std::mutex g_lock;
MessageArrivals* g_receiver = nullptr;

QString text(const ZSDK_WCHAR* s)
{
    return s ? QString::fromUtf16(reinterpret_cast<const char16_t*>(s)) : QString();
}

int onSmsEvent(int event, void* data)
{
    if (event != ZSDK_EVT_RECEIVED || !data)
        return 0;
    const auto* record = static_cast<const SMSDeviceRecord*>(data);
    if (record->iMsgType == 1)
        return 0;
    // The record is valid only during this call: copy what the GUI thread needs.
    const int node = record->iNode;
    const int id = record->iMsgId;
    const QString number = text(record->pNumber);
    const QString content = text(record->pContent);
    std::lock_guard<std::mutex> lock(g_lock);
    // A call queued to an object that is deleted before it runs is dropped with it; one that
    // runs after Stop() finds the object stopped.
    if (MessageArrivals* receiver = g_receiver) {
        QMetaObject::invokeMethod(receiver, [receiver, node, id, number, content] {
            if (receiver->IsStarted())
                emit receiver->received(node, id, number, content);
        }, Qt::QueuedConnection);
    }
    return 0;
}
}

MessageArrivals::MessageArrivals(QObject* parent) : QObject(parent) {}

MessageArrivals::~MessageArrivals() { Stop(); }

void MessageArrivals::Start()
{
    if (m_bStarted)
        return;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_receiver = this;
    }
    m_bStarted = ZSDK_SMSSrv_RegCallBack(&onSmsEvent) == ZSDK_OK;
    if (!m_bStarted)
        qWarning("xframe: the device service refused the registration for received messages; no desktop notifications");
}

void MessageArrivals::Stop()
{
    if (m_bStarted)
        ZSDK_SMSSrv_UnRegCallBack(&onSmsEvent);
    m_bStarted = false;
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_receiver == this)
        g_receiver = nullptr;
}
