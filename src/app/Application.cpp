#include "app/Application.h"

#include "app/SessionEnd.h"
#include "app/SingleInstance.h"
#include "platform/ApplicationInfo.h"
#include "platform/SystemLog.h"
#include "scheduler/JobEndListener.h"
#include "ui/SchedulerWindow.h"
#include "ui/ScreenFit.h"

#include <QDir>

#include <chrono>
#include <iostream>

Application::Application(int& argc, char** argv) : m_application(argc, argv)
{
    // Wayland compositors take the window's icon from the menu entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("zorScheduler"));
}

Application::~Application()
{
    // No end of a started program is handed on from here on; the window goes before the application object.
    m_jobEnds.reset();
    m_window.reset();
}

int Application::run()
{
    endOnTerminationSignal();
    if (!takeSingleInstanceLock())
        return 0;
    startSystemLog();
    fitScaleToScreen();
    makeWindow();
    recoverLastRun();
    guardSessionEnd();
    load();
    const int result = exec();
    archiveAtExit();
    reportEnd();
    return result;
}

void Application::endOnTerminationSignal()
{
    // A termination signal ends the program as a Yes to the close question would, without asking: whoever
    // sends it cannot see the window. exit() rather than quit(), which would ask through the close request.
    // One that came earlier has waited since install() and arrives here.
    QObject::connect(&m_termination, &TerminationSignals::received, &m_application, [this] {
        m_terminated = true;
        QCoreApplication::exit(0);
    });
}

bool Application::takeSingleInstanceLock()
{
    // A second instance ends here: no window, no message, no setting read, no log line.
    m_instance = acquireSingleInstance(RunningApplicationInfo());
    return m_instance != nullptr;
}

void Application::startSystemLog()
{
    // The system log hears of this run from here on: its start, every pane line, every started program's end.
    SystemLog::startProgramLog("zorScheduler", std::cerr);
    const QString folder = QDir::toNativeSeparators(RunningApplicationInfo().directory());
    reportSystemEvent({SystemEventId::ProgramStarted,
                       "zorScheduler " ZOR_VERSION " started in " + folder.toStdString() + '.',
                       {{"VERSION", ZOR_VERSION}, {"FOLDER", folder.toStdString()}}});
}

void Application::fitScaleToScreen()
{
    // The window's layout is fixed; on a screen too small for it at the screen's scale, everything is drawn
    // smaller, so that the window is seen whole.
    ::fitScaleToScreen(SchedulerWindow::clientSize());
}

void Application::makeWindow()
{
    m_window = std::make_unique<SchedulerWindow>(Platform::running());
    m_jobEnds = std::make_unique<JobEndListener>(*m_window, *m_window);
}

void Application::recoverLastRun()
{
    // What a crash, a kill or a power cut kept the last run from archiving comes first, before any new line.
    m_window->recoverLastRun();
    if (!m_instance->problem().isEmpty())
        m_window->AddLogLine(QStringLiteral(": ") + m_instance->problem(),
                             {SystemEventId::InstanceLockProblem, {}, {}});
}

void Application::guardSessionEnd()
{
    ::guardSessionEnd(m_application, *m_window);
}

void Application::load()
{
    m_window->Form_Load();
    m_window->show();
    keepWholeOnScreen(*m_window);
}

int Application::exec()
{
    return m_terminated ? 0 : QApplication::exec();
}

void Application::archiveAtExit()
{
    // However the program ends in order (Yes to the close question, the session's end, a termination signal),
    // the pane's lines since the last archive are kept: in the daily log file, or failing that in the user's
    // state folder, or failing that on standard error.
    m_window->archiveLogAtExit(std::cerr);
}

void Application::reportEnd()
{
    const char* const how = m_terminated ? "by a termination signal" : "from its window";
    reportSystemEvent({SystemEventId::ProgramEnded,
                       std::string("zorScheduler ended ") + how + '.',
                       {{"ENDED", m_terminated ? "signal" : "window"}}});
    SystemLog::finishProgramLog(std::chrono::seconds(2));
}
