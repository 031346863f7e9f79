#pragma once

#include "platform/SystemLog.h"
#include "scheduler/LastRuns.h"
#include "scheduler/RunningJobs.h"
#include "scheduler/SchedulerJob.h"

#include <QDateTime>
#include <QString>

#include <optional>

struct Platform;

// What the job tick needs of the window, which holds the scheduler's whole state: each job's switch and
// number on its controls, the two latches in the Tags of chkCleanBackupDir and txtLog, the log pane and the
// timer. SchedulerWindow implements it on its real controls, the tests also on plain values.
class TickWindow
{
public:
    virtual ~TickWindow() = default;

    virtual const Platform& platform() const = 0;

    // The Value of the row's check box (CheckBoxValue).
    virtual int jobValue(JobRow row) const = 0;
    // The number that the selected entry of the row's combo box spells; empty when the row has no combo box,
    // no entry is selected, or the entry's text is no number.
    virtual std::optional<int> jobNumber(JobRow row) const = 0;
    // The Tag of the row's check box, where a job with a latch keeps it.
    virtual QString jobLatch(JobRow row) const = 0;
    virtual void setJobLatch(JobRow row, const QString& tag) = 0;
    // The Tag of the log pane, where the 07:00 archive keeps its latch.
    virtual QString archiveLatch() const = 0;
    virtual void setArchiveLatch(const QString& tag) = 0;

    // The programs the jobs started that have not ended yet.
    virtual RunningJobs& runningJobs() = 0;
    // Each job's last start and its end, and the note that the row's changed: the window shows it once the tick
    // (or the end's delivery) is over.
    virtual LastRuns& lastRuns() = 0;
    virtual void jobRunChanged(JobRow row) = 0;

    // The activity log (ActivityLog): a line on top of the pane, which is also the event, and the archive of
    // the whole pane.
    virtual void AddLogLine(const QString& message, const SystemEvent& event = {}) = 0;
    virtual bool ClearLog() = 0;

    // tmrScheduler's Enabled switch, and the switch that a tick turns on again at its end, which plans the
    // next tick for the minute after the one the tick read.
    virtual void setTimerEnabled(bool enabled) = 0;
    virtual void enableTimerAfterTick(const QDateTime& tickMoment) = 0;
};
