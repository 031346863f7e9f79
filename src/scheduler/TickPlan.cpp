#include "scheduler/TickPlan.h"

#include <algorithm>

TickPlan::TickPlan(qint64 periodMs) : m_periodMs(std::max<qint64>(periodMs, 1)) {}

qint64 TickPlan::periodOf(const QDateTime& moment) const
{
    // On the local wall clock: shift by the moment's own offset from UTC, cut, and shift back.
    const qint64 offset = qint64(moment.offsetFromUtc()) * 1000;
    const qint64 local = moment.toMSecsSinceEpoch() + offset;
    const qint64 remainder = ((local % m_periodMs) + m_periodMs) % m_periodMs;
    return local - remainder - offset;
}

qint64 TickPlan::planAfter(const QDateTime& moment, const QDateTime& now)
{
    // A clock set back by a period or more since moment was read (while a tick ran) repeats periods, which
    // are planned as after a wake before its planned period.
    if (moment.toMSecsSinceEpoch() - now.toMSecsSinceEpoch() >= m_periodMs)
        planFrom(now);
    else
        m_planned = periodOf(moment) + m_periodMs;
    return waitFrom(now);
}

bool TickPlan::wake(const QDateTime& now, qint64& wait)
{
    const bool due = isDue(now);
    if (due)
        m_planned = periodOf(now) + m_periodMs;
    else
        planFrom(now);
    wait = waitFrom(now);
    return due;
}

void TickPlan::planFrom(const QDateTime& now)
{
    const qint64 period = periodOf(now);
    m_planned = now.toMSecsSinceEpoch() < period + m_periodMs / 2 ? period : period + m_periodMs;
}

qint64 TickPlan::waitFrom(const QDateTime& now) const
{
    return std::clamp<qint64>(dueTime() - now.toMSecsSinceEpoch(), 0, 2 * m_periodMs);
}
