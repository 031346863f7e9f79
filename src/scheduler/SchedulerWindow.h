#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

struct Platform;
struct SchedulerJob;

// The status lamp's colours: 24-bit values with red in the lowest byte.
namespace LampColor {
enum : int
{
    Red = 0x0000ff,
    Green = 0x00ff00
};
} // namespace LampColor

// What the job tick and the operator's commands need of the window, which holds the scheduler's whole state:
// the job switches and numbers on its controls, the two latches in the Tags of chkCleanBackupDir and txtLog,
// the log pane, the timer, the status lamp and the lock. frmScheduler implements it on its real controls;
// the tests also on plain values.
class SchedulerWindow
{
public:
    // The controls whose Tag keeps a job latch.
    enum class Latch
    {
        CleanBackupDir, // chkCleanBackupDir.Tag, row 5's
        LogArchive      // txtLog.Tag, the 07:00 archive's
    };

    virtual ~SchedulerWindow() = default;

    // A check box's Value when ticked (0 is unticked, 2 greyed): the only one that runs a job or Auto Start.
    static constexpr int Ticked = 1;

    virtual const Platform& platform() const = 0;

    // The Value of the job's check box: 0 unticked, 1 ticked, 2 greyed.
    virtual int jobValue(const SchedulerJob& job) const = 0;
    // The number that the selected entry of the job's combo box spells; empty when the job has no combo box,
    // no entry is selected, or the entry's text is no number.
    virtual std::optional<int> jobNumber(const SchedulerJob& job) const = 0;
    virtual QString latch(Latch latch) const = 0;
    virtual void setLatch(Latch latch, const QString& marker) = 0;

    // The activity log (ActivityLog): a line on top of the pane, and the archive of the whole pane.
    virtual void AddLogLine(const QString& message) = 0;
    virtual bool ClearLog() = 0;
    virtual bool isLogEmpty() const = 0;

    // tmrScheduler: its Interval, its Enabled switch, and the switch that a tick turns on again at its end,
    // which plans the next tick for the minute after the one the tick read.
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;
    virtual void enableTimerAfterTick(const QDateTime& tickMoment) = 0;

    // The status lamp's BackColor, with red in the lowest byte.
    virtual void setLampColor(int color) = 0;
    // Locked: fraCMD and cmdLock disabled, cmdUnlock enabled, in that order; unlocked the reverse.
    virtual void setLocked(bool locked) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual int autoStartValue() const = 0;
    virtual void LoadSettings() = 0;

    // The platform's message box and input box (numbering of MessageBoxStyle.h), modal to the window.
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& preset) = 0;
};
