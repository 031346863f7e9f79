#pragma once

#include "platform/SystemLog.h"
#include "scheduler/MessageBoxStyle.h"

#include <QString>

// What start-up and the operator's commands need of the window: the log pane, the timer, the status lamp,
// the lock, the caption, Auto Start and the settings, and the two prompts. SchedulerWindow implements it.
class CommandWindow
{
public:
    virtual ~CommandWindow() = default;

    virtual void AddLogLine(const QString& message, const SystemEvent& event = {}) = 0;
    virtual bool ClearLog() = 0;
    virtual bool isLogEmpty() const = 0;

    // tmrScheduler: its Interval in milliseconds and its Enabled switch.
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void setTimerEnabled(bool enabled) = 0;
    // The status lamp's BackColor (LampColor).
    virtual void setLampColor(int color) = 0;
    // Locked: fraCMD and cmdLock disabled, cmdUnlock enabled, in that order; unlocked the reverse.
    virtual void setLocked(bool locked) = 0;
    virtual void setCaption(const QString& caption) = 0;
    // The Value of chkAutoStart (CheckBoxValue).
    virtual int autoStartValue() const = 0;
    virtual void LoadSettings() = 0;

    // The platform's message box and input box, modal to the window.
    virtual MessageBoxAnswer messageBox(const QString& text, const MessageBoxStyle& style, const QString& title) = 0;
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& preset) = 0;
};
