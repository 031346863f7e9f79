#pragma once

#include "log/ActivityLog.h"
#include "platform/Platform.h"
#include "scheduler/TickWindow.h"
#include "support/PlainPaneText.h"

#include <array>

// What the job tick reads and writes of the window, as plain values open to the test, without a widget. Its
// log is the real activity log over a plain pane text; its timer only notes what it is told.
class PlainSchedulerWindow final : public TickWindow
{
public:
    explicit PlainSchedulerWindow(Platform platform);

    // By row (indexOf).
    std::array<int, kJobRowCount> jobValues{};
    std::array<std::optional<int>, kJobRowCount> jobNumbers{};
    std::array<QString, kJobRowCount> jobTags;
    QString paneTag;
    RunningJobs running;
    LastRuns last;
    PlainPaneText pane;
    bool timerEnabled = false;
    int timerEnables = 0;
    QDateTime timerPlannedAfter;

    const Platform& platform() const override { return m_platform; }
    int jobValue(JobRow row) const override { return jobValues.at(indexOf(row)); }
    std::optional<int> jobNumber(JobRow row) const override { return jobNumbers.at(indexOf(row)); }
    QString jobLatch(JobRow row) const override { return jobTags.at(indexOf(row)); }
    void setJobLatch(JobRow row, const QString& tag) override { jobTags.at(indexOf(row)) = tag; }
    QString archiveLatch() const override { return paneTag; }
    void setArchiveLatch(const QString& tag) override { paneTag = tag; }
    RunningJobs& runningJobs() override { return running; }
    LastRuns& lastRuns() override { return last; }
    void jobRunChanged(JobRow) override {}
    void AddLogLine(const QString& message, const SystemEvent& event = {}) override
    {
        m_log.AddLogLine(message, event);
    }
    bool ClearLog() override { return m_log.ClearLog(); }
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void enableTimerAfterTick(const QDateTime& tickMoment) override;

private:
    Platform m_platform;
    ActivityLog m_log;
};
