#include <csignal>

// Preloaded into the real program: its constructor runs among the libraries' constructors, before main(), and
// sends the program SIGTERM there.
namespace {

__attribute__((constructor)) void signalBeforeMain()
{
    std::raise(SIGTERM);
}

} // namespace
