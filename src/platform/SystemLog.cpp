#include "platform/SystemLog.h"

#include "platform/LineSafeText.h"

#include <atomic>
#include <ostream>

SystemEventType systemEventType(SystemEventId id)
{
    switch (id) {
#define ZOR_SYSTEM_EVENT(number, name, type)                                                                           \
    case SystemEventId::name:                                                                                          \
        return SystemEventType::type;
#include "platform/SystemEvents.def"
#undef ZOR_SYSTEM_EVENT
    }
    return SystemEventType::Information;
}

const char* systemEventName(SystemEventId id)
{
    switch (id) {
#define ZOR_SYSTEM_EVENT(number, name, type)                                                                           \
    case SystemEventId::name:                                                                                          \
        return #name;
#include "platform/SystemEvents.def"
#undef ZOR_SYSTEM_EVENT
    }
    return "Note";
}

namespace {

std::string droppedText(std::uint64_t count)
{
    return count == 1 ? std::string("1 event could not be sent to the system log and was dropped.")
                      : std::to_string(count) + " events could not be sent to the system log and were dropped.";
}

} // namespace

SystemLog::SystemLog(std::unique_ptr<SystemLogSink> sink, std::ostream& errors, std::size_t capacity)
    : m_sink(std::move(sink)), m_errors(errors), m_capacity(capacity)
{
    m_worker = std::thread([this] { run(); });
}

SystemLog::~SystemLog()
{
    drain(std::chrono::milliseconds(500));
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_stopping = true;
        m_dropped += m_queue.size();
        m_queue.clear();
    }
    m_changed.notify_all();
    m_worker.join();
}

bool SystemLog::send(SystemEvent event)
{
    try {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_stopping || m_queue.size() >= m_capacity) {
            ++m_dropped;
            ++m_droppedUntold;
            return false;
        }
        m_queue.push_back(std::move(event));
    } catch (...) {
        return false;
    }
    m_changed.notify_all();
    return true;
}

bool SystemLog::drain(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_changed.wait_for(lock, timeout, [this] { return m_queue.empty() && !m_writing; });
}

std::uint64_t SystemLog::droppedCount() const
{
    const std::lock_guard<std::mutex> lock(m_lock);
    return m_dropped;
}

void SystemLog::run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        SystemEvent event = std::move(m_queue.front());
        m_queue.pop_front();
        m_writing = true;
        lock.unlock();
        writeOne(event);
        lock.lock();
        // The count of what was dropped is said once the log takes events again and the queue is empty: one
        // event, however many were dropped since the last time it was said.
        if (m_queue.empty() && m_droppedUntold > 0 && !m_stopping) {
            const std::uint64_t count = m_droppedUntold;
            m_droppedUntold = 0;
            lock.unlock();
            sayDropped(count);
            lock.lock();
        }
        m_writing = false;
        m_changed.notify_all();
    }
}

bool SystemLog::tryWrite(const SystemEvent& event)
{
    try {
        return m_sink && m_sink->write(event);
    } catch (...) {
        return false;
    }
}

void SystemLog::writeOne(const SystemEvent& event)
{
    if (tryWrite(event))
        return;
    const std::lock_guard<std::mutex> lock(m_lock);
    ++m_dropped;
    ++m_droppedUntold;
}

void SystemLog::sayDropped(std::uint64_t count)
{
    const std::string text = droppedText(count);
    if (!tryWrite({SystemEventId::EventsDropped, text, {{"DROPPED", std::to_string(count)}}})) {
        // The log refuses again: the count stays to be said.
        const std::lock_guard<std::mutex> lock(m_lock);
        m_droppedUntold += count;
        return;
    }
    m_errors << "zorScheduler: " << text << std::endl;
}

namespace {

// The program's log lives until the process ends: a thread that the log holds up must not meet a destroyed
// object at exit, so it is never destroyed, and stays reachable.
std::atomic<SystemLog*> programLog{nullptr};

} // namespace

void SystemLog::startProgramLog(const std::string& name, std::ostream& errors)
{
    if (programLog.load())
        return;
    std::string whyNot;
    std::unique_ptr<SystemLogSink> sink = openPlatformSystemLog(name, whyNot);
    if (!sink) {
        errors << "zorScheduler: events are not sent to the system log: " << whyNot << std::endl;
        return;
    }
    try {
        programLog.store(new SystemLog(std::move(sink), errors));
    } catch (...) {
        errors << "zorScheduler: events are not sent to the system log: no thread can be made for it" << std::endl;
    }
}

void SystemLog::finishProgramLog(std::chrono::milliseconds timeout)
{
    // The log stays where it is, stopped: a thread that a hanging log holds may still use it.
    SystemLog* const log = programLog.load();
    if (!log)
        return;
    log->drain(timeout);
    const std::lock_guard<std::mutex> lock(log->m_lock);
    if (log->m_stopping)
        return;
    log->m_stopping = true;
    // What a log that hangs still holds in the queue, or in the writer's hands, is lost with the process.
    log->m_droppedUntold += log->m_queue.size() + (log->m_writing ? 1 : 0);
    log->m_queue.clear();
    if (log->m_droppedUntold > 0)
        log->m_errors << "zorScheduler: " << droppedText(log->m_droppedUntold) << std::endl;
    log->m_droppedUntold = 0;
    log->m_changed.notify_all();
}

void reportSystemEvent(SystemEvent event)
{
    SystemLog* const log = programLog.load();
    if (!log)
        return;
    // An event is one line, whatever path or error text went into it.
    event.text = lineSafeText(event.text);
    log->send(std::move(event));
}
