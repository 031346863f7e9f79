#pragma once

#include <QString>

// The user's own folder for what the program must keep when it cannot put it where it belongs: on POSIX
// $XDG_STATE_HOME/zorScheduler (by default ~/.local/state/zorScheduler), on Windows the zorScheduler folder
// in the user's local application data. Not created here.
QString userStateFolder();
