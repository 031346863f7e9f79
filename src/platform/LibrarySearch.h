#pragma once

// Where the program takes the libraries it loads while it runs. On Windows only from the system's own folder:
// never from the program's folder, which the users of a store machine may be able to write to, nor from the
// current folder; the first thing the program does, before anything else can load one. Nothing to do on POSIX,
// whose loader never looks in the program's or the current folder unless told to.
void restrictLibrarySearch();
