#pragma once

#include "app/TerminationSignals.h"

#include <QApplication>

#include <memory>

class JobEndListener;
class SingleInstance;
class SchedulerWindow;

// The program's life, from the first line of main() to its return, as named steps in the order they run.
class Application
{
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Starts the scheduler, runs it until it ends in order, and returns the process's exit code. A second
    // instance returns at once, having shown nothing and read or written nothing.
    int run();

private:
    // Before the QApplication exists, since until then a termination signal's default action would end the
    // program; on POSIX EarlySignals_posix.cpp has done it even earlier, before the libraries' constructors.
    struct SignalsFirst
    {
        SignalsFirst() { TerminationSignals::install(); }
    };

    void endOnTerminationSignal();
    bool takeSingleInstanceLock();
    void startSystemLog();
    void fitScaleToScreen();
    void makeWindow();
    void recoverLastRun();
    void guardSessionEnd();
    void load();
    int exec();
    void archiveAtExit();
    void reportEnd();

    SignalsFirst m_signalsFirst;
    QApplication m_application;
    TerminationSignals m_termination;
    // A termination signal that start-up already met (an event processed before the event loop runs, where
    // exit() does nothing): the event loop is then not entered at all.
    bool m_terminated = false;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<SchedulerWindow> m_window;
    std::unique_ptr<JobEndListener> m_jobEnds;
};
