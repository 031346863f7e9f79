#include "ui/VbTimer.h"

VbTimer::VbTimer(QObject* parent) : QTimer(parent)
{
    setTimerType(Qt::PreciseTimer);
}

void VbTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    apply();
}

void VbTimer::setInterval(int milliseconds)
{
    if (milliseconds == interval())
        return;
    QTimer::setInterval(milliseconds);
    if (isActive())
        stop();
    apply();
}

void VbTimer::apply()
{
    const bool run = m_enabled && interval() > 0;
    if (run && !isActive())
        start();
    else if (!run && isActive())
        stop();
}
