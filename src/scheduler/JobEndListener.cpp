#include "scheduler/JobEndListener.h"

#include "platform/SystemLaunch.h"
#include "scheduler/JobTick.h"

#include <QMetaObject>
#include <QObject>

JobEndListener* JobEndListener::s_newest = nullptr;

JobEndListener::JobEndListener(QObject& context, TickWindow& window)
{
    s_newest = this;
    // The platform tells an end on a thread of its own.
    QObject* const receiver = &context;
    setProcessEndHandler([receiver, &window](const ProcessEnd& end) {
        QMetaObject::invokeMethod(
            receiver, [&window, end] { reportJobEnd(window, end); }, Qt::QueuedConnection);
    });
}

JobEndListener::~JobEndListener()
{
    if (s_newest != this)
        return;
    setProcessEndHandler({});
    s_newest = nullptr;
}
