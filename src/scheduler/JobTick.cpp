#include "scheduler/JobTick.h"

#include "launcher/mdlShellExecute.h"
#include "platform/Platform.h"
#include "scheduler/JobTable.h"
#include "scheduler/TickWindow.h"
#include "scheduler/WindowValues.h"

namespace {

// Disarms the timer for the tick and re-arms it however the tick is left. The next tick is planned from the
// tick's own clock reading, for the minute after the one the tick ran for: however long the tick's starts
// take, no minute is skipped, and no minute is ticked twice.
class TimerRearm
{
public:
    TimerRearm(TickWindow& window, const QDateTime& tickMoment) : m_window(window), m_tickMoment(tickMoment)
    {
        m_window.setTimerEnabled(false);
    }
    ~TimerRearm() { m_window.enableTimerAfterTick(m_tickMoment); }
    TimerRearm(const TimerRearm&) = delete;
    TimerRearm& operator=(const TimerRearm&) = delete;

private:
    TickWindow& m_window;
    const QDateTime m_tickMoment;
};

void startJob(TickWindow& window, const SchedulerJob& job)
{
    const Platform& platform = window.platform();
    const QString file = programFile(platform.application->directory(), job.program);
    const ShellContext context{platform.shellCall, platform.application->baseName().toStdString()};
    const bool started = GShell(context, file.toStdString(), job.showMode, job.parameters, std::string(), "open", 0);
    window.AddLogLine(QLatin1String(job.logText));
    if (!started) {
        // The job's line says the start was due and attempted; this one says it did not happen.
        window.AddLogLine(QLatin1String(": Start failed: ") + QString::fromStdString(LastError.Description) +
                          QLatin1String(" (") + QString::number(LastError.Number) + QLatin1String(") ") + file);
    }
}

void runJob(TickWindow& window, const SchedulerJob& job, const QDateTime& now)
{
    if (window.jobValue(job.row) != CheckBoxValue::Checked)
        return;
    const bool due = job.isDue(now, window.jobNumber(job.row));

    if (!job.latchMarker) {
        if (due)
            startJob(window, job);
        return;
    }
    const bool latched = !window.jobTag(job.row).isEmpty();
    if (due && !latched) {
        window.setJobTag(job.row, QLatin1String(job.latchMarker));
        startJob(window, job);
    } else if (!due && latched) {
        window.setJobTag(job.row, QString());
    }
}

void applyLogArchiveRule(TickWindow& window, const QDateTime& now)
{
    const bool due = isLogArchiveDue(now);
    const bool latched = !window.logTag().isEmpty();
    if (due && !latched) {
        const bool archived = window.ClearLog();
        window.setLogTag(QStringLiteral("CLEARED"));
        // A failed archive keeps the pane and says so there; nothing was cleaned.
        if (archived)
            window.AddLogLine(QStringLiteral(": Clean Log !"));
    } else if (!due && latched) {
        window.setLogTag(QString());
    }
}

} // namespace

void runJobTick(TickWindow& window)
{
    // One clock reading for the whole tick: separate readings for hour and minute could straddle an hour.
    const QDateTime now = window.platform().clock->now();
    const TimerRearm rearm(window, now);
    for (const SchedulerJob& job : kSchedulerJobs)
        runJob(window, job, now);
    applyLogArchiveRule(window, now);
}
