#pragma once

#include "log/ActivityLog.h"
#include "platform/Platform.h"
#include "scheduler/SchedulerWindow.h"
#include "support/PlainPaneText.h"

#include <array>

// The scheduler's window as plain values, without a widget: what the job tick reads and writes, open to the
// test. Its log is the real activity log over a plain pane text; its timer only notes what it is told.
class PlainSchedulerWindow final : public SchedulerWindow
{
public:
    explicit PlainSchedulerWindow(Platform platform);

    // By the job's place in the table (order 1 to 7).
    std::array<int, 7> jobValues{};
    std::array<std::optional<int>, 7> jobNumbers{};
    PlainPaneText pane;
    bool timerEnabled = false;
    int timerEnables = 0;
    QDateTime timerPlannedAfter;

    const Platform& platform() const override { return m_platform; }
    int jobValue(const SchedulerJob& job) const override;
    std::optional<int> jobNumber(const SchedulerJob& job) const override;
    QString latch(Latch latch) const override;
    void setLatch(Latch latch, const QString& marker) override;
    void AddLogLine(const QString& message) override { m_log.AddLogLine(message); }
    bool ClearLog() override { return m_log.ClearLog(); }
    bool isLogEmpty() const override { return pane.isEmpty(); }
    void setTimerInterval(int) override {}
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void enableTimerAfterTick(const QDateTime& tickMoment) override;
    // Start-up and the commands are the real window's (LifecycleTest); the tick needs none of them.
    void setLampColor(int) override {}
    void setLocked(bool) override {}
    void setCaption(const QString&) override {}
    int autoStartValue() const override { return 0; }
    void LoadSettings() override {}
    int messageBox(const QString&, int, const QString&) override { return 0; }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }

private:
    Platform m_platform;
    ActivityLog m_log;
    std::array<QString, 2> m_latches;
};
