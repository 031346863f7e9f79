#pragma once

#include "log/LogFileEntry.h"
#include "platform/SystemLog.h"

#include <QDateTime>
#include <QString>

#include <iosfwd>
#include <memory>
#include <optional>

class ApplicationInfo;
class Clock;
class LogJournal;
class LogPaneText;
class TextFileService;

// Where WriteLog put an entry, and whether it landed.
struct LogWrite
{
    QString file;
    LogWriteResult result;
};

// The activity log: the lines in the window's log pane, their daily archive file and, once recoverLastRun() has
// run, their write-ahead journal. The window owns one ActivityLog, which owns the window's text-file service,
// created on the first archive and kept from then on.
class ActivityLog
{
public:
    ActivityLog(LogPaneText& pane, const Clock& clock, const ApplicationInfo& application);
    ~ActivityLog();
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    // Puts the date-time text of this moment, message and CR LF on top of the pane, and hands the line to the
    // journal, which keeps it from the next flushJournal() on. The line is also the event for the system log,
    // whose text is the message without its leading ": " unless event brings a text of its own. A path or an
    // error text in message cannot break the line: its control and format characters show as <U+XXXX>.
    void AddLogLine(const QString& message, const SystemEvent& event = {});

    // Archives the whole pane as one entry of today's log file, then empties the pane. When that file cannot
    // take the entry, it goes to the file of the same name in the user's state folder, and the emptied pane gets
    // a line saying why and where the lines went. When neither can take it, the pane keeps its lines and gets one
    // more for each file, saying why; returns whether it was archived.
    bool ClearLog();

    // Appends one entry (date-time text, TAB, message, CR LF) to file, or when file is empty to today's daily
    // log file, and makes it durable. overwrite lets a file that must be created anew replace an existing one.
    // The message is the pane's text: once the entry has landed, the journal no longer holds those lines.
    // Reports the file and whether the entry was written and why not; never throws.
    LogWrite WriteLog(const QString& message, const QString& file = {}, bool overwrite = false);

    // The last archive, when the program ends in order. A non-empty pane goes to today's log file as ClearLog
    // would put it there. When that file cannot take it, the same entry goes to the file of the same name in
    // the user's state folder, and one line on errors says why and where the lines went; when that fails too,
    // errors gets the reasons and the whole entry, and the journal keeps the lines for the next start. Nothing
    // is shown in the pane, which is about to go.
    void archiveAtExit(std::ostream& errors);

    // Start-up, before any line is added: takes the journal in the user's state folder for this run's lines,
    // after archiving what it still holds (a crash, a kill or a power cut ended the last run before its lines
    // were archived) as one entry of today's log file, or else of the file of the same name in the state
    // folder, exactly once; one pane line says how many lines went where. Lines that cannot be archived now
    // come back to the pane. When the journal cannot be used, the pane and standard error say that the lines
    // are not protected, and the program runs on without it.
    void recoverLastRun();

    // Makes the lines added since the last call durable in the journal, in one write: the window calls it as
    // each tick and each command ends. When the journal fails, the pane and standard error say so once.
    void flushJournal();

private:
    struct Archived;
    Archived archivePane(const QDateTime& now);
    void sayArchiveFailed(const QString& file, const QString& failure);
    Archived archiveWithFallback(const std::string& entry, const QString& file, PendingArchive::Kind kind);
    LogWriteResult writeEntry(const std::string& entry, const QString& file, bool overwrite,
                              PendingArchive::Kind kind = PendingArchive::Kind::Archive);
    void sayRecovered(const std::string& entry, const Archived& archived);
    void settle(const std::optional<PendingArchive>& pending, bool readable);
    void settleKeptRecord();
    void setAsideUnreadJournal();
    void sayIfJournalFailed();

    LogPaneText& m_pane;
    const Clock& m_clock;
    const ApplicationInfo& m_application;
    std::unique_ptr<TextFileService> m_files;
    std::unique_ptr<LogJournal> m_journal;
    // Whether the journal protected the lines when last looked at, so that a failure is said once.
    bool m_journalProtecting = false;
    // Whether the record the journal keeps is one whose entry this run has not said where it is.
    bool m_keptRecordUntold = false;
};
