#include "scheduler/SessionEnd.h"

#include "ui/frmScheduler.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <cstdint>

bool sessionMayEnd(frmScheduler& form, bool interactionAllowed)
{
    if (!interactionAllowed)
        return true;
    std::int16_t cancel = 0;
    form.Form_QueryUnload(cancel, 0);
    return cancel == 0;
}

void guardSessionEnd(QGuiApplication& application, frmScheduler& form)
{
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager& manager) {
        if (!sessionMayEnd(form, manager.allowsInteraction())) {
            manager.cancel();
            return;
        }
        manager.release();
        // exit(), not quit(): quit() would close the window and so ask the close question a second time.
        QCoreApplication::exit(0);
    });
}
