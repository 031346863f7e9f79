#include "log/LogFileEntry.h"

#include <algorithm>

namespace {

// A read or a cut that fails once may work the next time.
constexpr int kAttempts = 3;

// Cuts the open file back to length, durably, through the handle that wrote or read it: an entry that reached
// the file but not the disk goes out of it again.
template <typename File>
bool cutBack(File& file, std::int64_t length, const std::string& (File::*reason)() const, std::string& failure)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (file.truncate(length) && file.sync())
            return true;
        failure = (file.*reason)();
    }
    return false;
}

// The file at path, to read it and, where it must be, cut it back, or nothing to say when nothing that the
// archive would write to is there. A file this user may read but not write still tells whether the entry is in
// it; only a cut then fails.
bool openToSettle(FileHandle& file, const std::string& path)
{
    return file.openForUpdating(path) ||
           (file.openFault() == FileHandle::OpenFault::Failed && file.openForReading(path));
}

} // namespace

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
        // its reason only matters when the creation fails too. What the open refused (a link, another user's
        // file) the creation would only refuse again.
        const std::string openError = files.lastErrorText();
        if (files.openFault() == FileHandle::OpenFault::Refused) {
            result.failure = openError;
            return result;
        }
        if (!files.create(path, overwrite)) {
            const std::string& createError = files.lastErrorText();
            result.failure = createError == openError ? openError : openError + "; " + createError;
            return result;
        }
    }
    const std::int64_t before = files.size();
    if (journal)
        journal->beginArchive({kind, path, std::max<std::int64_t>(before, 0), entry});
    if (!files.write(entry)) {
        result.failure = files.lastErrorText();
        files.close();
        if (journal)
            journal->archiveFailed();
        return result;
    }
    // The bytes are in the file. A close that fails after the flush leaves them on the disk: the entry landed.
    // A flush that fails leaves them in the file, but perhaps not on the disk: they are cut back out, so that
    // the entry can go elsewhere whole; if even that fails, they stay, and count as written, never to be
    // written twice, while the journal keeps the record that tells the next archive or start where they are.
    const bool durable = files.sync();
    const std::string syncError = files.lastErrorText();
    result.written = true;
    if (durable) {
        files.close();
        if (journal)
            journal->archiveLanded();
        return result;
    }
    std::string cutError;
    const bool takenBack = before >= 0 && cutBack(files, before, &TextFileService::lastErrorText, cutError);
    files.close();
    if (takenBack) {
        result.written = false;
        result.failure = syncError + "; the entry was taken back out of the file";
        if (journal)
            journal->archiveFailed();
        return result;
    }
    result.failure = syncError + "; the entry stays in the file, not known to be on the disk" +
                     (cutError.empty() ? std::string() : " (" + cutError + ")");
    if (journal)
        journal->keepRecord(path + ": " + result.failure);
    return result;
}

LogWriteResult writeLogEntry(TextFileService& files, const std::string& path, const std::string& dateTimeText,
                             const std::string& message, bool overwrite, LogJournal* journal)
{
    return appendLogEntry(files, path, logEntryBytes(dateTimeText, message), overwrite, journal);
}

EntryLanding entryLanded(const std::string& path, std::int64_t offset, const std::string& entry, std::string& failure)
{
    // One handle reads, compares and cuts: the name may lead to another file by the time it is opened again.
    FileHandle file;
    std::string bytes;
    for (int attempt = 0;; ++attempt) {
        if ((file.isOpen() || openToSettle(file, path)) && file.readAll(bytes))
            break;
        // Nothing in the file's place, or something the archive never writes to (a link, another user's file,
        // no regular file): the entry cannot be there.
        if (file.foundNoFile())
            return EntryLanding::NotLanded;
        failure = file.failure();
        if (attempt + 1 == kAttempts)
            return EntryLanding::Unknown;
    }
    const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, std::int64_t(bytes.size())));
    if (bytes.find(entry, from) != std::string::npos)
        return EntryLanding::Landed;
    const std::size_t partLength = bytes.size() - from;
    if (partLength > 0 && entry.compare(0, partLength, bytes, from, partLength) == 0 &&
        !cutBack(file, std::int64_t(from), &FileHandle::failure, failure))
        return EntryLanding::Unknown;
    return EntryLanding::NotLanded;
}
