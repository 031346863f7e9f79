#pragma once

class CommandWindow;

// Start-up and the operator's commands, on the window's state. The window's handlers (Form_Load,
// cmdStart_Click, ...) call these and nothing else.

// Form_Load: locks the window, loads the settings, sets the minute period, presses Start when Auto Start reads
// exactly 1, and shows the version in the caption.
void loadWindow(CommandWindow& window);

// Start and Stop repeat their whole effect in any state, each with its pane line. Starting a running timer
// keeps its plan, so a second Start neither delays nor doubles a tick.
void startCommand(CommandWindow& window);
void stopCommand(CommandWindow& window);

void lockCommand(CommandWindow& window);
// Asks for the access code; only "4713" exactly unlocks. A wrong code, one with blanks around it and a
// cancelled prompt are all ignored without a word.
void unlockCommand(CommandWindow& window);

// Clear Log: nothing on an empty pane; otherwise asks, and on Yes archives the pane as it is then (ticks run
// while the question is open).
void clearLogCommand(CommandWindow& window);

// The close question; true when the operator answers Yes and the close may go ahead.
bool closeMayGoAhead(CommandWindow& window);

// Whether the desktop session may end with the scheduler: when the session manager lets the program interact,
// the close question decides; when it does not, nobody can answer and the session goes ahead.
bool sessionMayEnd(CommandWindow& window, bool interactionAllowed);
