#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

// [0] is written by the signal handler, [1] read on the main thread. A handler may only do async-signal-safe
// work, so it hands the signal number over as one byte and the event loop does the rest.
int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}

void setHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

} // namespace

void TerminationSignals::install()
{
    // Standard error may be a pipe whose reader is gone; a warning must not end the scheduler. A file-size
    // limit must make a write fail, so the log writer can take back what it wrote and say so.
    setHandler(SIGPIPE, SIG_IGN);
    setHandler(SIGXFSZ, SIG_IGN);
    if (g_pipe[1] >= 0)
        return;
    // Close-on-exec: the started programs must not inherit the pair. Without a pair the default action stays:
    // a request that cannot reach the event loop still ends the program.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    // A full buffer must never block the handler; one pending byte is enough to end the program.
    ::fcntl(g_pipe[0], F_SETFL, ::fcntl(g_pipe[0], F_GETFL) | O_NONBLOCK);
    sigset_t handled;
    sigemptyset(&handled);
    for (const int signalNumber : kSignals) {
        setHandler(signalNumber, onTerminationSignal);
        sigaddset(&handled, signalNumber);
    }
    // A parent may have started the program with these blocked; handled now, they must also arrive.
    pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    install();
    if (g_pipe[1] < 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
}

// The handlers stay for the rest of the process: a request during the last steps of an orderly end is
// already being met, and must not cut them short.
TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPending()
{
    char byte = 0;
    if (::read(g_pipe[1], &byte, 1) == 1)
        emit received(static_cast<unsigned char>(byte));
}
