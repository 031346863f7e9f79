#include "scheduler/MinuteTimer.h"

#include "platform/Clock.h"

MinuteTimer::MinuteTimer(std::shared_ptr<const Clock> clock, QObject* parent)
    : QObject(parent), m_clock(std::move(clock))
{
    // A precise single-shot wait, planned anew each time: Qt's default coarse timer may end a wait up to 5 %
    // early or late, which is 3 s of a minute.
    m_wait.setTimerType(Qt::PreciseTimer);
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &MinuteTimer::wake);
}

void MinuteTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        m_wait.stop();
    else if (m_interval > 0 && !m_wait.isActive())
        planAfter(m_clock->now());
}

void MinuteTimer::setInterval(int milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    m_plan = TickPlan(milliseconds);
    m_wait.stop();
    setEnabled(m_enabled);
}

std::optional<QDateTime> MinuteTimer::nextTimeout() const
{
    if (!m_enabled || m_interval <= 0 || !m_wait.isActive())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(m_plan.dueTime());
}

void MinuteTimer::enableAfterTick(const QDateTime& tickMoment)
{
    m_enabled = true;
    m_wait.stop();
    if (m_interval > 0)
        planAfter(tickMoment);
}

void MinuteTimer::planAfter(const QDateTime& moment)
{
    // The wait is measured from a reading of its own, taken now, however long ago moment was read.
    m_wait.start(static_cast<int>(m_plan.planAfter(moment, m_clock->now())));
}

void MinuteTimer::wake()
{
    if (!m_enabled || m_interval <= 0)
        return;
    // Planned on from this reading in any case, so the timer goes on even when a handler does not re-arm it.
    qint64 wait = 0;
    const bool due = m_plan.wake(m_clock->now(), wait);
    m_wait.start(static_cast<int>(wait));
    if (due)
        emit timeout();
}
