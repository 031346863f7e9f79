#pragma once

#include <QTimer>

// The period timer with an Enabled switch and an Interval in milliseconds. It is a precise timer: Qt's
// default coarse timer may fire up to 5 % early, and a tick 3 s before the minute it was meant for would
// start that minute's jobs twice. Switching an enabled timer on again keeps its running period, so a second
// Start does not shift the minute rhythm; an Interval of 0 keeps an enabled timer from firing.
class VbTimer : public QTimer
{
    Q_OBJECT

public:
    explicit VbTimer(QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    void setInterval(int milliseconds);

private:
    void apply();

    bool m_enabled = false;
};
