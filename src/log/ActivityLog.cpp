#include "log/ActivityLog.h"

#include "log/DailyLogFile.h"
#include "log/DateTimeText.h"
#include "log/LogPaneText.h"
#include "platform/ApplicationInfo.h"
#include "platform/Clock.h"
#include "platform/FilePaths.h"
#include "platform/TextFileService.h"

#include <QDir>

#include <ostream>

ActivityLog::ActivityLog(LogPaneText& pane, const Clock& clock, const ApplicationInfo& application)
    : m_pane(pane), m_clock(clock), m_application(application)
{
}

ActivityLog::~ActivityLog() = default;

void ActivityLog::AddLogLine(const QString& message)
{
    m_pane.prependText(dateTimeText(m_clock.now()) + message + QLatin1String("\r\n"));
}

bool ActivityLog::ClearLog()
{
    QString file;
    const bool overwrite = false;
    const LogWriteResult result = WriteLog(m_pane.text(), file, overwrite);
    if (!result.written) {
        // Emptying the pane now would lose the lines for good: they stay until an archive succeeds.
        AddLogLine(QLatin1String(": Log archive failed: ") + QString::fromStdString(result.failure) + QLatin1Char(' ') +
                   file);
        return false;
    }
    m_pane.setText(QString());
    return true;
}

LogWriteResult ActivityLog::WriteLog(const QString& message, QString& file, const bool& overwrite)
{
    // One reading for the file's date and the entry's time, so an entry written on the stroke of midnight
    // cannot land in one day's file stamped with the next day's time.
    const QDateTime now = m_clock.now();
    if (file.isEmpty())
        file = dailyLogFilePath(m_application.directory(), now.date());
    return writeEntry(message, file, overwrite, now);
}

void ActivityLog::archiveAtExit(std::ostream& errors)
{
    if (m_pane.isEmpty())
        return;
    const QDateTime now = m_clock.now();
    const QString message = m_pane.text();
    const QString daily = dailyLogFilePath(m_application.directory(), now.date());
    const LogWriteResult archived = writeEntry(message, daily, false, now);
    if (archived.written) {
        m_pane.setText(QString());
        return;
    }

    const QString folder = m_application.stateDirectory();
    const QString fallback = fileInDirectory(folder, dailyLogFileName(now.date()));
    QDir().mkpath(folder);
    const LogWriteResult rescued = writeEntry(message, fallback, false, now);
    errors << m_application.baseName().toStdString() << ": the log pane could not be archived to "
           << daily.toStdString() << " (" << archived.failure << ")";
    if (rescued.written) {
        errors << "; its lines went to " << fallback.toStdString() << std::endl;
        m_pane.setText(QString());
        return;
    }
    // The entry as the file would have had it, with the line ends of a terminal.
    QString lines = dateTimeText(now) + QLatin1Char('\t') + message;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    errors << ", nor to " << fallback.toStdString() << " (" << rescued.failure << "); its lines follow" << std::endl
           << lines.toStdString() << std::flush;
}

LogWriteResult ActivityLog::writeEntry(const QString& message, const QString& file, bool overwrite,
                                       const QDateTime& now)
{
    if (!m_files)
        m_files = std::make_unique<TextFileService>();
    return writeLogEntry(*m_files, file.toStdString(), dateTimeText(now).toStdString(), message.toStdString(),
                         overwrite);
}
