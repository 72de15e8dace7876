// The device service's event thread. Every callback runs here, one at a time, in the order the
// events were posted, and never inside the stack of the API call that caused it.
#pragma once

#include "zsdk.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class EventDispatcher
{
public:
    EventDispatcher();
    ~EventDispatcher();   // stop()
    // Drops what is still queued and joins the thread; posting afterwards does nothing. From the
    // event thread itself it only stops the loop.
    void stop();

    // Runs `task` on the event thread after `delayMs`; tasks due at the same time keep their order.
    // `owner` is the object the task uses, if any (see forget).
    void post(std::function<void()> task, int delayMs = 0, const void* owner = nullptr);
    // Drops every queued task of `owner` and, unless called from the event thread, waits until none
    // of its tasks is running. An object whose tasks use it calls this before it goes: a store that
    // is destroyed while the thread lives on (the real-modem backend's PC store, when start-up falls
    // back to the simulator) must not be reached by an event still queued for it.
    void forget(const void* owner);
    // Blocks until nothing is being delivered and nothing is due before `timeoutMs` has passed
    // (tests); false on timeout.
    bool waitIdle(int timeoutMs);
    bool onEventThread() const;

    bool addSmsCallback(ZSDK_SMSCallback cb);
    bool removeSmsCallback(ZSDK_SMSCallback cb);
    bool addPbCallback(ZSDK_SMSCallback cb);
    bool removePbCallback(ZSDK_SMSCallback cb);
    bool addDevCallback(ZSDK_DevInitCallback cb);
    bool removeDevCallback(ZSDK_DevInitCallback cb);

    // Call from tasks only: hand an event to every registered callback of its kind.
    void deliverSms(int event, void* data);
    void deliverPb(int event);
    void deliverDev(int event);

private:
    struct Task {
        int64_t due;
        uint64_t seq;
        std::function<void()> run;
        const void* owner;
    };
    void loop();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::vector<Task> m_tasks;   // kept as a heap ordered by (due, seq)
    uint64_t m_seq = 0;
    bool m_running = false;
    const void* m_runningOwner = nullptr;   // owner of the task being run
    int m_forgetting = 0;                   // threads waiting in forget()
    bool m_stop = false;
    std::thread m_thread;

    std::mutex m_cbMutex;
    std::vector<ZSDK_SMSCallback> m_sms;
    std::vector<ZSDK_SMSCallback> m_pb;
    std::vector<ZSDK_DevInitCallback> m_dev;
};
