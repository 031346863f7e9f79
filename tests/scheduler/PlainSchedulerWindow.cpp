#include "PlainSchedulerWindow.h"

PlainSchedulerWindow::PlainSchedulerWindow(Platform platform)
    : m_platform(std::move(platform)), m_log(pane, *m_platform.clock, *m_platform.application)
{
}

void PlainSchedulerWindow::enableTimerAfterTick(const QDateTime& tickMoment)
{
    timerEnabled = true;
    ++timerEnables;
    timerPlannedAfter = tickMoment;
}
