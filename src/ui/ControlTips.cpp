#include "ui/ControlTips.h"

#include "log/DateTimeText.h"
#include "scheduler/JobTable.h"
#include "scheduler/MinuteTimer.h"
#include "ui/IndexComboBox.h"
#include "ui/SchedulerWindow.h"
#include "ui/StatusLamp.h"
#include "ui/ValueCheckBox.h"

#include <QEvent>
#include <QMetaObject>

#include <algorithm>

namespace {

QString runTimeText(qint64 milliseconds)
{
    if (milliseconds < 1000)
        return QStringLiteral("%1 ms").arg(milliseconds);
    if (milliseconds < 60000)
        return QStringLiteral("%1 s").arg(double(milliseconds) / 1000.0, 0, 'f', 1);
    return QStringLiteral("%1 min").arg(milliseconds / 60000);
}

// "a, b and c"
QString listed(const QStringList& parts)
{
    if (parts.size() < 2)
        return parts.join(QString());
    return QStringList(parts.mid(0, parts.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           parts.last();
}

QString endText(const ProcessEnd& end)
{
    const QString after = runTimeText(end.runTimeMs);
    if (end.signal != 0)
        return QStringLiteral("Ended by signal %1 after %2: an error.").arg(end.signal).arg(after);
    if (end.exitCode != 0)
        return QStringLiteral("Ended with exit code %1 after %2: an error.").arg(end.exitCode).arg(after);
    return QStringLiteral("Ended well (exit code 0) after %1.").arg(after);
}

void setText(QWidget* control, const QString& text)
{
    if (!control || control->toolTip() == text)
        return;
    control->setToolTip(text);
    control->setAccessibleDescription(text);
}

} // namespace

ControlTips::ControlTips(SchedulerWindow& window, const MinuteTimer& timer, StatusLamp& lamp,
                         const std::array<JobControls, kJobRowCount>& jobs)
    : m_window(window), m_timer(timer), m_lamp(lamp), m_jobs(jobs), m_programStart(window.platform().clock->now()),
      m_timerSince(m_programStart)
{
    m_lamp.installEventFilter(this);
    for (std::size_t i = 0; i < m_jobs.size(); ++i) {
        const JobRow row = kSchedulerJobs.at(i).row;
        m_jobs[i].box->installEventFilter(this);
        connect(m_jobs[i].box, &ValueCheckBox::valueChanged, this, [this, row] { showJob(row); });
        if (m_jobs[i].combo) {
            m_jobs[i].combo->installEventFilter(this);
            connect(m_jobs[i].combo, &IndexComboBox::listIndexChanged, this, [this, row] { showJob(row); });
        }
    }
    timerSwitched();
}

void ControlTips::timerSwitched()
{
    const bool running = m_timer.isEnabled();
    if (running != m_timerRunning) {
        m_timerRunning = running;
        m_timerSince = m_window.platform().clock->now();
    }
    showTimer();
    for (const SchedulerJob& job : kSchedulerJobs)
        showJob(job.row);
}

void ControlTips::showTimer()
{
    setText(&m_lamp, timerText());
}

void ControlTips::jobRunChanged(JobRow row)
{
    // A tick's starts are shown once it is over, when the timer is planned again.
    const bool queued = m_changedJobs.any();
    m_changedJobs.set(indexOf(row));
    if (!queued)
        QMetaObject::invokeMethod(this, &ControlTips::showChangedJobs, Qt::QueuedConnection);
}

void ControlTips::showChangedJobs()
{
    for (const SchedulerJob& job : kSchedulerJobs) {
        if (m_changedJobs.test(indexOf(job.row)))
            showJob(job.row);
    }
    m_changedJobs.reset();
}

void ControlTips::showJob(JobRow row)
{
    const QString text = jobText(row);
    setText(m_jobs.at(indexOf(row)).box, text);
    setText(m_jobs.at(indexOf(row)).combo, text);
}

bool ControlTips::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip && event->type() != QEvent::FocusIn)
        return false;
    if (watched == &m_lamp)
        showTimer();
    for (std::size_t i = 0; i < m_jobs.size(); ++i) {
        if (watched == m_jobs[i].box || (m_jobs[i].combo && watched == m_jobs[i].combo))
            showJob(kSchedulerJobs.at(i).row);
    }
    return false;
}

QString ControlTips::jobText(JobRow row) const
{
    const SchedulerJob& job = kSchedulerJobs.at(indexOf(row));
    const QDateTime now = m_window.platform().clock->now();
    QStringList lines;

    QStringList notRunning;
    if (m_window.jobValue(row) != CheckBoxValue::Checked)
        notRunning << QStringLiteral("its box is not ticked");
    const std::optional<int> number = m_window.jobNumber(row);
    if (job.number == JobNumber::Period && !number)
        notRunning << QStringLiteral("no period (minutes) is chosen");
    if (job.number == JobNumber::Hour && !number)
        notRunning << QStringLiteral("no hour is chosen");
    const std::optional<QDateTime> nextTick = m_timer.nextTimeout();
    if (!nextTick)
        notRunning << QStringLiteral("the timer is stopped");
    if (!notRunning.isEmpty()) {
        lines << QStringLiteral("Will not run: %1.").arg(listed(notRunning));
    } else if (const std::optional<QDateTime> next =
                   nextJobStart(job, *nextTick, number, !m_window.jobLatch(row).isEmpty())) {
        lines << QStringLiteral("Next run: %1.").arg(dateTimeText(*next));
    } else {
        lines << QStringLiteral("Will not run within a month with the chosen period or hour.");
    }

    const std::optional<LastRuns::Run>& last = m_window.lastRuns().of(row);
    bool lastStillRuns = false;
    if (!last) {
        lines << QStringLiteral("Last start: none since the scheduler started at %1; earlier starts are not known.")
                     .arg(dateTimeText(m_programStart));
    } else if (!last->failure.isEmpty()) {
        lines << QStringLiteral("Last start: %1, failed: %2.").arg(dateTimeText(last->started), last->failure);
    } else {
        lines << QStringLiteral("Last start: %1.").arg(dateTimeText(last->started));
        if (last->end) {
            lines << endText(*last->end);
        } else if (last->processId == 0) {
            lines << QStringLiteral("How it ended is not known: the system handed back no process.");
        } else {
            lastStillRuns = true;
            const qint64 minutes = std::max<qint64>(0, last->started.secsTo(now)) / 60;
            lines << (minutes < 1 ? QStringLiteral("Still running, for less than a minute.")
                                  : QStringLiteral("Still running, for %1 min.").arg(minutes));
        }
    }
    const qsizetype earlier = qsizetype(m_window.runningJobs().of(row).size()) - (lastStillRuns ? 1 : 0);
    if (earlier == 1)
        lines << QStringLiteral("An earlier start still runs too.");
    else if (earlier > 1)
        lines << QStringLiteral("%1 earlier starts still run too.").arg(earlier);
    return lines.join(QLatin1Char('\n'));
}

QString ControlTips::timerText() const
{
    if (const std::optional<QDateTime> nextTick = m_timer.nextTimeout()) {
        return QStringLiteral("The timer runs, since %1.\nNext tick: %2.")
            .arg(dateTimeText(m_timerSince), dateTimeText(*nextTick));
    }
    return QStringLiteral("The timer is stopped, since %1.\nNo job runs until Start is pressed.")
        .arg(dateTimeText(m_timerSince));
}
