#include "platform/ApplicationInfo.h"
#include "platform/SystemLog.h"
#include "scheduler/SessionEnd.h"
#include "scheduler/SingleInstance.h"
#include "scheduler/TerminationSignals.h"
#include "ui/ScreenFit.h"
#include "ui/frmScheduler.h"

#include <QApplication>

#include <QDir>

#include <chrono>
#include <iostream>

int main(int argc, char* argv[])
{
    // First of all (on POSIX already before the libraries' constructors, main_posix.cpp): from here on no
    // termination signal, and no write to a standard error that nobody reads, ends the program by the default
    // action.
    TerminationSignals::install();
    QApplication app(argc, argv);
    // Wayland compositors take the window's icon from the menu entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("zorScheduler"));

    // A termination signal ends the program as a Yes to the close question would, without asking: whoever
    // sends it cannot see the window. exit() rather than quit(), which would ask through the close request.
    // One that came earlier has waited since install() and arrives here. One that start-up already met (an
    // event processed before the event loop runs, where exit() does nothing) is remembered, and the event
    // loop is not entered at all.
    TerminationSignals termination;
    bool terminated = false;
    QObject::connect(&termination, &TerminationSignals::received, &app, [&terminated] {
        terminated = true;
        QCoreApplication::exit(0);
    });

    // A second instance ends here: no window, no message, no setting read, no log line.
    const auto instance = Form_Initialize(RunningApplicationInfo());
    if (!instance)
        return 0;

    // The system log hears of this run from here on: its start, every pane line, every started program's end.
    SystemLog::startProgramLog("zorScheduler", std::cerr);
    const QString folder = QDir::toNativeSeparators(RunningApplicationInfo().directory());
    reportSystemEvent({SystemEventId::ProgramStarted,
                       "zorScheduler " ZOR_VERSION " started in " + folder.toStdString() + '.',
                       {{"VERSION", ZOR_VERSION}, {"FOLDER", folder.toStdString()}}});

    // The window's layout is fixed; on a screen too small for it at the screen's scale, everything is drawn
    // smaller, so that the window is seen whole.
    fitScaleToScreen(frmScheduler::clientSize());
    frmScheduler window(Platform::running());
    // What a crash, a kill or a power cut kept the last run from archiving comes first, before any new line.
    window.recoverLastRun();
    if (!instance->problem().isEmpty())
        window.AddLogLine(QStringLiteral(": ") + instance->problem(), {SystemEventId::InstanceLockProblem, {}, {}});
    guardSessionEnd(app, window);
    window.Form_Load();
    window.show();
    keepWholeOnScreen(window);
    const int result = terminated ? 0 : app.exec();

    // However the program ends in order (Yes to the close question, the session's end, a termination signal),
    // the pane's lines since the last archive are kept: in the daily log file, or failing that in the user's
    // state folder, or failing that on standard error.
    window.archiveLogAtExit(std::cerr);
    const char* const how = terminated ? "by a termination signal" : "from its window";
    reportSystemEvent({SystemEventId::ProgramEnded,
                       std::string("zorScheduler ended ") + how + '.',
                       {{"ENDED", terminated ? "signal" : "window"}}});
    SystemLog::finishProgramLog(std::chrono::seconds(2));
    return result;
}
