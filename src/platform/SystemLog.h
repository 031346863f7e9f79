#pragma once

// The system's own log, which administrators gather from many machines: the Application event log on Windows,
// the journal on Linux. Plain C++ without Qt; all texts are UTF-8. Sending never blocks the caller: events go
// through a bounded queue to a thread of their own, and what the log cannot take is dropped and counted.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class SystemEventType
{
    Information,
    Warning,
    Error
};

enum class SystemEventId : std::uint16_t
{
#define ZOR_SYSTEM_EVENT(id, name, type) name = id,
#include "platform/SystemEvents.def"
#undef ZOR_SYSTEM_EVENT
};

SystemEventType systemEventType(SystemEventId id);
// The kind's name as SystemEvents.def spells it ("JobStarted").
const char* systemEventName(SystemEventId id);

// A field a query can filter on: on Linux a journal field (upper-case letters, digits and "_"), on Windows a
// "NAME=value" line of the event's second string.
struct SystemEventField
{
    std::string name;
    std::string value;
};

struct SystemEvent
{
    SystemEventId id = SystemEventId::Note;
    // What the event says, as one line.
    std::string text;
    std::vector<SystemEventField> fields;
};

// Where the events go: the platform's log, or a test's own.
class SystemLogSink
{
public:
    virtual ~SystemLogSink() = default;
    // Writes one event; false when the log did not take it.
    virtual bool write(const SystemEvent& event) = 0;
};

// The platform's log under the source or identifier name. Empty, with the reason in whyNot, when this machine
// has none that can be written to (no journal runs).
std::unique_ptr<SystemLogSink> openPlatformSystemLog(const std::string& name, std::string& whyNot);

class SystemLog
{
public:
    static constexpr std::size_t kDefaultCapacity = 256;

    // errors gets the one line that says how many events were dropped, when that cannot go to the log itself.
    SystemLog(std::unique_ptr<SystemLogSink> sink, std::ostream& errors, std::size_t capacity = kDefaultCapacity);
    // Waits a moment for the events queued so far, drops the rest, and waits for the event being written.
    ~SystemLog();
    SystemLog(const SystemLog&) = delete;
    SystemLog& operator=(const SystemLog&) = delete;

    // Queues the event and returns at once; false when the queue is full and the event was dropped.
    bool send(SystemEvent event);
    // Waits until every queued event has been written or dropped, for at most timeout; whether it got there.
    bool drain(std::chrono::milliseconds timeout);
    // How many events were dropped so far: the queue full, or the log refused them.
    std::uint64_t droppedCount() const;

    // The program's log, which reportSystemEvent() writes to: opened by startProgramLog(), otherwise none.
    // Where the platform has no log, errors gets one line that says so, and nothing is sent.
    static void startProgramLog(const std::string& name, std::ostream& errors);
    // The program's last events get out: waits for the queue for at most timeout, and says on the errors stream
    // how many events never reached the log. Nothing is sent afterwards.
    static void finishProgramLog(std::chrono::milliseconds timeout);

private:
    void run();
    bool tryWrite(const SystemEvent& event);
    void writeOne(const SystemEvent& event);
    void sayDropped(std::uint64_t count);

    std::unique_ptr<SystemLogSink> m_sink;
    std::ostream& m_errors;
    const std::size_t m_capacity;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<SystemEvent> m_queue;
    bool m_writing = false;
    bool m_stopping = false;
    std::uint64_t m_dropped = 0;
    // Dropped events whose count the log has not been told yet.
    std::uint64_t m_droppedUntold = 0;
    std::thread m_worker;
};

// Sends the event to the program's log, when there is one. Never blocks, never throws.
void reportSystemEvent(SystemEvent event);
