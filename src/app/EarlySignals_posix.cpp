#include "app/TerminationSignals.h"

// The program's first code on POSIX: the executable's preinit array runs right after the dynamic loader has
// mapped the libraries, before any of their constructors, which take most of the start-up time before main().
// So a termination signal ends the program by its default action only in the few milliseconds of the loader.
// The handlers need nothing that the constructors make: sigaction, a socket pair and a static array.
namespace {

void installTerminationHandlers(int, char**, char**)
{
    TerminationSignals::install();
}

__attribute__((section(".preinit_array"), used)) void (*const earliest)(int, char**,
                                                                        char**) = installTerminationHandlers;

} // namespace
