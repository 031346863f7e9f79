#include "launcher/ProgramLauncher.h"
#include "support/StandinRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Real starts of the stand-in program through the POSIX shell call, as the job tick makes them.
class PosixLaunchTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void parametersArriveAsOneArgumentEach_data();
    void parametersArriveAsOneArgumentEach();
    void workingDirectory_data();
    void workingDirectory();
    void programHoldsNoDescriptorOfTheScheduler();
    void programStartsWithDefaultSignalsInItsOwnSessionAndLeavesNoZombie();
    void aChildWithoutAReaperThreadIsReapedAtTheNextStart();
    void failures_data();
    void failures();

private:
    QString installStandin(const QString& name) const;
    StandinRecord waitForRecord(const QString& program);
    bool launch(const QString& file, const QString& parameters, const QString& directory = QString());

    QString m_standin;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

std::string local(const QString& text)
{
    return text.toStdString();
}

// The state letter that /proc gives the process ('Z' for a zombie), or 0 when it is gone. Without Qt, for a
// forked child of the test too.
char processState(long pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text))
        return 0;
    const std::size_t close = text.rfind(')');
    return close + 2 < text.size() ? text[close + 2] : 0;
}

// Gone, or at least not a zombie waiting for the scheduler.
bool reaped(long pid)
{
    return processState(pid) != 'Z';
}

// Polls for up to ten seconds; plain, for a forked child of the test.
template <typename Condition>
bool eventually(const Condition& condition)
{
    for (int i = 0; i < 1000 && !condition(); ++i)
        usleep(10000);
    return condition();
}

enum ReaperOutcome
{
    Reaped,
    StillAZombie,
    NotArranged,
};

// Runs in a forked child of the test, as a user of its own whose process limit lets the stand-in start but
// leaves no room for its reaper thread. Once the stand-in has ended, the limit is lifted and another start
// made, which must reap the first stand-in.
ReaperOutcome startWithoutAReaperThread(const std::string& first, const std::string& second, uid_t user)
{
    rlimit limit{};
    if (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0 || getrlimit(RLIMIT_NPROC, &limit) != 0)
        return NotArranged;
    const rlim_t unlimited = limit.rlim_max;
    // This process is the user's only one; kernels differ in whether a limit of 1 or 2 lets one more be made.
    bool started = false;
    for (limit.rlim_cur = 1; limit.rlim_cur <= 2 && !started; ++limit.rlim_cur)
        started = setrlimit(RLIMIT_NPROC, &limit) == 0 && systemLaunch(0, "open", first.c_str(), "", "", 0) > 32;
    StandinRecord record;
    if (!started || !eventually([&] { return readStandinRecord(first, record) && !reaped(record.processId); }))
        return NotArranged;
    // A reaper thread, had one been made after all, would not leave the zombie for long.
    usleep(200000);
    if (reaped(record.processId))
        return NotArranged;
    limit.rlim_cur = unlimited;
    setrlimit(RLIMIT_NPROC, &limit);
    systemLaunch(0, "open", second.c_str(), "", "", 0);
    const ReaperOutcome outcome = reaped(record.processId) ? Reaped : StillAZombie;
    // The second stand-in is left to its reaper thread rather than to whoever would inherit it.
    eventually([&] { return readStandinRecord(second, record) && processState(record.processId) == 0; });
    return outcome;
}

// A signal set as /proc shows it, less signals 32 and 33: glibc keeps those for itself, its posix_spawn
// leaves them ignored, and no program can use them.
qulonglong signalSet(const std::string& hex)
{
    bool ok = false;
    const qulonglong set = QString::fromStdString(hex).toULongLong(&ok, 16);
    return ok ? set & ~0x180000000ull : ~0ull;
}

} // namespace

void PosixLaunchTest::initTestCase()
{
    m_standin = qEnvironmentVariable("ZOR_TESTS_BIN") + QStringLiteral("/zor_standin");
    QVERIFY2(QFile::exists(m_standin), qPrintable(m_standin));
}

void PosixLaunchTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString PosixLaunchTest::installStandin(const QString& name) const
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    if (!QFile::copy(m_standin, path))
        return QString();
    return path;
}

StandinRecord PosixLaunchTest::waitForRecord(const QString& program)
{
    StandinRecord record;
    [&] { QTRY_VERIFY_WITH_TIMEOUT(readStandinRecord(local(program), record), 10000); }();
    return record;
}

bool PosixLaunchTest::launch(const QString& file, const QString& parameters, const QString& directory)
{
    std::string operation = "open";
    std::int32_t windowHandle = 0;
    return startProgram({systemLaunch, "zorScheduler"}, local(file), 0, local(parameters), local(directory), operation,
                        windowHandle);
}

void PosixLaunchTest::parametersArriveAsOneArgumentEach_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("parameters");
    QTest::addColumn<QStringList>("arguments");

    const QString velmora = QStringLiteral("Velmora.exe");
    for (const char* parameters :
         {";;;;;;;;;;True", ";;;;;;;;;;;;;;;True", ";;;;;;;;;;;True", ";;false;;False;False;True",
          ";;false;;False;CLEANBAKDIR365", ";;false;;False;TrueOnExit"}) {
        QTest::addRow("the main application receives %s whole", parameters)
            << velmora << QString::fromLatin1(parameters) << QStringList{QString::fromLatin1(parameters)};
    }
    QTest::newRow("the updater receives True")
        << QStringLiteral("UpdateManager.exe") << QStringLiteral("True") << QStringList{QStringLiteral("True")};
    QTest::newRow("shell characters reach the program untouched")
        << velmora << QStringLiteral("$HOME `id` *;|&>x")
        << QStringList{QStringLiteral("$HOME"), QStringLiteral("`id`"), QStringLiteral("*;|&>x")};
    QTest::newRow("quotes group blanks") << QStringLiteral("with blank/Velmora.exe") << QStringLiteral("\"a b\" c")
                                         << QStringList{QStringLiteral("a b"), QStringLiteral("c")};
}

void PosixLaunchTest::parametersArriveAsOneArgumentEach()
{
    QFETCH(QString, program);
    QFETCH(QString, parameters);
    QFETCH(QStringList, arguments);

    const QString path = installStandin(program);
    QVERIFY(!path.isEmpty());
    QVERIFY(launch(path, parameters));
    QVERIFY(lastLaunchFailure.isEmpty());

    const StandinRecord record = waitForRecord(path);
    QCOMPARE(QString::fromStdString(record.program), path);
    QStringList received;
    for (const std::string& argument : record.arguments)
        received << QString::fromStdString(argument);
    QCOMPARE(received, arguments);
}

void PosixLaunchTest::workingDirectory_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<bool>("relativeProgram");

    QTest::newRow("a given directory") << QStringLiteral("work") << false;
    QTest::newRow("no directory keeps the scheduler's") << QString() << false;
    QTest::newRow("a relative program is found from the scheduler's directory, not the given one")
        << QStringLiteral("work") << true;
}

void PosixLaunchTest::workingDirectory()
{
    QFETCH(QString, directory);
    QFETCH(bool, relativeProgram);

    const QString path = installStandin(QStringLiteral("Velmora.exe"));
    QVERIFY(!path.isEmpty());
    const QString schedulerDirectory = m_dir->filePath(QStringLiteral("scheduler"));
    QVERIFY(QDir().mkpath(schedulerDirectory));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("work"))));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(schedulerDirectory));
    const QString file = relativeProgram ? QStringLiteral("../Velmora.exe") : path;
    const QString given = directory.isEmpty() ? QString() : m_dir->filePath(directory);
    const bool started = launch(file, QStringLiteral("True"), given);
    QDir::setCurrent(previous);
    QVERIFY(started);

    const StandinRecord record = waitForRecord(path);
    QCOMPARE(QString::fromStdString(record.workingDirectory), given.isEmpty() ? schedulerDirectory : given);
}

void PosixLaunchTest::programHoldsNoDescriptorOfTheScheduler()
{
    const int inheritable = ::open("/dev/null", O_RDONLY);
    QVERIFY(inheritable >= 3);
    int pipeEnds[2];
    QCOMPARE(::pipe(pipeEnds), 0);

    const QString path = installStandin(QStringLiteral("Velmora.exe"));
    const bool started = launch(path, QStringLiteral(";;;;;;;;;;True"));
    ::close(inheritable);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    QVERIFY(started);

    const StandinRecord record = waitForRecord(path);
    QCOMPARE(record.openDescriptors, (std::vector<int>{0, 1, 2}));
}

void PosixLaunchTest::programStartsWithDefaultSignalsInItsOwnSessionAndLeavesNoZombie()
{
    sigset_t blocked;
    sigset_t previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
    struct sigaction ignore = {};
    struct sigaction previousAction = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGUSR2, &ignore, &previousAction);

    const QString path = installStandin(QStringLiteral("UpdateManager.exe"));
    const bool started = launch(path, QStringLiteral("True"));
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    sigaction(SIGUSR2, &previousAction, nullptr);
    QVERIFY(started);

    const StandinRecord record = waitForRecord(path);
    QVERIFY(record.processId > 0);
    QCOMPARE(record.sessionId, record.processId);
    QCOMPARE(signalSet(record.blockedSignals), 0u);
    QCOMPARE(signalSet(record.ignoredSignals), 0u);
    QTRY_VERIFY_WITH_TIMEOUT(reaped(record.processId), 10000);
}

void PosixLaunchTest::aChildWithoutAReaperThreadIsReapedAtTheNextStart()
{
    if (geteuid() != 0)
        QSKIP("The process limit holds only for a user without privileges, and only root can become one");
#ifdef __SANITIZE_THREAD__
    QSKIP("ThreadSanitizer's own thread in the forked child counts toward the process limit that is set here");
#endif
    const QString first = installStandin(QStringLiteral("Velmora.exe"));
    const QString second = installStandin(QStringLiteral("UpdateManager.exe"));
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    // A user id without an account, so that no other process counts toward its limit, not even a stand-in of
    // an earlier run that has not been reaped yet; the stand-ins write their records into the folder.
    const uid_t user = 50000 + static_cast<uid_t>(getpid() % 10000);
    QCOMPARE(::chown(QFile::encodeName(m_dir->path()).constData(), user, user), 0);

    const std::string firstPath = local(first);
    const std::string secondPath = local(second);
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0)
        _exit(startWithoutAReaperThread(firstPath, secondPath, user));
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == NotArranged)
        QSKIP("No process limit here lets the stand-in start and then end as a zombie");
    QVERIFY2(WEXITSTATUS(status) == Reaped, "The stand-in whose reaper thread could not be made is still a zombie");
}

void PosixLaunchTest::failures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("number");

    const QString velmora = QStringLiteral("Velmora.exe");
    QTest::newRow("a missing program") << QStringLiteral("missing.exe") << QString() << QStringLiteral("open") << 2
                                       << 53;
    QTest::newRow("an empty file name") << QString() << QString() << QStringLiteral("open") << 2 << 53;
    QTest::newRow("a missing working directory")
        << velmora << QStringLiteral("missing") << QStringLiteral("open") << 3 << 76;
    QTest::newRow("a working directory that is a file")
        << velmora << QStringLiteral("notes.txt") << QStringLiteral("open") << 3 << 76;
    QTest::newRow("a program below a file")
        << QStringLiteral("notes.txt/Velmora.exe") << QString() << QStringLiteral("open") << 3 << 76;
    QTest::newRow("a document without execute permission")
        << QStringLiteral("notes.txt") << QString() << QStringLiteral("open") << 5 << 75;
    QTest::newRow("a folder in place of the program")
        << QStringLiteral("folder.exe") << QString() << QStringLiteral("open") << 5 << 75;
    QTest::newRow("an executable text that is no program")
        << QStringLiteral("broken.exe") << QString() << QStringLiteral("open") << 11 << -2147220445;
    QTest::newRow("a verb other than open") << velmora << QString() << QStringLiteral("print") << 31 << -2147220425;
}

void PosixLaunchTest::failures()
{
    QFETCH(QString, file);
    QFETCH(QString, directory);
    QFETCH(QString, operation);
    QFETCH(int, code);
    QFETCH(int, number);

    QVERIFY(!installStandin(QStringLiteral("Velmora.exe")).isEmpty());
    QFile notes(m_dir->filePath(QStringLiteral("notes.txt")));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("a document\n");
    notes.close();
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.exe")));
    QFile broken(m_dir->filePath(QStringLiteral("broken.exe")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("neither a program nor a script\n");
    broken.close();
    QVERIFY(broken.setPermissions(broken.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));

    const std::string path = file.isEmpty() ? std::string() : local(m_dir->filePath(file));
    const std::string workingDirectory = directory.isEmpty() ? std::string() : local(m_dir->filePath(directory));
    std::string verb = local(operation);
    QCOMPARE(systemLaunch(0, verb.c_str(), path.c_str(), "True", workingDirectory.c_str(), 0), code);

    std::int32_t windowHandle = 0;
    QVERIFY(!startProgram({systemLaunch, "zorScheduler"}, path, 0, "True", workingDirectory, verb, windowHandle));
    QCOMPARE(lastLaunchFailure.number, number);
    QCOMPARE(lastLaunchFailure.source, std::string("zorScheduler.GShell"));
}

QTEST_GUILESS_MAIN(PosixLaunchTest)
#include "PosixLaunchTest.moc"
