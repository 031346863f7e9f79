#include "log/LogJournal.h"
#include "platform/UserStateFolder.h"
#include "scheduler/SingleInstance.h"

#include "support/StoredSettings.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#define SKIP_WITHOUT_TERMINATION_SIGNALS()                                                                             \
    QSKIP("Termination signals are POSIX; on Windows the program ends in order through its close question or "         \
          "the session's end (LifecycleTest, and the end-to-end run under Wine)")
#else
#define SKIP_WITHOUT_TERMINATION_SIGNALS()
#endif

// strace holds the program at a chosen system call, or sends it a signal there; it needs ptrace.
#define SKIP_WITHOUT_STRACE()                                                                                          \
    if (QProcess::execute(QStringLiteral("strace"),                                                                    \
                          {QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("true")}) != 0)           \
    QSKIP("strace is not installed, or this process may not trace others")

// On Windows the suite runs in a throw-away Wine prefix: the lock lies in the user's own runtime folder there,
// and the settings in the registry under the program's name.
class ProgramTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_programs;
    QTemporaryDir m_state;

    QString lockDirectory() const
    {
#ifdef Q_OS_WIN
        return SingleInstance::defaultLockDirectory();
#else
        return m_runtime.path();
#endif
    }
    QString lockFile(const QString& baseName) const
    {
        return QDir(lockDirectory()).filePath(SingleInstance::lockFileName(baseName));
    }
    static QString executableSuffix()
    {
        const QString suffix = QFileInfo(QString::fromUtf8(ZOR_PROGRAM)).suffix();
        return suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix;
    }
    static QMap<QString, QString> storedSettings()
    {
        return StoredSettings::values(QStringLiteral("zorScheduler"));
    }

    // The process id that the last holder of baseName's lock wrote into it; 0 when there is none.
    qint64 lockHolder(const QString& baseName) const
    {
        return readFile(lockFile(baseName)).split('\n').constFirst().toLongLong();
    }
    bool lockIsHeld(const QString& baseName) const
    {
        return !SingleInstance(lockDirectory(), baseName).isOnlyInstance();
    }

    // The real program, headless, with settings, lock and state folder in the test's own folders. inChild
    // runs in the new process just before the program is executed (POSIX only).
    std::unique_ptr<QProcess> start(const QString& program = QString::fromUtf8(ZOR_PROGRAM),
                                    const QStringList& arguments = {},
                                    [[maybe_unused]] const std::function<void()>& inChild = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_state.path());
        // LeakSanitizer cannot work under a tracer.
        if (program == QLatin1String("strace"))
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        process->setProcessEnvironment(environment);
        process->setProgram(program);
        process->setArguments(arguments);
#ifdef Q_OS_UNIX
        if (inChild)
            process->setChildProcessModifier(inChild);
#endif
        process->start();
        if (!process->waitForStarted(10000))
            qWarning("%ls did not start: %ls", qUtf16Printable(program), qUtf16Printable(process->errorString()));
        return process;
    }

    // The user's state folder of the programs started here, which keeps their journal.
    QString stateFolder() const
    {
#ifdef Q_OS_WIN
        return userStateFolder();
#else
        return m_state.filePath(QStringLiteral("zorScheduler"));
#endif
    }
    QString journal() const
    {
        return QDir(stateFolder()).filePath(QStringLiteral("zorScheduler.journal"));
    }

    // Every daily log file of a program's folder, one after the other.
    static QByteArray dailyLogs(const QString& program)
    {
        const QDir folder(QFileInfo(program).dir().filePath(QStringLiteral("Temp")));
        QByteArray logs;
        for (const QString& name : folder.entryList({QStringLiteral("zorScheduler-LOG-*.log")}, QDir::Files))
            logs += readFile(folder.filePath(name));
        return logs;
    }

    // A copy of the program in a folder of its own, so that its daily log file is the test's, with Auto
    // Start stored so that its pane has a line to archive.
    QString programAlone(const QString& folderName, bool withTempFolder = true)
    {
        const QDir folder(m_programs.path());
        if (!folder.mkpath(folderName + (withTempFolder ? QStringLiteral("/Temp") : QString())))
            return QString();
        const QString program = folder.filePath(folderName + QStringLiteral("/zorScheduler") + executableSuffix());
        if (!QFile::copy(QString::fromUtf8(ZOR_PROGRAM), program) ||
            !StoredSettings::store(QStringLiteral("zorScheduler"),
                                   {{QStringLiteral("AutoStart"), QStringLiteral("1")}}))
            return QString();
        return program;
    }

    // The real program under strace, which meets the program's system calls as injection says; options narrow
    // them down (-P path: only the calls on that file).
    std::unique_ptr<QProcess> startTraced(const QString& injection, const QStringList& options = {},
                                          const QString& program = QString::fromUtf8(ZOR_PROGRAM))
    {
        return start(QStringLiteral("strace"),
                     QStringList{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null")} + options +
                         QStringList{QStringLiteral("-e"), injection, program});
    }

    // strace leaves the program running when it is killed itself, so the program goes first.
    // Standard error without the line that says at start that this machine runs no journal.
    static QByteArray errorsBeyondTheSystemLog(QProcess& process)
    {
        QByteArray errors = process.readAllStandardError();
        const QByteArray noJournal = "zorScheduler: events are not sent to the system log: ";
        if (errors.startsWith(noJournal))
            errors.remove(0, errors.indexOf('\n') + 1);
        return errors;
    }

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    static void killTraced(QProcess& strace)
    {
#ifdef Q_OS_UNIX
        const QByteArray children =
            readFile(QStringLiteral("/proc/%1/task/%1/children").arg(strace.processId())).trimmed();
        for (const QByteArray& child : children.split(' '))
            if (child.toInt() > 0)
                ::kill(child.toInt(), SIGKILL);
#endif
        strace.kill();
        strace.waitForFinished(10000);
    }

    static bool endedAtOnceAndSilently(const QProcess& process)
    {
        return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    // Waits until the program runs as the first instance: it holds its lock. The program handles termination
    // signals from its first line, and acts on them once its start-up is done, so from here on SIGTERM ends it
    // in order, with the start-up's pane lines archived.
    static bool runsAsFirst(const ProgramTest& test, const QString& baseName, const QProcess& process)
    {
        return test.lockHolder(baseName) == process.processId() && process.state() == QProcess::Running;
    }

    // Ends the program: on POSIX with SIGTERM, in order. On Windows a polite end would be a close request,
    // which the close question holds up, so the program is killed there.
    static bool stop(QProcess& process)
    {
#ifdef Q_OS_WIN
        process.kill();
        return process.waitForFinished(10000);
#else
        process.terminate();
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
#endif
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_programs.isValid());
    }

    void init()
    {
        StoredSettings::clear(QStringLiteral("zorScheduler"));
        // What a test that failed half-way left in the lock's place must not decide the next one, nor the lines
        // that a killed program left in its journal.
        QDir(lockFile(QStringLiteral("zorScheduler"))).removeRecursively();
        QFile::remove(lockFile(QStringLiteral("zorScheduler")));
        QDir(stateFolder()).removeRecursively();
    }

    void inProcess_data()
    {
        QTest::addColumn<QString>("secondName");
        QTest::addColumn<bool>("firstReleased");
        QTest::addColumn<bool>("secondIsOnly");
        QTest::addColumn<bool>("spoiled");

        QTest::newRow("a second lock of the same name is refused")
            << QStringLiteral("zorScheduler") << false << false << false;
        QTest::newRow("another executable name has a lock of its own")
            << QStringLiteral("zorScheduler.old") << false << true << false;
        QTest::newRow("a released lock can be taken again") << QStringLiteral("zorScheduler") << true << true << false;
        // The file's content means nothing: a holder whose file was emptied under it still holds. (Windows lets
        // nobody write to a held lock.)
#ifdef Q_OS_UNIX
        QTest::newRow("a lock emptied under its holder") << QStringLiteral("zorScheduler") << false << false << true;
#endif
    }

    void inProcess()
    {
        QFETCH(QString, secondName);
        QFETCH(bool, firstReleased);
        QFETCH(bool, secondIsOnly);
        QFETCH(bool, spoiled);

        auto first = std::make_unique<SingleInstance>(lockDirectory(), QStringLiteral("zorScheduler"));
        QVERIFY(first->isOnlyInstance());
        if (firstReleased)
            first.reset();
        if (spoiled)
            QVERIFY(QFile(first->lockFilePath()).open(QIODevice::WriteOnly | QIODevice::Truncate));
        const SingleInstance second(lockDirectory(), secondName);
        QCOMPARE(second.isOnlyInstance(), secondIsOnly);
        if (first)
            QVERIFY(first->isOnlyInstance());
    }

    // Whatever is in the lock's place is never read and never deleted. A regular file, whatever it holds (what
    // a crash or an older version left), is locked; anything else means no lock, said, and the scheduler runs.
    void whatIsInTheLocksPlace_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("locked");

        QTest::newRow("an empty file") << QStringLiteral("file") << QByteArray() << true;
        QTest::newRow("garbage") << QStringLiteral("file") << QByteArray("\x01\xff garbage\n\n") << true;
        QTest::newRow("an older version's lock naming a process that is gone")
            << QStringLiteral("file") << QByteArray("2147483646\nzorScheduler\nhost\n") << true;
        QTest::newRow("an empty folder") << QStringLiteral("folder") << QByteArray() << false;
        QTest::newRow("a folder with a file in it") << QStringLiteral("folder") << QByteArray("kept") << false;
        QTest::newRow("no folder to put it in") << QStringLiteral("missing") << QByteArray() << false;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO") << QStringLiteral("fifo") << QByteArray() << false;
        QTest::newRow("a link to a file") << QStringLiteral("link") << QByteArray("kept") << false;
#endif
    }

    void whatIsInTheLocksPlace()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, locked);
        const QTemporaryDir elsewhere;
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        const QString keptFile = kind == QLatin1String("link") ? elsewhere.filePath(QStringLiteral("target"))
                                                               : lock + QStringLiteral("/inside");
        if (kind == QLatin1String("fifo"))
            QVERIFY(makeFifo(lock));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(lock));
        else if (kind == QLatin1String("link"))
            QVERIFY(QFile::link(keptFile, lock));
        QFile file(kind == QLatin1String("file") ? lock : keptFile);
        if (kind == QLatin1String("file") || !content.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const QString directory =
            kind == QLatin1String("missing") ? elsewhere.filePath(QStringLiteral("missing")) : lockDirectory();
        if (!locked)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^The single-instance lock .* is not in use: .*\\. "
                                                                   "A second scheduler started meanwhile would run")));

        const SingleInstance instance(directory, QStringLiteral("zorScheduler"));
        QVERIFY(instance.isOnlyInstance());
        QCOMPARE(instance.problem().isEmpty(), locked);
        if (locked) {
            QVERIFY(lockIsHeld(QStringLiteral("zorScheduler")));
            QCOMPARE(lockHolder(QStringLiteral("zorScheduler")), QCoreApplication::applicationPid());
        } else {
            const QFileInfo place(lock);
            QCOMPARE(place.exists() || place.isSymLink(), kind != QLatin1String("missing"));
            QCOMPARE(place.isDir(), kind == QLatin1String("folder"));
            QCOMPARE(place.isSymLink(), kind == QLatin1String("link"));
            QCOMPARE(readFile(keptFile), content);
        }
    }

    // Files damaged as a crash or an administrator could leave them do not stop, hold or silence the real
    // program: it starts, says what it found on standard error, and ends in order on SIGTERM. Nor does a
    // standard error that nobody reads any more, as when the terminal's pipe has lost its reader.
    void damagedFilesDoNotHoldTheProgram_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<bool>("unread");
        const QByteArray noLock("The single-instance lock ");
        QTest::newRow("a garbage lock") << QStringLiteral("garbage") << QByteArray() << false;
        QTest::newRow("a folder in the lock's place") << QStringLiteral("folder") << noLock << false;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO in the lock's place") << QStringLiteral("fifo") << noLock << false;
        QTest::newRow("a folder with a file in it in the lock's place, said to a pipe nobody reads")
            << QStringLiteral("full folder") << noLock << true;
        QTest::newRow("a FIFO where the settings are kept")
            << QStringLiteral("settings") << QByteArray("cannot be read (it is not a regular file)") << false;
#endif
    }

    void damagedFilesDoNotHoldTheProgram()
    {
        QFETCH(QString, damage);
        QFETCH(QByteArray, said);
        QFETCH(bool, unread);
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        if (damage == QLatin1String("garbage")) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("garbage");
        } else if (damage.endsWith(QLatin1String("folder"))) {
            QVERIFY(QDir().mkdir(lock));
            if (damage == QLatin1String("full folder"))
                QVERIFY(QFile(lock + QStringLiteral("/inside")).open(QIODevice::WriteOnly));
        } else {
            QVERIFY(makeFifo(
                damage == QLatin1String("fifo") ? lock : StoredSettings::location(QStringLiteral("zorScheduler"))));
        }
        std::function<void()> inChild;
#ifdef Q_OS_UNIX
        int unreadPipe[2] = {-1, -1};
        if (unread) {
            QVERIFY(::pipe(unreadPipe) == 0);
            ::close(unreadPipe[0]);
            inChild = [&unreadPipe] { ::dup2(unreadPipe[1], STDERR_FILENO); };
        }
        const auto closeUnread = qScopeGuard([&unreadPipe] { ::close(unreadPipe[1]); });
#endif

        const auto scheduler = start(QString::fromUtf8(ZOR_PROGRAM), {}, inChild);
        if (unread) {
            // Past the warning: the settings come after the lock.
            QTRY_VERIFY_WITH_TIMEOUT(storedSettings().contains(QStringLiteral("TransferPersonInterval")), 10000);
            QCOMPARE(scheduler->state(), QProcess::Running);
        } else if (said.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        } else {
            QByteArray errors;
            QTRY_VERIFY_WITH_TIMEOUT((errors += scheduler->readAllStandardError()).contains(said), 10000);
        }
        QVERIFY(stop(*scheduler));
        if (said.isEmpty())
            QVERIFY(!scheduler->readAllStandardError().contains("single-instance"));
        // Nothing in the lock's place was deleted.
        const QFileInfo place(lock);
        QVERIFY(place.exists());
        QCOMPARE(place.isDir(), damage.endsWith(QLatin1String("folder")));
        QCOMPARE(place.isFile(), damage != QLatin1String("fifo") && !place.isDir());
    }

    void aSecondProcessEndsAtOnceAndLeavesTheFirstAlone()
    {
        const QString name = QStringLiteral("zorScheduler");
        const auto first = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *first), 10000);
        // The first start puts its defaults on record, the last key last; a second one that read or wrote the
        // store would do so again.
        QTRY_VERIFY_WITH_TIMEOUT(storedSettings().contains(QStringLiteral("TransferPersonInterval")), 10000);
        StoredSettings::clear(QStringLiteral("zorScheduler"));

        QElapsedTimer clock;
        clock.start();
        const auto second = start();
        QVERIFY(second->waitForFinished(10000));
        qInfo("The second instance ended after %lld ms", clock.elapsed());
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(second->readAllStandardOutput(), QByteArray());

        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(lockHolder(name), first->processId());
        QVERIFY(storedSettings().isEmpty());

        // A termination signal ends the program in order, without a question, and gives up the lock.
        QVERIFY(stop(*first));
        QVERIFY(!lockIsHeld(name));
    }

    // A second start in the moment between the first one's making its lock file and locking it: the file is
    // there, empty and unlocked. Exactly one of the two runs on, however the moment falls.
    void aSecondStartInTheMomentOfTheFirstOnesLock()
    {
        SKIP_WITHOUT_STRACE();
        const QString name = QStringLiteral("zorScheduler");
        const auto first = startTraced(QStringLiteral("inject=flock:delay_enter=2000000:when=1"));
        const auto cleanUp = qScopeGuard([&first] { killTraced(*first); });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockFile(name)), 10000);
        const auto second = start();

        QTRY_VERIFY_WITH_TIMEOUT(first->state() == QProcess::NotRunning || second->state() == QProcess::NotRunning,
                                 10000);
        QProcess& ended = first->state() == QProcess::NotRunning ? *first : *second;
        QProcess& runs = &ended == first.get() ? *second : *first;
        QVERIFY(endedAtOnceAndSilently(ended));
        QCOMPARE(runs.state(), QProcess::Running);
        QVERIFY(lockIsHeld(name));
        // The holder is strace's program, or the plain second start.
#ifdef Q_OS_UNIX
        ::kill(pid_t(lockHolder(name)), SIGTERM);
#endif
        QVERIFY(runs.waitForFinished(10000));
        QVERIFY(endedAtOnceAndSilently(runs));
    }

    void ofSimultaneousStartsOneRuns()
    {
        const QString name = QStringLiteral("zorScheduler");
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 5; ++i)
            starts.push_back(start());
        const auto running = [&starts] {
            return std::count_if(starts.begin(), starts.end(),
                                 [](const auto& process) { return process->state() != QProcess::NotRunning; });
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 60000);
        for (const auto& process : starts) {
            if (process->state() == QProcess::NotRunning)
                QVERIFY(endedAtOnceAndSilently(*process));
            else
                QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *process), 10000);
        }
        // Long enough for a second survivor's start-up to have ended it.
        QTest::qWait(1000);
        QCOMPARE(running(), 1);
        for (const auto& process : starts)
            if (process->state() == QProcess::Running)
                QVERIFY(stop(*process));
    }

    // strace sends the signal at a system call: one that the application object makes as it is built, and
    // the lock's. Until the window exists nothing could act on the signal; it waits, and is acted on then.
    void aTerminationSignalInStartUpEndsTheProgramInOrder_data()
    {
        QTest::addColumn<QString>("injection");
        QTest::newRow("SIGTERM as the application object is made") << QStringLiteral("eventfd2:signal=TERM");
        QTest::newRow("SIGTERM at the lock") << QStringLiteral("flock:signal=TERM");
        QTest::newRow("SIGINT at the lock") << QStringLiteral("flock:signal=INT");
        QTest::newRow("SIGHUP at the lock") << QStringLiteral("flock:signal=HUP");
    }

    void aTerminationSignalInStartUpEndsTheProgramInOrder()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
        SKIP_WITHOUT_STRACE();
        QFETCH(QString, injection);
        const auto traced = startTraced(QStringLiteral("inject=%1:when=1").arg(injection));
        const auto cleanUp = qScopeGuard([&traced] { killTraced(*traced); });
        QVERIFY(traced->waitForFinished(20000));
        QVERIFY(endedAtOnceAndSilently(*traced));
    }

    // A signal that comes before main() reaches no program; here it is held back, as by a parent that started
    // the program with these signals blocked, and the program takes it as soon as it can.
    void aBurstOfEarlySignalsNeverEndsTheProgramByDefault()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
#ifdef Q_OS_UNIX
        const auto blocked = [] {
            sigset_t terminating;
            sigemptyset(&terminating);
            sigaddset(&terminating, SIGTERM);
            sigprocmask(SIG_BLOCK, &terminating, nullptr);
        };
        for (int i = 0; i < 20; ++i) {
            const auto scheduler = start(QString::fromUtf8(ZOR_PROGRAM), {}, blocked);
            const int after = QRandomGenerator::global()->bounded(50);
            QThread::msleep(after);
            ::kill(pid_t(scheduler->processId()), SIGTERM);
            QVERIFY(scheduler->waitForFinished(10000));
            QVERIFY2(endedAtOnceAndSilently(*scheduler), qPrintable(QStringLiteral("SIGTERM after %1 ms").arg(after)));
        }
#endif
    }

    void aLockLeftByAKilledProcessDoesNotBlockANewStart()
    {
        const QString name = QStringLiteral("zorScheduler");
        const auto killed = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *killed), 10000);
        killed->kill();
        QVERIFY(killed->waitForFinished(10000));
        QVERIFY(QFile::exists(lockFile(name)));

        const auto next = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, name, *next), 10000);
        QVERIFY(stop(*next));
    }

    void theLinesSinceTheLastArchiveAreArchivedWhenTheProgramEnds()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
        const QString program = programAlone(QStringLiteral("alone"));
        QVERIFY(!program.isEmpty());
        const QDir logs(QFileInfo(program).dir().filePath(QStringLiteral("Temp")));

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QVERIFY(logs.isEmpty());
        QVERIFY(stop(*scheduler));

        const QStringList files = logs.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(files.constFirst().startsWith(QLatin1String("zorScheduler-LOG-")));
        const QByteArray entry = readFile(logs.filePath(files.constFirst()));
        QVERIFY2(entry.contains("\t") && entry.contains(": Timer Started!\r\n"), entry.constData());
        QCOMPARE(errorsBeyondTheSystemLog(*scheduler), QByteArray());
    }

    // Where the day's file cannot be written as the program ends, the lines go to the user's state folder
    // with the bytes the day's file would have had, and standard error says so. A FIFO in the file's place
    // must not hold the program in open() either.
    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem_data()
    {
        QTest::addColumn<bool>("withTempFolder");
        QTest::newRow("no Temp folder") << false;
#ifdef Q_OS_UNIX
        QTest::newRow("a FIFO in the day's file's place") << true;
#endif
    }

    void theLinesGoToTheStateFolderWhenTheDailyFileCannotTakeThem()
    {
        SKIP_WITHOUT_TERMINATION_SIGNALS();
        QFETCH(bool, withTempFolder);
        const QString program = programAlone(QStringLiteral("without-%1").arg(withTempFolder), withTempFolder);
        QVERIFY(!program.isEmpty());
        const QDate today = QDate::currentDate();
        if (withTempFolder) {
            // Today's and, for a run across midnight, tomorrow's.
            for (const QDate& day : {today, today.addDays(1)}) {
                const QString name = QStringLiteral("Temp/zorScheduler-LOG-%1.log").arg(day.toString(Qt::ISODate));
                QVERIFY(makeFifo(QFileInfo(program).dir().filePath(name)));
            }
        }
        QDir(m_state.path()).removeRecursively();

        const auto scheduler = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *scheduler), 10000);
        QVERIFY(stop(*scheduler));

        const QDir fallback(m_state.filePath(QStringLiteral("zorScheduler")));
        const QStringList files = fallback.entryList({QStringLiteral("zorScheduler-LOG-*")}, QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString rescued = fallback.filePath(files.constFirst());
        const QByteArray entry = readFile(rescued);
        QVERIFY2(entry.contains("\t") && entry.endsWith(": Timer Started!\r\n\r\n"), entry.constData());
        const QByteArray errors = errorsBeyondTheSystemLog(*scheduler);
        QVERIFY2(errors.startsWith("zorScheduler: the log pane could not be archived to ") &&
                     errors.endsWith(QByteArray("; its lines went to " + QFile::encodeName(rescued) + '\n')),
                 errors.constData());
    }

    // A kill, a crash or a power cut: whatever the pane showed is archived at the next start, once.
    void aKillLosesNoLine()
    {
        const QString program = programAlone(QStringLiteral("killed"));
        QVERIFY(!program.isEmpty());
        const auto killed = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(journal()).contains(": Timer Started!"), 10000);
        killed->kill();
        QVERIFY(killed->waitForFinished(10000));
        QCOMPARE(dailyLogs(program), QByteArray());

        const auto next = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(dailyLogs(program).contains(": Timer Started!"), 10000);
        const QByteArray recovered = dailyLogs(program);
        QCOMPARE(recovered.count(": Timer Started!"), 1);
        QVERIFY2(recovered.contains("\t") && recovered.endsWith(": Timer Started!\r\n\r\n"), recovered.constData());
        QTRY_VERIFY_WITH_TIMEOUT(readFile(journal()).contains("1 line of the last run, from "), 10000);
        QVERIFY(stop(*next));
    }

    // Start-up archives what a killed run left, and is killed itself at each step of that archive: every line
    // reaches the day's file once. Each kill comes as the program enters a system call on one of the files.
    void everyStepOfTheArchiveAtStartIsSafe_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("file");
        QTest::newRow("killed before the archive is recorded") << u"rename"_qs << u"zorScheduler.archiving.new"_qs;
        QTest::newRow("killed before the entry is written") << u"write"_qs << u"daily"_qs;
        QTest::newRow("killed before the entry reaches the disk") << u"fdatasync"_qs << u"daily"_qs;
        QTest::newRow("killed before the journal is emptied") << u"ftruncate"_qs << u"zorScheduler.journal"_qs;
        QTest::newRow("killed before the record is removed") << u"unlink"_qs << u"zorScheduler.archiving"_qs;
    }

    void everyStepOfTheArchiveAtStartIsSafe()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, call);
        QFETCH(QString, file);
        SKIP_WITHOUT_STRACE();
        const QString program = programAlone(u"recovering-"_qs + call);
        QVERIFY(!program.isEmpty());
        const QByteArray lines = "12/6/26 9:00:05 AM: Timer Started!\r\n12/6/26 9:01:30 AM: Transfer Data !\r\n";
        QVERIFY(QDir().mkpath(stateFolder()));
        QFile journalFile(journal());
        QVERIFY(journalFile.open(QIODevice::WriteOnly) && journalFile.write(lines) == lines.size());
        journalFile.close();
        const QString path =
            file == u"daily"_qs
                ? QFileInfo(program).dir().filePath(u"Temp/zorScheduler-LOG-"_qs +
                                                    QDate::currentDate().toString(Qt::ISODate) + u".log"_qs)
                : QDir(stateFolder()).filePath(file);

        const auto killed = startTraced(u"inject="_qs + call + u":signal=SIGKILL:when=1"_qs, {u"-P"_qs, path}, program);
        const bool ended = killed->waitForFinished(20000);
        if (!ended)
            killTraced(*killed);
        QVERIFY(ended);
        QCOMPARE(killed->exitStatus(), QProcess::CrashExit);

        const auto next = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *next), 10000);
        QVERIFY(stop(*next));
        const QByteArray logs = dailyLogs(program);
        QCOMPARE(logs.count("9:00:05 AM: Timer Started!\r\n"), 1);
        QCOMPARE(logs.count("9:01:30 AM: Transfer Data !\r\n"), 1);
#else
        QSKIP("The kills come from strace, which Windows does not have");
#endif
    }

    // One I/O error in the archive that start-up makes of a killed run's journal: every line still reaches a log
    // file once, or stays where standard error says. The day's file's flush fails, and the entry leaves it for
    // the state folder; the journal cannot be read, and is set aside with its lines; or the day's file cannot
    // be read to tell whether a recorded entry landed, and nothing is written until the next start can tell.
    void anIoErrorInTheArchiveAtStartNeitherLosesNorDoublesALine_data()
    {
        QTest::addColumn<QString>("injection");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("entryRecordedAsWritten");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("the entry's flush fails")
            << u"fdatasync:error=EIO:when=1"_qs << u"daily"_qs << false << QByteArray();
        QTest::newRow("the journal cannot be read")
            << u"pread64:error=EIO:when=1+"_qs << u"zorScheduler.journal"_qs << false
            << QByteArray("could not be read (Input/output error): the last run's lines in it are not archived, "
                          "and stay in ");
        QTest::newRow("the day's file cannot be read to tell whether the entry landed")
            << u"openat:error=EIO:when=1+"_qs << u"daily"_qs << true << QByteArray("cannot be told now");
    }

    void anIoErrorInTheArchiveAtStartNeitherLosesNorDoublesALine()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, injection);
        QFETCH(QString, file);
        QFETCH(bool, entryRecordedAsWritten);
        QFETCH(QByteArray, said);
        SKIP_WITHOUT_STRACE();
        const QString program = programAlone(u"io-error-"_qs + QString::number(qHash(QTest::currentDataTag())));
        QVERIFY(!program.isEmpty());
        const QString daily = QFileInfo(program).dir().filePath(
            u"Temp/zorScheduler-LOG-"_qs + QDate::currentDate().toString(Qt::ISODate) + u".log"_qs);
        const QByteArray lines = "12/6/26 9:00:05 AM: Timer Started!\r\n12/6/26 9:01:30 AM: Transfer Data !\r\n";
        QVERIFY(QDir().mkpath(stateFolder()));
        QVERIFY(writeFile(journal(), lines));
        if (entryRecordedAsWritten) {
            // A run killed after its entry landed, before the journal was emptied.
            const std::string entry = "12/6/26 9:02:00 AM\t12/6/26 9:01:30 AM: Transfer Data !\r\n"
                                      "12/6/26 9:00:05 AM: Timer Started!\r\n\r\n";
            QVERIFY(writeFile(daily, QByteArray::fromStdString(entry)));
            const PendingArchive record{PendingArchive::Kind::Archive, daily.toStdString(), 0, entry};
            QVERIFY(writeFile(QDir(stateFolder()).filePath(u"zorScheduler.archiving"_qs),
                              QByteArray::fromStdString(pendingArchiveBytes(record))));
        }
        const QString path = file == u"daily"_qs ? daily : QDir(stateFolder()).filePath(file);

        const auto faulted = startTraced(u"inject="_qs + injection, {u"-P"_qs, path}, program);
        const auto cleanUp = qScopeGuard([&faulted] { killTraced(*faulted); });
        // Once it holds its lock, SIGTERM ends it in order after its start-up.
        QTRY_VERIFY_WITH_TIMEOUT(lockHolder(u"zorScheduler"_qs) > 0, 10000);
        ::kill(pid_t(lockHolder(u"zorScheduler"_qs)), SIGTERM);
        QVERIFY(faulted->waitForFinished(10000));
        const QByteArray errors = faulted->readAllStandardError();
        QVERIFY2(errors.contains(said), errors.constData());
        if (entryRecordedAsWritten)
            QCOMPARE(readFile(journal()), lines);

        const auto next = start(program);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *next), 10000);
        QVERIFY(stop(*next));
        // Every line once: in a log file, or in the file that standard error named.
        QByteArray kept = dailyLogs(program);
        for (const QString& name : QDir(stateFolder()).entryList(QDir::Files))
            if (name.startsWith(u"zorScheduler-LOG-"_qs) || errors.contains(QFile::encodeName(name)))
                kept += readFile(QDir(stateFolder()).filePath(name));
        QCOMPARE(kept.count("9:00:05 AM: Timer Started!\r\n"), 1);
        QCOMPARE(kept.count("9:01:30 AM: Transfer Data !\r\n"), 1);
#else
        QSKIP("The faults come from strace, which Windows does not have");
#endif
    }

    // A read of the settings store that fails once: the store is opened again and its choices hold (Auto Start
    // here); or QSettings' own read of it failed, and the store is left as it is, never overwritten by defaults.
    void aFailedReadOfTheSettingsStoreNeitherLosesNorOverwritesIt_data()
    {
        QTest::addColumn<QString>("injection");
        QTest::addColumn<bool>("autoStarted");
        QTest::newRow("its opening fails once") << u"openat:error=EIO:when=1"_qs << true;
        // The program's own look at the bytes reads twice (the bytes, then the end of the file); QSettings' read
        // is the third.
        QTest::newRow("QSettings' read of it fails") << u"read:error=EIO:when=3"_qs << false;
    }

    void aFailedReadOfTheSettingsStoreNeitherLosesNorOverwritesIt()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, injection);
        QFETCH(bool, autoStarted);
        SKIP_WITHOUT_STRACE();
        const QString program = programAlone(u"settings-"_qs + QString::number(qHash(QTest::currentDataTag())));
        QVERIFY(!program.isEmpty());
        // All ten choices, so that nothing missing is written back with its default.
        QMap<QString, QString> stored{{u"AutoStart"_qs, u"1"_qs},
                                      {u"TransferDataInterval"_qs, u"4"_qs},
                                      {u"SMSStartTime"_qs, u"1"_qs},
                                      { u"TransferPersonInterval"_qs,
                                        u"3"_qs }};
        for (const QString& job : {u"CleanBackupDir"_qs, u"ProcessInternetOrders"_qs, u"RunUpdateManager"_qs,
                                   u"SendSms"_qs, u"TransferData"_qs, u"TransferPerson"_qs})
            stored.insert(job, u"0"_qs);
        QVERIFY(StoredSettings::store(u"zorScheduler"_qs, stored));
        const auto faulted =
            startTraced(u"inject="_qs + injection, {u"-P"_qs, StoredSettings::location(u"zorScheduler"_qs)}, program);
        const auto cleanUp = qScopeGuard([&faulted] { killTraced(*faulted); });
        QTRY_VERIFY_WITH_TIMEOUT(lockHolder(u"zorScheduler"_qs) > 0, 10000);
        ::kill(pid_t(lockHolder(u"zorScheduler"_qs)), SIGTERM);
        QVERIFY(faulted->waitForFinished(10000));
        QCOMPARE(storedSettings(), stored);
        const QByteArray logs = dailyLogs(program);
        QCOMPARE(logs.contains(": Timer Started!"), autoStarted);
        if (!autoStarted)
            QVERIFY2(logs.contains("its values could not be read"), logs.constData());
#else
        QSKIP("The faults come from strace, which Windows does not have");
#endif
    }

    // The termination handlers are in place before the libraries' constructors run: a SIGTERM raised, not
    // blocked, by a library's constructor ends the program in order once it can, never by the default action.
    void aSignalWhileTheLibrariesAreMadeEndsTheProgramInOrder()
    {
#ifdef Q_OS_UNIX
        QProcess scheduler;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        environment.insert(u"XDG_RUNTIME_DIR"_qs, m_runtime.path());
        environment.insert(u"XDG_STATE_HOME"_qs, m_state.path());
        environment.insert(u"LD_PRELOAD"_qs, QStringLiteral(ZOR_EARLY_SIGNAL));
        // AddressSanitizer wants its own library first; the one preloaded here uses none of it.
        environment.insert(u"ASAN_OPTIONS"_qs, environment.value(u"ASAN_OPTIONS"_qs) + u":verify_asan_link_order=0"_qs);
        scheduler.setProcessEnvironment(environment);
        scheduler.setChildProcessModifier([] {
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
        });
        scheduler.start(QString::fromUtf8(ZOR_PROGRAM), {});
        QVERIFY(scheduler.waitForFinished(20000));
        QVERIFY2(endedAtOnceAndSilently(scheduler),
                 qPrintable(QStringLiteral("ended by signal %1, or with code %1").arg(scheduler.exitCode())));
#else
        QSKIP("Termination signals and preloaded libraries are POSIX");
#endif
    }

    void aCopyUnderAnotherNameRunsBeside()
    {
        const QString copy = m_programs.filePath(QStringLiteral("zorSchedulerCopy") + executableSuffix());
        QVERIFY(QFile::copy(QString::fromUtf8(ZOR_PROGRAM), copy));

        const auto original = start();
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorScheduler"), *original), 10000);
        const auto beside = start(copy);
        QTRY_VERIFY_WITH_TIMEOUT(runsAsFirst(*this, QStringLiteral("zorSchedulerCopy"), *beside), 10000);
        QCOMPARE(original->state(), QProcess::Running);

        QVERIFY(stop(*original));
        QVERIFY(stop(*beside));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "ProgramTest.moc"
