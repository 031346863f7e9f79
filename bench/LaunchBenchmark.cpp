#include "launcher/ProgramLauncher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

// One real start of the stand-in program by the POSIX shell call, against the two usual alternatives.
// Wall-clock time throughout: the work happens in the kernel and in other processes, not on this thread.

namespace {

const char* const parameters = ";;;;;;;;;;True";

// A copy under the main application's name, as the scheduler starts it.
class Standin
{
public:
    Standin()
    {
        m_path = m_dir.filePath(QStringLiteral("Velmora.exe"));
        QFile::copy(QStringLiteral(ZOR_STANDIN_PATH), m_path);
        m_program = m_path.toStdString();
        m_dir.setAutoRemove(false);
    }
    // Programs started last may still be writing their records: retry until the folder is gone.
    ~Standin()
    {
        QDeadlineTimer deadline(10000);
        while (!QDir(m_dir.path()).removeRecursively() && !deadline.hasExpired())
            QThread::msleep(10);
    }
    const std::string& program() const { return m_program; }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::string m_program;
};

void BM_SystemLaunch(benchmark::State& state)
{
    const Standin standin;
    for (auto _ : state) {
        if (systemLaunch(0, "open", standin.program().c_str(), parameters, "", 0) <= 32)
            state.SkipWithError("the shell call failed");
    }
}
BENCHMARK(BM_SystemLaunch)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Includes the stand-in's whole run, since it waits for the program to end.
void BM_PosixSpawnAndWait(benchmark::State& state)
{
    const Standin standin;
    std::string argument = parameters;
    char* argv[] = {const_cast<char*>(standin.program().c_str()), argument.data(), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("posix_spawn failed");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
}
BENCHMARK(BM_PosixSpawnAndWait)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_QProcessStartDetached(benchmark::State& state)
{
    const Standin standin;
    const QStringList arguments{QString::fromLatin1(parameters)};
    for (auto _ : state) {
        if (!QProcess::startDetached(standin.path(), arguments))
            state.SkipWithError("QProcess::startDetached failed");
    }
}
BENCHMARK(BM_QProcessStartDetached)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
