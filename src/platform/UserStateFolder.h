#pragma once

#include <QString>

// The user's own folder for what the program must keep when it cannot put it where it belongs: on POSIX
// $XDG_STATE_HOME/zorScheduler (by default ~/.local/state/zorScheduler), on Windows the zorScheduler folder
// in the user's local application data. Not created here.
QString userStateFolder();

// The user's runtime folder, which the system empties at logout: on POSIX $XDG_RUNTIME_DIR when it is set to an
// absolute path (su, cron and ssh without a login session have none: then empty), on Windows Qt's runtime
// location in the user's profile.
QString userRuntimeFolder();

// Empty when folder is a folder that this user alone may enter (on POSIX: owned by this user, nothing for group
// and others; on Windows a folder in the user's profile keeps the profile's access list); otherwise why not.
// Changes nothing.
QString privateFolderProblem(const QString& folder);

// Makes folder, and every missing folder above it, for this user alone: on POSIX 0700 whatever the umask (a file
// the program then makes in it is 0600, see FileHandle); on Windows the user's local application data is the
// user's own already. An existing folder of this user that others may enter is narrowed to 0700; a folder of
// another user is left as it is. True when folder is then a folder that this user alone can use; otherwise
// false, with the reason in problem.
bool makePrivateFolder(const QString& folder, QString* problem = nullptr);
