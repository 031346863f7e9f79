#pragma once

class QGuiApplication;
class CommandWindow;

// Whether the desktop session may end with the scheduler: when the session manager lets the program
// interact, the close question decides; when it does not, nobody can answer and the session goes ahead.
bool sessionMayEnd(CommandWindow& window, bool interactionAllowed);

// Holds a logout or shutdown behind the close question: anything but Yes cancels it, Yes ends the program.
void guardSessionEnd(QGuiApplication& application, CommandWindow& window);
