#include "log/ActivityLog.h"

#include "log/DailyLogFile.h"
#include "log/DateTimeText.h"
#include "log/TextFileService.h"
#include "scheduler/ApplicationInfo.h"
#include "scheduler/Clock.h"
#include "ui/LogPane.h"

ActivityLog::ActivityLog(LogPane& pane, const Clock& clock, const ApplicationInfo& application)
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
    if (!m_files)
        m_files = std::make_unique<TextFileService>();
    return writeLogEntry(*m_files, file.toStdString(), dateTimeText(now).toStdString(), message.toStdString(),
                         overwrite);
}
