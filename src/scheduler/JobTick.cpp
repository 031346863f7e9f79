#include "scheduler/JobTick.h"

#include "launcher/mdlShellExecute.h"
#include "scheduler/SchedulerJob.h"
#include "ui/ControlTag.h"
#include "ui/VbCheckBox.h"
#include "ui/VbComboBox.h"
#include "ui/frmScheduler.h"

#include <QElapsedTimer>

namespace {

// Disarms the timer for the tick and re-arms it however the tick is left. The next tick is due one period
// after this one began: counted from its end, every tick's own running time (several program starts at a
// full hour) would push all later ticks back, until now and then a calendar minute went without any tick
// and its jobs did not run. Ticks still never overlap, and never come less than a period apart.
class TimerRearm
{
public:
    explicit TimerRearm(VbTimer& timer) : m_timer(timer)
    {
        m_running.start();
        m_timer.setEnabled(false);
    }
    ~TimerRearm() { m_timer.enableAfterRunning(m_running.elapsed()); }
    TimerRearm(const TimerRearm&) = delete;
    TimerRearm& operator=(const TimerRearm&) = delete;

private:
    VbTimer& m_timer;
    QElapsedTimer m_running;
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
    auto* box = form.findChild<VbCheckBox*>(QLatin1String(job.checkBox));
    if (box->value() != VbCheckBox::Checked)
        return;

    std::optional<int> selected;
    if (job.numberCombo)
        selected = selectedNumber(*form.findChild<VbComboBox*>(QLatin1String(job.numberCombo)));
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
    const TimerRearm rearm(*form.tmrScheduler);
    // One clock reading for the whole tick: separate readings for hour and minute could straddle an hour.
    const QDateTime now = form.platform().clock->now();
    for (const SchedulerJob& job : kSchedulerJobs)
        runJob(form, job, now);
    applyLogArchiveRule(form, now);
}
