#pragma once

#include <QDateTime>

// When the period timer fires, as a pure function of wall-clock readings. The local wall clock is cut into
// periods of the timer's Interval, counted from local midnight: for 60000 ms, the calendar minutes. Each
// period gets its timeout in its middle, at second 30 of the minute, so that a wait may end up to half a
// period late, or the clock be stepped back by up to half a period, and the timeout still falls in the
// minute it was meant for.
//
// Every wait is planned afresh from a clock reading and is never counted from the previous timeout, so the
// lateness of single waits (Linux allows 0.1 % of a wait, Windows a clock tick) never adds up.
class TickPlan
{
public:
    explicit TickPlan(qint64 periodMs);

    // The start of the period holding moment, in milliseconds since the epoch. Periods are cut on the local
    // wall clock, so two moments with the same local minute but different offsets (the repeated hour when
    // daylight saving ends) lie in different periods.
    qint64 periodOf(const QDateTime& moment) const;

    // Plans the timeout for the period after the one holding moment and returns how long to wait for it
    // from now: never less than 0 (a timeout already due fires at once), never more than two periods. When
    // the clock was set back by a period or more between the two readings, plans as wake() does for a wake
    // before the planned period.
    qint64 planAfter(const QDateTime& moment, const QDateTime& now);

    // Whether a wait that ended at now is the timeout planned: now lies in the planned period or a later one.
    bool isDue(const QDateTime& now) const { return periodOf(now) >= m_planned; }

    // A wait has ended at now: plans the next timeout, stores how long to wait for it in wait, and returns
    // whether this wake is a timeout. A due wake plans the period after now's. A wake still before the planned
    // period (the clock was set back, or the wait ended early) is none: it plans the period now lies in while
    // that period's due time is still ahead, else the one after. So the periods a clock set back repeats are
    // ticked again from the wake on, while a step back of less than a period, which lands the wake past the
    // due time of the period already ticked, never ticks that one twice.
    bool wake(const QDateTime& now, qint64& wait);

    // The start of the period the next timeout is for, and the moment it is due.
    qint64 plannedPeriod() const { return m_planned; }
    qint64 dueTime() const { return m_planned + m_periodMs / 2; }

private:
    // The period now lies in while its due time is ahead, else the one after.
    void planFrom(const QDateTime& now);
    qint64 waitFrom(const QDateTime& now) const;

    qint64 m_periodMs;
    qint64 m_planned = 0;
};
