#include "PlainSchedulerWindow.h"

#include "scheduler/SchedulerJob.h"

PlainSchedulerWindow::PlainSchedulerWindow(Platform platform)
    : m_platform(std::move(platform)), m_log(pane, *m_platform.clock, *m_platform.application)
{
}

int PlainSchedulerWindow::jobValue(const SchedulerJob& job) const
{
    return jobValues.at(static_cast<std::size_t>(job.order - 1));
}

std::optional<int> PlainSchedulerWindow::jobNumber(const SchedulerJob& job) const
{
    return job.numberCombo ? jobNumbers.at(static_cast<std::size_t>(job.order - 1)) : std::nullopt;
}

QString PlainSchedulerWindow::latch(Latch latch) const
{
    return m_latches.at(latch == Latch::LogArchive ? 1 : 0);
}

void PlainSchedulerWindow::setLatch(Latch latch, const QString& marker)
{
    m_latches.at(latch == Latch::LogArchive ? 1 : 0) = marker;
}

void PlainSchedulerWindow::enableTimerAfterTick(const QDateTime& tickMoment)
{
    timerEnabled = true;
    ++timerEnables;
    timerPlannedAfter = tickMoment;
}
