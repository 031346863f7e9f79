#include "log/LogFileEntry.h"

#include <algorithm>

std::string logEntryBytes(const std::string& dateTimeText, const std::string& message)
{
    return TextFileService::lineBytes(dateTimeText + '\t' + message);
}

LogWriteResult appendLogEntry(TextFileService& files, const std::string& path, const std::string& entry, bool overwrite,
                              LogJournal* journal, PendingArchive::Kind kind)
{
    LogWriteResult result;
    if (!files.openForAppending(path)) {
        // Failing to open is the ordinary case for the first entry of a day, when the file does not exist yet;
        // its reason only matters when the creation fails too.
        const std::string openError = files.lastErrorText();
        if (!files.create(path, overwrite)) {
            const std::string& createError = files.lastErrorText();
            result.failure = createError == openError ? openError : openError + "; " + createError;
            return result;
        }
    }
    if (journal)
        journal->beginArchive({kind, path, std::max<std::int64_t>(files.size(), 0), entry});
    const bool entryWritten = files.write(entry) && files.sync();
    const std::string writeError = files.lastErrorText();
    const bool closed = files.close();
    if (!entryWritten)
        result.failure = writeError;
    else if (!closed)
        result.failure = files.lastErrorText();
    result.written = entryWritten && closed;
    if (journal && result.written)
        journal->archiveLanded();
    else if (journal)
        journal->archiveFailed();
    return result;
}

LogWriteResult writeLogEntry(TextFileService& files, const std::string& path, const std::string& dateTimeText,
                             const std::string& message, bool overwrite, LogJournal* journal)
{
    return appendLogEntry(files, path, logEntryBytes(dateTimeText, message), overwrite, journal);
}

bool entryLanded(const std::string& path, std::int64_t offset, const std::string& entry)
{
    FileHandle file;
    std::string bytes;
    if (!file.openForReading(path) || !file.readAll(bytes))
        return false;
    const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, std::int64_t(bytes.size())));
    if (bytes.find(entry, from) != std::string::npos)
        return true;
    const std::size_t partLength = bytes.size() - from;
    if (partLength > 0 && entry.compare(0, partLength, bytes, from, partLength) == 0 && file.openForAppending(path))
        file.truncate(std::int64_t(from)) && file.sync();
    return false;
}
