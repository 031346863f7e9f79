#include "scheduler/SessionEnd.h"

#include "scheduler/Commands.h"

#include <QGuiApplication>
#include <QSessionManager>

bool sessionMayEnd(CommandWindow& window, bool interactionAllowed)
{
    return !interactionAllowed || closeMayGoAhead(window);
}

void guardSessionEnd(QGuiApplication& application, CommandWindow& window)
{
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &application,
                     [&window](QSessionManager& manager) {
                         if (!sessionMayEnd(window, manager.allowsInteraction())) {
                             manager.cancel();
                             return;
                         }
                         manager.release();
                         // exit(), not quit(): quit() would close the window and so ask the close question a
                         // second time.
                         QCoreApplication::exit(0);
                     });
}
