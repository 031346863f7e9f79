#include "launcher/mdlShellExecute.h"
#include "support/StandinRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
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

// Gone, or at least not a zombie waiting for the scheduler.
bool reaped(long pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) != "Z";
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
    return GShell({PlatformShellExecute, "zorScheduler"}, local(file), 0, local(parameters), local(directory),
                  operation, windowHandle);
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
    QVERIFY(LastError.isEmpty());

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
    QCOMPARE(PlatformShellExecute(0, verb.c_str(), path.c_str(), "True", workingDirectory.c_str(), 0), code);

    std::int32_t windowHandle = 0;
    QVERIFY(!GShell({PlatformShellExecute, "zorScheduler"}, path, 0, "True", workingDirectory, verb, windowHandle));
    QCOMPARE(LastError.Number, number);
    QCOMPARE(LastError.Source, std::string("zorScheduler.GShell"));
}

QTEST_GUILESS_MAIN(PosixLaunchTest)
#include "PosixLaunchTest.moc"
