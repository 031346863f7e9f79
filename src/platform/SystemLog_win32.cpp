#include "platform/EventLogId.h"
#include "platform/LineSafeText.h"
#include "platform/SystemLog.h"
#include "platform/Utf16Text.h"

#include <windows.h>

namespace {

// The severities of the message compiler's SeverityNames, in the top two bits of a message ID.
constexpr unsigned long severityShift = 30;
constexpr unsigned long informationalSeverity = 1;
constexpr unsigned long warningSeverity = 2;
constexpr unsigned long errorSeverity = 3;

WORD eventLogType(SystemEventType type)
{
    switch (type) {
    case SystemEventType::Error:
        return EVENTLOG_ERROR_TYPE;
    case SystemEventType::Warning:
        return EVENTLOG_WARNING_TYPE;
    case SystemEventType::Information:
        break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

// One insertion string's text. Event Viewer replaces a "%%n" in an insertion string by a message of its own, and
// the string's line ends would start a field line of their own: so no value brings a line end or a "%" with it.
std::string insertionText(const std::string& text)
{
    std::string safe;
    for (const char c : lineSafeText(text))
        safe += c == '%' ? std::string("<U+0025>") : std::string(1, c);
    return safe;
}

// The event's second string: a "NAME=value" line for each field.
std::wstring fieldLines(const std::vector<SystemEventField>& fields)
{
    std::string lines;
    for (const SystemEventField& field : fields) {
        if (!lines.empty())
            lines += "\r\n";
        lines += field.name + '=' + insertionText(field.value);
    }
    return utf8ToUtf16(lines);
}

class EventLogSink final : public SystemLogSink
{
public:
    explicit EventLogSink(HANDLE source) : m_source(source) {}
    ~EventLogSink() override { DeregisterEventSource(m_source); }
    EventLogSink(const EventLogSink&) = delete;
    EventLogSink& operator=(const EventLogSink&) = delete;

    // The message table's text for every kind is "%1%n%2": these two strings.
    bool write(const SystemEvent& event) override
    {
        const std::wstring text = utf8ToUtf16(insertionText(event.text));
        const std::wstring fields = fieldLines(event.fields);
        LPCWSTR strings[] = {text.c_str(), fields.c_str()};
        return ReportEventW(m_source, eventLogType(systemEventType(event.id)), 0, eventLogId(event.id), nullptr, 2, 0,
                            strings, nullptr) != FALSE;
    }

private:
    const HANDLE m_source;
};

} // namespace

unsigned long eventLogId(SystemEventId id)
{
    unsigned long severity = informationalSeverity;
    switch (systemEventType(id)) {
    case SystemEventType::Error:
        severity = errorSeverity;
        break;
    case SystemEventType::Warning:
        severity = warningSeverity;
        break;
    case SystemEventType::Information:
        break;
    }
    return severity << severityShift | static_cast<unsigned long>(id);
}

std::unique_ptr<SystemLogSink> openPlatformSystemLog(const std::string& name, std::string& whyNot)
{
    // The log takes events from any source name; only the name's registration (EventMessageFile) gives them
    // the text of the program's message table in Event Viewer.
    const HANDLE source = RegisterEventSourceW(nullptr, utf8ToUtf16(name).c_str());
    if (!source) {
        whyNot = "the Application event log refused the source \"" + name + "\" (error " +
                 std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    try {
        return std::make_unique<EventLogSink>(source);
    } catch (...) {
        DeregisterEventSource(source);
        whyNot = "out of memory";
        return nullptr;
    }
}
