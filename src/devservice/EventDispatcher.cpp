#include "EventDispatcher.h"

#include <QtGlobal>
#include <algorithm>
#include <chrono>

namespace {
int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
template <typename T>
bool later(const T& a, const T& b) { return a.due != b.due ? a.due > b.due : a.seq > b.seq; }

template <typename T>
bool addOnce(std::vector<T>& list, T item)
{
    if (!item)
        return false;
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
    return true;
}

template <typename T>
bool removeItem(std::vector<T>& list, T item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}
} // namespace

EventDispatcher::EventDispatcher() : m_thread([this] { loop(); }) {}

EventDispatcher::~EventDispatcher() { stop(); }

void EventDispatcher::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_stop && !m_tasks.empty())
            qInfo("EventDispatcher: %d queued device events dropped at shut-down", int(m_tasks.size()));
        m_stop = true;
        m_tasks.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable() && !onEventThread())
        m_thread.join();
}

void EventDispatcher::post(std::function<void()> task, int delayMs, const void* owner)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop)
            return;
        m_tasks.push_back({nowMs() + std::max(0, delayMs), m_seq++, std::move(task), owner});
        std::push_heap(m_tasks.begin(), m_tasks.end(), [](const Task& a, const Task& b) { return later(a, b); });
    }
    m_wake.notify_all();
}

void EventDispatcher::loop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_stop)
            break;
        if (m_tasks.empty()) {
            m_idle.notify_all();
            m_wake.wait(lock);
            continue;
        }
        const int64_t wait = m_tasks.front().due - nowMs();
        if (wait > 0) {
            m_idle.notify_all();   // nothing due now: a waiter may be satisfied
            m_wake.wait_for(lock, std::chrono::milliseconds(wait));
            continue;
        }
        std::pop_heap(m_tasks.begin(), m_tasks.end(), [](const Task& a, const Task& b) { return later(a, b); });
        Task task = std::move(m_tasks.back());
        m_tasks.pop_back();
        m_running = true;
        m_runningOwner = task.owner;
        lock.unlock();
        task.run();
        task.run = nullptr;   // what the task captured goes before its owner may
        lock.lock();
        m_running = false;
        m_runningOwner = nullptr;
        if (m_forgetting > 0)
            m_idle.notify_all();
    }
    m_idle.notify_all();
}

void EventDispatcher::forget(const void* owner)
{
    if (!owner)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto mine = [owner](const Task& t) { return t.owner == owner; };
    const auto end = std::remove_if(m_tasks.begin(), m_tasks.end(), mine);
    if (end != m_tasks.end()) {
        m_tasks.erase(end, m_tasks.end());
        std::make_heap(m_tasks.begin(), m_tasks.end(), [](const Task& a, const Task& b) { return later(a, b); });
    }
    if (onEventThread())
        return;   // the running task is the caller's own
    ++m_forgetting;
    m_idle.wait(lock, [this, owner] { return m_runningOwner != owner; });
    --m_forgetting;
}

bool EventDispatcher::waitIdle(int timeoutMs)
{
    // Events planned for after the wait would end (a card that takes a minute to read) do not
    // count: waiting for them cannot succeed.
    const int64_t deadline = nowMs() + timeoutMs;
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto idle = [this, deadline] {
        return m_stop || (!m_running && (m_tasks.empty() || m_tasks.front().due > deadline));
    };
    while (!idle()) {
        if (m_idle.wait_until(lock, std::chrono::steady_clock::now() + std::chrono::milliseconds(qMax<int64_t>(1, deadline - nowMs())),
                              idle))
            break;
        if (nowMs() >= deadline)
            return idle();
    }
    return true;
}

bool EventDispatcher::onEventThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

bool EventDispatcher::addSmsCallback(ZSDK_SMSCallback cb) { std::lock_guard<std::mutex> l(m_cbMutex); return addOnce(m_sms, cb); }
bool EventDispatcher::removeSmsCallback(ZSDK_SMSCallback cb) { std::lock_guard<std::mutex> l(m_cbMutex); return removeItem(m_sms, cb); }
bool EventDispatcher::addPbCallback(ZSDK_SMSCallback cb) { std::lock_guard<std::mutex> l(m_cbMutex); return addOnce(m_pb, cb); }
bool EventDispatcher::removePbCallback(ZSDK_SMSCallback cb) { std::lock_guard<std::mutex> l(m_cbMutex); return removeItem(m_pb, cb); }
bool EventDispatcher::addDevCallback(ZSDK_DevInitCallback cb) { std::lock_guard<std::mutex> l(m_cbMutex); return addOnce(m_dev, cb); }
bool EventDispatcher::removeDevCallback(ZSDK_DevInitCallback cb) { std::lock_guard<std::mutex> l(m_cbMutex); return removeItem(m_dev, cb); }

void EventDispatcher::deliverSms(int event, void* data)
{
    std::vector<ZSDK_SMSCallback> targets;
    {
        std::lock_guard<std::mutex> l(m_cbMutex);
        targets = m_sms;
    }
    for (ZSDK_SMSCallback cb : targets)
        cb(event, data);
}

void EventDispatcher::deliverPb(int event)
{
    std::vector<ZSDK_SMSCallback> targets;
    {
        std::lock_guard<std::mutex> l(m_cbMutex);
        targets = m_pb;
    }
    for (ZSDK_SMSCallback cb : targets)
        cb(event, nullptr);
}

void EventDispatcher::deliverDev(int event)
{
    std::vector<ZSDK_DevInitCallback> targets;
    {
        std::lock_guard<std::mutex> l(m_cbMutex);
        targets = m_dev;
    }
    for (ZSDK_DevInitCallback cb : targets)
        cb(event);
}
