#pragma once

#include "log/LogJournal.h"
#include "platform/TextFileService.h"

#include <cstdint>
#include <string>

// The result of writing one log file entry.
struct LogWriteResult
{
    bool written = false;
    std::string failure; // why nothing (or not all) was written; empty when written
};

// The bytes of one log file entry: dateTimeText, a TAB, message, CR LF, in the ANSI code page.
std::string logEntryBytes(const std::string& dateTimeText, const std::string& message);

// Appends entry, the bytes of one log file entry, and makes it durable before returning. Opens path for
// appending and, when that fails, creates it (replacing an existing file only when overwrite is true). A
// failing step does not stop the next one: a failed write is still followed by the close. Reports whether the
// entry was written. An entry whose bytes reached the file but whose flush failed is cut back out of it and
// reported as not written; when it cannot be cut back, it is reported written, and the journal keeps its record
// for the next archive or start to settle. With a journal, the entry is recorded there first, and the journal is
// emptied once the entry has landed (LogJournal).
LogWriteResult appendLogEntry(TextFileService& files, const std::string& path, const std::string& entry, bool overwrite,
                              LogJournal* journal = nullptr, PendingArchive::Kind kind = PendingArchive::Kind::Archive);

// appendLogEntry with the entry of dateTimeText and message.
LogWriteResult writeLogEntry(TextFileService& files, const std::string& path, const std::string& dateTimeText,
                             const std::string& message, bool overwrite, LogJournal* journal = nullptr);

enum class EntryLanding
{
    Landed,
    NotLanded,
    Unknown
};

// Whether entry is whole in the file at path, at offset or after it (another writer may have appended in
// between). When the file holds only the entry's first part at offset, which a write cut short by a power cut
// leaves, that part is taken back, so that the entry can be written again whole. Unknown, with the reason in
// failure, when the file is there but cannot be read, or the part cannot be taken back: the entry must then be
// neither written nor taken for written.
EntryLanding entryLanded(const std::string& path, std::int64_t offset, const std::string& entry, std::string& failure);
