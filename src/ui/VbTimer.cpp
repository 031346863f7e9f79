#include "ui/VbTimer.h"

#include <algorithm>

VbTimer::VbTimer(QObject* parent) : QObject(parent)
{
    // Single-shot underneath: each timeout sets up the next, so the next one can be shortened by the time
    // its handler ran.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &VbTimer::fire);
}

void VbTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        m_timer.stop();
    else if (m_interval > 0 && !m_timer.isActive())
        m_timer.start(m_interval);
}

void VbTimer::setInterval(int milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    m_timer.stop();
    setEnabled(m_enabled);
}

void VbTimer::enableAfterRunning(qint64 elapsedMilliseconds)
{
    m_enabled = true;
    m_timer.stop();
    if (m_interval > 0)
        m_timer.start(static_cast<int>(std::clamp<qint64>(m_interval - elapsedMilliseconds, 0, m_interval)));
}

void VbTimer::fire()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    emit timeout();
}
