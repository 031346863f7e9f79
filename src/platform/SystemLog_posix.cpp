#include "platform/SystemLog.h"

#include <sys/stat.h>
#include <sys/uio.h>
// Without the CODE_FILE, CODE_LINE and CODE_FUNC fields, which would name this file for every event.
#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-journal.h>

namespace {

// Where journald listens for its native protocol; sd_journal_sendv() knows no other place.
constexpr const char* journalSocket = "/run/systemd/journal/socket";

const char* priorityField(SystemEventType type)
{
    switch (type) {
    case SystemEventType::Error:
        return "PRIORITY=3";
    case SystemEventType::Warning:
        return "PRIORITY=4";
    case SystemEventType::Information:
        break;
    }
    return "PRIORITY=6";
}

class JournalSink final : public SystemLogSink
{
public:
    explicit JournalSink(const std::string& name) : m_identifier("SYSLOG_IDENTIFIER=" + name) {}

    bool write(const SystemEvent& event) override
    {
        std::vector<std::string> fields;
        fields.reserve(event.fields.size() + 5);
        fields.push_back("MESSAGE=" + event.text);
        fields.push_back(priorityField(systemEventType(event.id)));
        fields.push_back(m_identifier);
        fields.push_back("EVENT_ID=" + std::to_string(static_cast<unsigned>(event.id)));
        fields.push_back(std::string("EVENT=") + systemEventName(event.id));
        for (const SystemEventField& field : event.fields)
            fields.push_back(field.name + '=' + field.value);

        std::vector<iovec> parts(fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i)
            parts[i] = iovec{fields[i].data(), fields[i].size()};
        return sd_journal_sendv(parts.data(), static_cast<int>(parts.size())) == 0;
    }

private:
    const std::string m_identifier;
};

} // namespace

std::unique_ptr<SystemLogSink> openPlatformSystemLog(const std::string& name, std::string& whyNot)
{
    struct stat info;
    if (stat(journalSocket, &info) != 0 || !S_ISSOCK(info.st_mode)) {
        whyNot = std::string("no journal runs here (") + journalSocket + " is not a socket)";
        return nullptr;
    }
    return std::make_unique<JournalSink>(name);
}
