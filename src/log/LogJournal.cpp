#include "log/LogJournal.h"

#include "platform/AnsiCodePage.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

const std::string kLineEnd = "\r\n";
const std::string kPendingHeader = "zorScheduler pending archive\n";
const std::string kCutShortMark = " [cut short when the last run ended]";
// A read that fails once may work the next time.
constexpr int kReadAttempts = 3;

const char* kindName(PendingArchive::Kind kind)
{
    return kind == PendingArchive::Kind::Recovery ? "recovery" : "archive";
}

// The CR LF terminated lines of text in the opposite order; what follows the last CR LF is left out.
std::string reversedLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find(kLineEnd, start)) != std::string::npos;
         start = end + kLineEnd.size())
        lines.push_back(text.substr(start, end + kLineEnd.size() - start));
    std::string result;
    result.reserve(text.size());
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        result += *line;
    return result;
}

} // namespace

std::string pendingArchiveBytes(const PendingArchive& pending)
{
    return kPendingHeader + kindName(pending.kind) + ' ' + std::to_string(pending.offset) + ' ' +
           std::to_string(pending.target.size()) + '\n' + pending.target + pending.entry;
}

std::optional<PendingArchive> pendingArchiveFrom(const std::string& bytes)
{
    if (bytes.compare(0, kPendingHeader.size(), kPendingHeader) != 0)
        return std::nullopt;
    const std::size_t fieldsEnd = bytes.find('\n', kPendingHeader.size());
    if (fieldsEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(bytes.substr(kPendingHeader.size(), fieldsEnd - kPendingHeader.size()));
    std::string kind;
    PendingArchive pending;
    std::size_t targetLength = 0;
    if (!(fields >> kind >> pending.offset >> targetLength) || !fields.eof() || pending.offset < 0 ||
        (kind != kindName(PendingArchive::Kind::Archive) && kind != kindName(PendingArchive::Kind::Recovery)) ||
        targetLength > bytes.size() - fieldsEnd - 1)
        return std::nullopt;
    pending.kind = kind == kindName(PendingArchive::Kind::Recovery) ? PendingArchive::Kind::Recovery
                                                                    : PendingArchive::Kind::Archive;
    pending.target = bytes.substr(fieldsEnd + 1, targetLength);
    pending.entry = bytes.substr(fieldsEnd + 1 + targetLength);
    return pending;
}

std::string paneLinesOf(const std::string& journalBytes)
{
    std::string text = journalBytes;
    const std::size_t lastEnd = text.rfind(kLineEnd);
    const std::size_t tailStart = lastEnd == std::string::npos ? 0 : lastEnd + kLineEnd.size();
    // A power cut can leave the end of a file that was being written as zeros: they were never a line's.
    std::string tail = text.substr(tailStart);
    tail.erase(tail.find_last_not_of('\0') + 1);
    if (!tail.empty() && tail.back() == '\r')
        tail.pop_back();
    text.resize(tailStart);
    if (!tail.empty())
        text += tail + kCutShortMark + kLineEnd;
    // Bytes a damaged file holds in the middle of a line stay, but no NUL reaches a text file.
    std::replace(text.begin(), text.end(), '\0', '?');
    return reversedLines(text);
}

bool isCutShort(const std::string& line)
{
    return line.size() >= kCutShortMark.size() &&
           line.compare(line.size() - kCutShortMark.size(), kCutShortMark.size(), kCutShortMark) == 0;
}

LogJournal::LogJournal(std::string path, std::string pendingPath)
    : m_path(std::move(path)), m_pendingPath(std::move(pendingPath))
{
}

bool LogJournal::open()
{
    m_protecting = m_file.openExclusive(m_path);
    if (!m_protecting)
        m_failure = m_file.failure();
    return m_protecting;
}

bool LogJournal::read(std::string& bytes)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (m_file.readAll(bytes))
            return true;
    }
    bytes.clear();
    return failed(m_file.failure());
}

bool LogJournal::setAside(const std::string& aside)
{
    // Closed first: Windows renames no file that is open without sharing the right to delete it.
    m_file.close();
    m_protecting = false;
    m_gathered.clear();
    std::string why;
    // A rename whose folder could not be flushed has still happened.
    return renameFileDurably(m_path, aside, why) || pathKind(aside) == PathKind::RegularFile;
}

bool LogJournal::rewrite(const std::string& paneLines)
{
    m_gathered.clear();
    return (m_file.truncate(0) && m_file.write(reversedLines(paneLines)) && m_file.sync()) || failed(m_file.failure());
}

void LogJournal::add(const std::string& line)
{
    if (m_protecting)
        m_gathered += line;
}

bool LogJournal::flush()
{
    if (!m_protecting || m_gathered.empty())
        return true;
    const std::string bytes = toAnsiCodePage(m_gathered);
    m_gathered.clear();
    return (m_file.write(bytes) && m_file.sync()) || failed(m_file.failure());
}

bool LogJournal::pending(std::optional<PendingArchive>& record)
{
    record.reset();
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        FileHandle file;
        std::string bytes;
        if (file.openForReading(m_pendingPath) && file.readAll(bytes)) {
            record = pendingArchiveFrom(bytes);
            return true;
        }
        // No record, or something in its place that no archive ever wrote.
        if (file.foundNoFile())
            return true;
        m_failure = file.failure();
    }
    return false;
}

bool LogJournal::beginArchive(const PendingArchive& archive)
{
    std::string why;
    return !isOpen() || replaceFileDurably(m_pendingPath, pendingArchiveBytes(archive), why) || failed(why);
}

bool LogJournal::archiveLanded()
{
    if (!isOpen())
        return true;
    m_gathered.clear();
    // Until the journal is empty, its record must stay: it tells the next archive or start that these lines
    // are in their file.
    if (!m_file.truncate(0) || !m_file.sync()) {
        m_recordKept = true;
        return failed(m_file.failure());
    }
    std::string why;
    if (!removeFileDurably(m_pendingPath, why)) {
        m_recordKept = true;
        return failed(why);
    }
    m_recordKept = false;
    m_protecting = true;
    return true;
}

bool LogJournal::archiveFailed()
{
    std::string why;
    return !isOpen() || removeFileDurably(m_pendingPath, why) || failed(why);
}

void LogJournal::keepRecord(const std::string& why)
{
    m_recordKept = true;
    failed(why);
}

bool LogJournal::failed(const std::string& why)
{
    m_failure = why;
    m_protecting = false;
    m_gathered.clear();
    return false;
}
