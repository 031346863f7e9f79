#pragma once

#include "platform/SystemLaunch.h"
#include "scheduler/SchedulerJob.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

// Each job's last start and how it ended, as this run of the program saw them, for the operator to look at. Nothing
// of it is kept past the program's end: after a restart a job has no last start until a tick starts it.
class LastRuns
{
public:
    struct Run
    {
        // The tick's moment.
        QDateTime started;
        // 0 when the start handed back no process (it failed, or a document was opened).
        std::int64_t processId = 0;
        // Why the start failed, as the pane says it; empty when it did not fail.
        QString failure;
        std::optional<ProcessEnd> end;
    };

    const std::optional<Run>& of(JobRow row) const { return m_runs.at(indexOf(row)); }

    void started(JobRow row, const QDateTime& moment, std::int64_t processId)
    {
        m_runs.at(indexOf(row)) = Run{moment, processId, QString(), std::nullopt};
    }
    void failed(JobRow row, const QDateTime& moment, const QString& failure)
    {
        m_runs.at(indexOf(row)) = Run{moment, 0, failure, std::nullopt};
    }
    // The end of a program the row started; only that of its last start is kept.
    void ended(JobRow row, const ProcessEnd& end)
    {
        std::optional<Run>& run = m_runs.at(indexOf(row));
        if (run && run->processId == end.processId)
            run->end = end;
    }

private:
    std::array<std::optional<Run>, kJobRowCount> m_runs;
};
