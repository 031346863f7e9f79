#include "scheduler/JobTick.h"

#include "launcher/ProgramLauncher.h"
#include "platform/Platform.h"
#include "platform/SystemLaunch.h"
#include "scheduler/ControlValues.h"
#include "scheduler/JobTable.h"
#include "scheduler/TickWindow.h"

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

std::vector<SystemEventField> jobFields(const SchedulerJob& job, const QString& file)
{
    return {{"JOB", jobName(job.row)}, {"PROGRAM", file.toStdString()}, {"PARAMETERS", job.parameters}};
}

std::string minutesText(qint64 seconds)
{
    const qint64 minutes = seconds / 60;
    return minutes == 1 ? std::string("1 minute") : std::to_string(minutes) + " minutes";
}

// A job due while its last start still runs (a backup that outlasts the next transfer, a transfer that hangs
// and piles up) is started all the same; the system log is told.
void warnIfStillRunning(TickWindow& window, const SchedulerJob& job, const QString& file, const QDateTime& now)
{
    const std::vector<RunningJobs::Run> runs = window.runningJobs().of(job.row);
    if (runs.empty())
        return;
    const RunningJobs::Run& last = runs.back();
    const qint64 seconds = std::max<qint64>(0, last.started.secsTo(now));
    std::string text = std::string(jobName(job.row)) + " is due while its start of " +
                       last.started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString() + " (process " +
                       std::to_string(last.processId) + ") still runs, for " + minutesText(seconds);
    if (runs.size() > 1)
        text += ", with " + std::to_string(runs.size() - 1) + " earlier starts still running too";
    std::vector<SystemEventField> fields = jobFields(job, file);
    fields.push_back({"PROCESS_ID", std::to_string(last.processId)});
    fields.push_back({"RUN_TIME_MS", std::to_string(seconds * 1000)});
    fields.push_back({"RUNNING_STARTS", std::to_string(runs.size())});
    reportSystemEvent({SystemEventId::JobStillRunning, text + "; it is started again.", fields});
}

void startJob(TickWindow& window, const SchedulerJob& job, const QDateTime& now)
{
    const Platform& platform = window.platform();
    const QString file = programFile(platform.application->directory(), job.program);
    warnIfStillRunning(window, job, file, now);
    const LaunchContext context{platform.shellCall, platform.application->baseName().toStdString()};
    const bool started =
        startProgram(context, file.toStdString(), job.showMode, job.parameters, std::string(), "open", 0);
    std::vector<SystemEventField> fields = jobFields(job, file);
    if (started) {
        const std::int64_t processId = takeStartedProcessId();
        if (processId != 0) {
            fields.push_back({"PROCESS_ID", std::to_string(processId)});
            window.runningJobs().add({job.row, processId, now});
        }
        window.lastRuns().started(job.row, now, processId);
        window.jobRunChanged(job.row);
        window.AddLogLine(QLatin1String(job.logText), {SystemEventId::JobStarted, {}, fields});
        return;
    }
    // The job's line says the start was due and attempted; the next says it did not happen.
    window.AddLogLine(QLatin1String(job.logText), {SystemEventId::Note, {}, fields});
    fields.push_back({"ERROR_NUMBER", std::to_string(lastLaunchFailure.number)});
    fields.push_back({"ERROR", lastLaunchFailure.description});
    const QString failure = QString::fromStdString(lastLaunchFailure.description) + QLatin1String(" (") +
                            QString::number(lastLaunchFailure.number) + QLatin1Char(')');
    window.AddLogLine(QLatin1String(": Start failed: ") + failure + QLatin1Char(' ') + file,
                      {SystemEventId::JobStartFailed, {}, fields});
    window.lastRuns().failed(job.row, now, failure);
    window.jobRunChanged(job.row);
}

void runJob(TickWindow& window, const SchedulerJob& job, const QDateTime& now)
{
    if (window.jobValue(job.row) != CheckBoxValue::Checked)
        return;
    const bool due = job.isDue(now, window.jobNumber(job.row));

    if (!job.latchMarker) {
        if (due)
            startJob(window, job, now);
        return;
    }
    const bool latched = !window.jobLatch(job.row).isEmpty();
    if (due && !latched) {
        window.setJobLatch(job.row, QLatin1String(job.latchMarker));
        startJob(window, job, now);
    } else if (!due && latched) {
        window.setJobLatch(job.row, QString());
    }
}

void applyLogArchiveRule(TickWindow& window, const QDateTime& now)
{
    const bool due = isLogArchiveDue(now);
    const bool latched = !window.archiveLatch().isEmpty();
    if (due && !latched) {
        const bool archived = window.ClearLog();
        window.setArchiveLatch(QStringLiteral("CLEARED"));
        // A failed archive keeps the pane and says so there; nothing was cleaned.
        if (archived)
            window.AddLogLine(QStringLiteral(": Clean Log !"), {SystemEventId::LogCleaned, {}, {}});
    } else if (!due && latched) {
        window.setArchiveLatch(QString());
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

void reportJobEnd(TickWindow& window, const ProcessEnd& end)
{
    const std::optional<RunningJobs::Run> run = window.runningJobs().take(end.processId);
    if (!run)
        return;
    const bool failed = end.exitCode != 0 || end.signal != 0;
    std::vector<SystemEventField> fields = {{"JOB", jobName(run->row)},
                                            {"PROCESS_ID", std::to_string(end.processId)},
                                            {"RUN_TIME_MS", std::to_string(end.runTimeMs)}};
    std::string how;
    if (end.signal != 0) {
        how = "was ended by signal " + std::to_string(end.signal);
        fields.push_back({"EXIT_SIGNAL", std::to_string(end.signal)});
    } else {
        how = "ended with exit code " + std::to_string(end.exitCode);
        fields.push_back({"EXIT_CODE", std::to_string(end.exitCode)});
    }
    const std::string runTime = end.runTimeMs < 1000
                                    ? std::to_string(end.runTimeMs) + " ms"
                                    : QString::number(end.runTimeMs / 1000.0, 'f', 1).toStdString() + " s";
    const std::string text = std::string(jobName(run->row)) + " (process " + std::to_string(end.processId) + ") " +
                             how + " after " + runTime + '.';
    reportSystemEvent({failed ? SystemEventId::JobEndedWithError : SystemEventId::JobEnded, text, fields});
    window.lastRuns().ended(run->row, end);
    window.jobRunChanged(run->row);
}
