#pragma once

#include "scheduler/TickPlan.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

class Clock;

// The period timer with an Enabled switch and an Interval in milliseconds (0 keeps it from firing).
//
// It fires once in every period of the local wall clock while enabled: with the scheduler's one-minute
// Interval, once in every calendar minute, at its second 30 (see TickPlan). Each wait is planned from a fresh clock
// reading; on waking the clock is read again, and a wake that is still before the planned minute (the wait ended early,
// or the clock was set back) plans again without firing, for the minute the clock shows while its second 30 is still
// ahead, while one that is a minute or more late (the machine slept, the clock jumped) fires once, for the minute it is
// in. Switching the timer on plans the first timeout for the minute after the current one; switching an enabled timer
// on again keeps its plan, so a second Start neither delays nor doubles a tick.
class MinuteTimer : public QObject
{
    Q_OBJECT

public:
    explicit MinuteTimer(std::shared_ptr<const Clock> clock, QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int interval() const { return m_interval; }
    // A new Interval plans afresh.
    void setInterval(int milliseconds);

    // Whether a wait is running, and how many milliseconds are left of it (-1 when none is).
    bool isActive() const { return m_wait.isActive(); }
    int remainingTime() const { return m_wait.remainingTime(); }

    // The moment the next timeout is due; empty while the timer is off or has no Interval.
    std::optional<QDateTime> nextTimeout() const;

    // Switches the timer on again after a timeout handler whose clock reading was tickMoment: the next
    // timeout is for the period after tickMoment's, however long the handler ran.
    void enableAfterTick(const QDateTime& tickMoment);

signals:
    void timeout();

private:
    void planAfter(const QDateTime& moment);
    void wake();

    std::shared_ptr<const Clock> m_clock;
    QTimer m_wait;
    TickPlan m_plan{0};
    int m_interval = 0;
    bool m_enabled = false;
};
