#include "scheduler/ApplicationInfo.h"
#include "scheduler/SessionEnd.h"
#include "scheduler/SingleInstance.h"
#include "scheduler/TerminationSignals.h"
#include "ui/frmScheduler.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Wayland compositors take the window's icon from the menu entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("zorScheduler"));

    // A second instance ends here: no window, no message, no setting read, no log line.
    const auto instance = Form_Initialize(RunningApplicationInfo());
    if (!instance)
        return 0;

    // A termination signal ends the program as a Yes to the close question would, without asking: whoever
    // sends it cannot see the window. exit() rather than quit(), which would ask through the close request.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &app, [] { QCoreApplication::exit(0); });

    frmScheduler window(Platform::running());
    guardSessionEnd(app, window);
    window.Form_Load();
    window.show();
    const int result = app.exec();

    // However the program ends in order (Yes to the close question, the session's end, a termination signal),
    // the pane's lines since the last archive go to the daily log file instead of ending with the process.
    if (!window.txtLog->isEmpty())
        window.ClearLog();
    return result;
}
