#pragma once

#include <QObject>
#include <QTimer>

// The period timer with an Enabled switch and an Interval in milliseconds.
//
// It counts with a precise timer: Qt's default coarse timer may fire up to 5 % early, and a tick 3 s before
// the minute it was meant for would start that minute's jobs twice. Switching an enabled timer on again
// keeps its running period, so a second Start does not shift the minute rhythm; an Interval of 0 keeps an
// enabled timer from firing.
class VbTimer : public QObject
{
    Q_OBJECT

public:
    explicit VbTimer(QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int interval() const { return m_interval; }
    // A new Interval starts the count afresh.
    void setInterval(int milliseconds);

    // Whether a timeout is pending, and in how many milliseconds (-1 when none is).
    bool isActive() const { return m_timer.isActive(); }
    int remainingTime() const { return m_timer.remainingTime(); }

    // Switches the timer on again after a handler that ran for elapsedMilliseconds: the next timeout comes
    // one Interval after the handler began, not after it ended, so the handler's own running time does not
    // push every later timeout back.
    void enableAfterRunning(qint64 elapsedMilliseconds);

signals:
    void timeout();

private:
    void fire();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};
