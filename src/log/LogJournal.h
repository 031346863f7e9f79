#pragma once

#include "platform/FileHandle.h"

#include <cstdint>
#include <optional>
#include <string>

// A log file entry on its way into its file, as the journal records it before the entry is written: the file,
// its length before the entry, and the entry's bytes. An archive of the pane writes one; so does start-up when
// it archives what the last run left.
struct PendingArchive
{
    enum class Kind
    {
        Archive,
        Recovery
    };
    Kind kind = Kind::Archive;
    std::string target;
    std::int64_t offset = 0;
    std::string entry;
};

std::string pendingArchiveBytes(const PendingArchive& pending);
// Nothing for bytes that are not a whole record.
std::optional<PendingArchive> pendingArchiveFrom(const std::string& bytes);

// The lines that a journal holds as the pane held them: newest first, each ending in CR LF, in the bytes of the
// ANSI code page. A newest line that was cut short as it was written is kept as far as it reads, and marked.
std::string paneLinesOf(const std::string& journalBytes);
// Whether a pane line (without its CR LF) carries that mark.
bool isCutShort(const std::string& line);

// The log pane's write-ahead journal: every pane line since the last archive that landed, oldest first, in the
// bytes the daily log file would get. Lines gather with add() and reach the disk with flush(), once per tick or
// command, in one write made durable before it returns; so a crash, a kill or a power cut loses no line that
// the pane showed after a tick or a command. The file is held by one running scheduler alone.
//
// An archive of the pane records its entry first (beginArchive), then writes it to its log file; only once it
// is there is the journal emptied (archiveLanded), and only then is the record removed. Start-up finds the
// record of an archive that a crash interrupted, and so knows whether the entry landed: no line is archived
// twice, and none is lost.
//
// A failure of the journal's own (a full disk, a file that cannot be written) never stops the program: the
// journal stops taking lines, keeping what it holds, and failure() says why. The next archive that lands
// empties it and it protects the lines from then on.
class LogJournal
{
public:
    LogJournal(std::string path, std::string pendingPath);

    // Opens the journal and holds it. False when it cannot be used; no line is then protected.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }
    bool isProtecting() const { return m_protecting; }
    const std::string& path() const { return m_path; }
    // Why the last failing step failed.
    const std::string& failure() const { return m_failure; }

    // The journal's bytes, as the last run left them; a read that fails is tried again a few times.
    bool read(std::string& bytes);
    // Gives the journal, which could not be read, the name aside, unused so far, and closes it; open() then
    // starts a new one. False when it keeps its name; it is closed all the same, and never emptied.
    bool setAside(const std::string& aside);
    // Replaces the journal's lines by the pane's lines (newest first), in the journal's order.
    bool rewrite(const std::string& paneLines);

    // One pane line (UTF-8, with its CR LF); kept until flush().
    void add(const std::string& line);
    // Writes what add() gathered, durably. False only when the journal failed just now.
    bool flush();

    // The record of an archive that a crash or an I/O error interrupted, in record, if there is one. False when
    // a record is there but cannot be read.
    bool pending(std::optional<PendingArchive>& record);
    // Before an entry is written. False when the record cannot be made; the archive goes ahead all the same.
    bool beginArchive(const PendingArchive& archive);
    // The entry is in its file: the journal is emptied (the lines gathered since the last flush are in the entry
    // too) and the record removed. False when that fails; the journal then stops taking lines.
    bool archiveLanded();
    // The entry is not in its file: the record goes, the journal keeps its lines.
    bool archiveFailed();
    // The entry may be in its file, but that cannot be told, or made sure of, now: the record and the journal's
    // lines stay as they are until the next archive or start settles them, and the journal takes no lines.
    void keepRecord(const std::string& why);
    bool keepsRecord() const { return m_recordKept; }
    // The kept record is settled, or is about to be replaced by the record of its own entry.
    void releaseRecord() { m_recordKept = false; }

private:
    bool failed(const std::string& why);

    std::string m_path;
    std::string m_pendingPath;
    FileHandle m_file;
    std::string m_gathered;
    bool m_protecting = false;
    bool m_recordKept = false;
    std::string m_failure;
};
