#pragma once

#include <QGuiApplication>
#include <QObject>

class CommandWindow;
class QSessionManager;

// The session manager's request to the window as the session ends: anything but Yes to the close question
// cancels the logout or shutdown; Yes ends the program.
void answerSessionEnd(CommandWindow& window, QSessionManager& manager);

// Holds a logout or shutdown behind the close question for as long as window lives. Window is a QObject
// that is a CommandWindow (the scheduler's window).
template <typename Window>
QMetaObject::Connection guardSessionEnd(QGuiApplication& application, Window& window)
{
    return QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                            [&window](QSessionManager& manager) { answerSessionEnd(window, manager); });
}
