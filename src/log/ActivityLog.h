#pragma once

#include "log/LogFileEntry.h"

#include <QDateTime>
#include <QString>

#include <iosfwd>
#include <memory>

class ApplicationInfo;
class Clock;
class LogPaneText;
class TextFileService;

// The activity log: the lines in the window's log pane and their daily archive file. The window owns one
// ActivityLog, which owns the window's text-file service, created on the first archive and kept from then on.
class ActivityLog
{
public:
    ActivityLog(LogPaneText& pane, const Clock& clock, const ApplicationInfo& application);
    ~ActivityLog();
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    // Puts the date-time text of this moment, message and CR LF on top of the pane.
    void AddLogLine(const QString& message);

    // Archives the whole pane as one entry of today's log file, then empties the pane. When the entry cannot
    // be written the pane keeps its lines and gets one more saying why; returns whether it was archived.
    bool ClearLog();

    // Appends one entry (date-time text, TAB, message, CR LF) to file. An empty file becomes today's daily
    // log file, and the caller's variable receives that path. overwrite lets a file that must be created
    // anew replace an existing one. Reports whether the entry was written and why not; never throws.
    LogWriteResult WriteLog(const QString& message, QString& file, const bool& overwrite);

    // The last archive, when the program ends in order. A non-empty pane goes to today's log file as ClearLog
    // would put it there. When that file cannot take it, the same entry goes to the file of the same name in
    // the user's state folder, and one line on errors says why and where the lines went; when that fails too,
    // errors gets the reasons and the whole entry. Nothing is shown in the pane, which is about to go.
    void archiveAtExit(std::ostream& errors);

private:
    LogWriteResult writeEntry(const QString& message, const QString& file, bool overwrite, const QDateTime& now);

    LogPaneText& m_pane;
    const Clock& m_clock;
    const ApplicationInfo& m_application;
    std::unique_ptr<TextFileService> m_files;
};
