#include "scheduler/JobTick.h"

#include "launcher/mdlShellExecute.h"
#include "scheduler/SchedulerJob.h"
#include "ui/ControlTag.h"
#include "ui/VbCheckBox.h"
#include "ui/VbComboBox.h"
#include "ui/frmScheduler.h"

namespace {

// Disarms the timer for the tick and re-arms it however the tick is left. The next tick is planned from the
// tick's own clock reading, for the minute after the one the tick ran for: however long the tick's starts
// take, no minute is skipped, and no minute is ticked twice.
class TimerRearm
{
public:
    TimerRearm(VbTimer& timer, const QDateTime& tickMoment) : m_timer(timer), m_tickMoment(tickMoment)
    {
        m_timer.setEnabled(false);
    }
    ~TimerRearm() { m_timer.enableAfterTick(m_tickMoment); }
    TimerRearm(const TimerRearm&) = delete;
    TimerRearm& operator=(const TimerRearm&) = delete;

private:
    VbTimer& m_timer;
    const QDateTime m_tickMoment;
};

void startJob(frmScheduler& form, const SchedulerJob& job)
{
    const Platform& platform = form.platform();
    const QString file = programFile(platform.application->directory(), job.program);
    const ShellContext context{platform.shellCall, platform.application->baseName().toStdString()};
    std::string operation = "open";
    std::int32_t windowHandle = 0;
    const bool started =
        GShell(context, file.toStdString(), job.showMode, job.parameters, std::string(), operation, windowHandle);
    form.AddLogLine(QLatin1String(job.logText));
    if (!started) {
        // The job's line says the start was due and attempted; this one says it did not happen.
        form.AddLogLine(QLatin1String(": Start failed: ") + QString::fromStdString(LastError.Description) +
                        QLatin1String(" (") + QString::number(LastError.Number) + QLatin1String(") ") + file);
    }
}

void runJob(frmScheduler& form, const SchedulerJob& job, const QDateTime& now)
{
    VbCheckBox* box = &form.jobBox(job);
    if (box->value() != VbCheckBox::Checked)
        return;

    std::optional<int> selected;
    if (const VbComboBox* combo = form.jobCombo(job))
        selected = selectedNumber(*combo);
    const bool due = job.isDue(now, selected);

    if (!job.latchMarker) {
        if (due)
            startJob(form, job);
        return;
    }
    const bool latched = !controlTag(box).isEmpty();
    if (due && !latched) {
        setControlTag(box, QLatin1String(job.latchMarker));
        startJob(form, job);
    } else if (!due && latched) {
        setControlTag(box, QString());
    }
}

void applyLogArchiveRule(frmScheduler& form, const QDateTime& now)
{
    const bool due = isLogArchiveDue(now);
    const bool latched = !controlTag(form.txtLog).isEmpty();
    if (due && !latched) {
        const bool archived = form.ClearLog();
        setControlTag(form.txtLog, QStringLiteral("CLEARED"));
        // A failed archive keeps the pane and says so there; nothing was cleaned.
        if (archived)
            form.AddLogLine(QStringLiteral(": Clean Log !"));
    } else if (!due && latched) {
        setControlTag(form.txtLog, QString());
    }
}

} // namespace

std::optional<int> selectedNumber(const VbComboBox& combo)
{
    bool ok = false;
    const int number = combo.list(combo.listIndex()).toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

void runJobTick(frmScheduler& form)
{
    // One clock reading for the whole tick: separate readings for hour and minute could straddle an hour.
    const QDateTime now = form.platform().clock->now();
    const TimerRearm rearm(*form.tmrScheduler, now);
    for (const SchedulerJob& job : kSchedulerJobs)
        runJob(form, job, now);
    applyLogArchiveRule(form, now);
}
