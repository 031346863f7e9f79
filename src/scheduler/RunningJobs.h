#pragma once

#include "scheduler/SchedulerJob.h"

#include <QDateTime>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

// The programs that the jobs started and that have not ended yet, by process id: an end names its job, and a
// job due again while an earlier start of it still runs is noticed. A start that hands back no process (a
// document opened through an association) is not here.
class RunningJobs
{
public:
    struct Run
    {
        JobRow row;
        std::int64_t processId;
        QDateTime started;
    };

    void add(const Run& run) { m_runs.push_back(run); }

    // The row's runs, oldest first.
    std::vector<Run> of(JobRow row) const
    {
        std::vector<Run> runs;
        std::copy_if(m_runs.begin(), m_runs.end(), std::back_inserter(runs),
                     [row](const Run& run) { return run.row == row; });
        return runs;
    }

    // The run of the process, which leaves the list; empty when no job started it.
    std::optional<Run> take(std::int64_t processId)
    {
        const auto found = std::find_if(m_runs.begin(), m_runs.end(),
                                        [processId](const Run& run) { return run.processId == processId; });
        if (found == m_runs.end())
            return std::nullopt;
        const Run run = *found;
        m_runs.erase(found);
        return run;
    }

private:
    std::vector<Run> m_runs;
};
