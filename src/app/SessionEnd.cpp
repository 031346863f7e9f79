#include "app/SessionEnd.h"

#include "scheduler/Commands.h"

#include <QSessionManager>

void answerSessionEnd(CommandWindow& window, QSessionManager& manager)
{
    if (!sessionMayEnd(window, manager.allowsInteraction())) {
        manager.cancel();
        return;
    }
    manager.release();
    // exit(), not quit(): quit() would close the window and so ask the close question a second time.
    QCoreApplication::exit(0);
}
