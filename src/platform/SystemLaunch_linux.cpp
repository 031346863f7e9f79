#include "platform/CommandLine.h"
#include "platform/ProcessEnds.h"
#include "platform/SystemLaunch.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// There is no shell with document associations here: the file itself is started with posix_spawn, never
// through /bin/sh, because the parameter strings hold ";" and other characters a shell would interpret.
// The parameter string is split by the Windows command-line rules, so a program receives the arguments it
// would receive on Windows. Failures come back as the Windows shell's codes, so that startProgram classifies
// them in one way on every platform.

namespace {

// Any value above 32 reads as success; a process id could be 32 or less inside a fresh pid namespace.
constexpr std::int32_t startedCode = 42;

constexpr std::int32_t fileNotFound = 2;
constexpr std::int32_t pathNotFound = 3;
constexpr std::int32_t accessDenied = 5;
constexpr std::int32_t outOfMemory = 8;
constexpr std::int32_t badFormat = 11;
constexpr std::int32_t sharingViolation = 26;
constexpr std::int32_t noAssociation = 31;
constexpr std::int32_t otherFailure = 1;

std::int32_t shellCodeForErrno(int error)
{
    switch (error) {
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return pathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return accessDenied;
    case ENOEXEC:
        return badFormat;
    case ETXTBSY:
        return sharingViolation;
    case ENOMEM:
    case EAGAIN:
    case E2BIG:
    case EMFILE:
    case ENFILE:
        return outOfMemory;
    default:
        return otherFailure;
    }
}

const char* orEmpty(const char* text)
{
    return text ? text : "";
}

bool isOpenVerb(const std::string& operation)
{
    if (operation.empty())
        return true;
    static const char open[] = "open";
    if (operation.size() != sizeof open - 1)
        return false;
    for (std::size_t i = 0; i < operation.size(); ++i) {
        const char c = operation[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != open[i])
            return false;
    }
    return true;
}

// The child reports a failed chdir with the same ENOENT as a missing program, so the directory is looked at
// before the start. 0 when it can be used.
std::int32_t checkDirectory(const std::string& directory)
{
    struct stat info;
    if (stat(directory.c_str(), &info) != 0)
        return errno == EACCES ? accessDenied : pathNotFound;
    return S_ISDIR(info.st_mode) ? 0 : pathNotFound;
}

// With a working directory of its own, a relative file name would otherwise be looked up from there.
std::string resolvedFile(const std::string& file, const std::string& directory)
{
    if (directory.empty() || file.empty() || file.front() == '/')
        return file;
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return file;
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data()) + '/' + file;
}

int prepareChild(posix_spawn_file_actions_t& actions, posix_spawnattr_t& attributes, const std::string& directory)
{
    // The program gets no descriptor of the scheduler's, and no terminal: its standard streams lead nowhere,
    // as a Windows program started without a console.
    int error = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (!error)
        error = posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!error)
        error = posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (!error)
        error = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!error && !directory.empty())
        error = posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

    // A session of its own, so the program outlives the scheduler and its terminal; signal dispositions and
    // mask as a freshly started program expects them, whatever the scheduler's threads had set.
    sigset_t allSignals;
    sigset_t noSignals;
    sigfillset(&allSignals);
    sigemptyset(&noSignals);
    if (!error)
        error = posix_spawnattr_setsigdefault(&attributes, &allSignals);
    if (!error)
        error = posix_spawnattr_setsigmask(&attributes, &noSignals);
    if (!error)
        error =
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    return error;
}

int spawn(pid_t& pid, const std::string& file, const std::vector<std::string>& arguments, const std::string& directory)
{
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(file.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    int error = posix_spawn_file_actions_init(&actions);
    if (error)
        return error;
    posix_spawnattr_t attributes;
    error = posix_spawnattr_init(&attributes);
    if (!error) {
        error = prepareChild(actions, attributes, directory);
        if (!error)
            error = posix_spawn(&pid, file.c_str(), &actions, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
    }
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

// The scheduler never waits for a program it started, yet a program that ends must not stay a zombie, and its
// end is told (setProcessEndHandler). A thread per child waits for that one child only: a SIGCHLD handler or
// waiting for any child would take the exit status away from the scheduler's other children, such as those Qt
// starts.
//
// When no thread can be made (the process or thread limit is reached, which a zombie itself counts toward),
// the child is kept here and looked at, without waiting, at every later start.
using SteadyClock = std::chrono::steady_clock;

struct Child
{
    pid_t pid;
    SteadyClock::time_point started;
};

std::mutex unreapedLock;
std::vector<Child> unreaped;

void reportEnd(const Child& child, int status)
{
    ProcessEnd end;
    end.processId = child.pid;
    if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    else
        end.exitCode = WEXITSTATUS(status);
    end.runTimeMs = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - child.started).count();
    reportProcessEnd(end);
}

void reapFinishedWithoutThread()
{
    const std::lock_guard<std::mutex> lock(unreapedLock);
    unreaped.erase(std::remove_if(unreaped.begin(), unreaped.end(),
                                  [](const Child& child) {
                                      int status = 0;
                                      pid_t result = 0;
                                      do {
                                          result = waitpid(child.pid, &status, WNOHANG);
                                      } while (result == -1 && errno == EINTR);
                                      if (result == child.pid)
                                          reportEnd(child, status);
                                      // Still running is 0; reaped, or no child of ours at all, is done with.
                                      return result != 0;
                                  }),
                   unreaped.end());
}

void reapWhenFinished(const Child& child)
{
    try {
        std::thread([child] {
            int status = 0;
            pid_t result = 0;
            do {
                result = waitpid(child.pid, &status, 0);
            } while (result == -1 && errno == EINTR);
            if (result == child.pid)
                reportEnd(child, status);
        }).detach();
    } catch (...) {
        try {
            const std::lock_guard<std::mutex> lock(unreapedLock);
            unreaped.push_back(child);
        } catch (...) {
            // Out of memory as well: this one child stays a zombie until the scheduler ends.
        }
    }
}

} // namespace

std::int32_t systemLaunch(std::intptr_t, const char* operation, const char* file, const char* parameters,
                          const char* directory, std::int32_t)
{
    // Before the start, so that a zombie no longer holds a place under the process limit.
    reapFinishedWithoutThread();
    recordStartedProcess(0);
    if (!isOpenVerb(orEmpty(operation)))
        return noAssociation;
    const std::string workingDirectory = orEmpty(directory);
    const std::string program = resolvedFile(orEmpty(file), workingDirectory);
    if (program.empty())
        return fileNotFound;
    if (!workingDirectory.empty()) {
        const std::int32_t directoryFailure = checkDirectory(workingDirectory);
        if (directoryFailure)
            return directoryFailure;
    }

    pid_t pid = 0;
    const SteadyClock::time_point started = SteadyClock::now();
    const int error = spawn(pid, program, splitWindowsCommandLine(orEmpty(parameters)), workingDirectory);
    if (error)
        return shellCodeForErrno(error);
    recordStartedProcess(pid);
    reapWhenFinished(Child{pid, started});
    return startedCode;
}
