#pragma once

#include "scheduler/JobEndListener.h"
#include "support/TestPlatform.h"
#include "ui/SchedulerWindow.h"

#include <QStringList>

#include <memory>

// The window as the program makes it, on a test platform (a fake clock, a folder of its own with Temp, a
// recording shell call), with an empty settings store under its executable name.
class TestWindow
{
public:
    explicit TestWindow(const QString& baseName = QStringLiteral("zorScheduler"));

    TestPlatform platform;
    SchedulerWindow& window() { return *m_window; }
    const SchedulerWindow& window() const { return *m_window; }

    // Form_Load, then shown, as the program starts.
    void startUp();
    // The program made again on the same platform: a new window, the same folder and settings store.
    void restart();

    // The pane's lines, newest first, and the newest, which is an empty text when there is none (so that a
    // check of it fails instead of crashing).
    QStringList paneLines() const;
    QString newestLine() const;
    // The pane line of message, stamped with the clock's moment.
    QString line(const QString& message) const;
    // The daily log file of the clock's day.
    QString dailyLogFile() const;

private:
    std::unique_ptr<SchedulerWindow> m_window;
    // The ends of the programs its jobs start reach the window, as the program wires them.
    std::unique_ptr<JobEndListener> m_jobEnds;
};
