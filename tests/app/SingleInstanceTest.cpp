#include "RealProgramTest.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>

// The other user of the cases that need two.
constexpr uid_t kNobody = 65534;
#endif

class SingleInstanceTest : public RealProgramTest
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareFolders(); }

    void init() { clearWhatTheLastCaseLeft(); }

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
        QTest::newRow("another user's file, held by its owner")
            << QStringLiteral("foreign") << QByteArray("1\n") << false;
#endif
    }

    void whatIsInTheLocksPlace()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, locked);
        const QTemporaryDir elsewhere;
        const QString lock = lockFile(QStringLiteral("zorScheduler"));
        const bool foreign = kind == QLatin1String("foreign");
        const QString keptFile = kind == QLatin1String("link") ? elsewhere.filePath(QStringLiteral("target"))
                                 : foreign                     ? lock
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
#ifdef Q_OS_UNIX
        // The other user's hold is this process's own second open: flock() makes the two conflict all the same.
        const int othersHold = foreign ? ::open(QFile::encodeName(lock).constData(), O_RDONLY | O_CLOEXEC) : -1;
        const auto letGo = qScopeGuard([othersHold] { ::close(othersHold); });
        if (foreign && ::chown(QFile::encodeName(lock).constData(), kNobody, kNobody) != 0)
            QSKIP("Only root can give a file to another user (nobody, uid 65534)");
        if (foreign)
            QCOMPARE(::flock(othersHold, LOCK_EX | LOCK_NB), 0);
#endif
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
        // Something in the lock's place sends it to the user's state folder: a second start still ends at once.
        const auto second = start();
        QVERIFY(second->waitForFinished(10000) && endedAtOnceAndSilently(*second));
        QVERIFY(stop(*scheduler));
        if (said.isEmpty())
            QVERIFY(!scheduler->readAllStandardError().contains("single-instance"));
        // Nothing in the lock's place was deleted.
        const QFileInfo place(lock);
        QVERIFY(place.exists());
        QCOMPARE(place.isDir(), damage.endsWith(QLatin1String("folder")));
        QCOMPARE(place.isFile(), damage != QLatin1String("fifo") && !place.isDir());
    }

    // Another user who can write to the shared temporary folder neither holds this user's lock nor sends it
    // there: it lies in the user's state folder, 0600, and still ends a second start.
    void anotherUserNeitherHoldsNorMovesTheLock_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::newRow("a runtime folder that every user may write to") << QStringLiteral("shared");
        QTest::newRow("no runtime folder, and another user's runtime-root in the shared temporary folder") << QString();
    }

    void anotherUserNeitherHoldsNorMovesTheLock()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, runtime);
        if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("Another user is needed: the suite acts as nobody (uid 65534) through setpriv when run as root");
        const QTemporaryDir shared;
        const QByteArray runtimeRoot = QFile::encodeName(shared.filePath(QStringLiteral("runtime-root")));
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0 &&
                ::mkdir(runtimeRoot.constData(), 0700) == 0 && ::chown(runtimeRoot.constData(), kNobody, kNobody) == 0);
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.isNull() ? runtime : shared.path());
        m_environment.insert(QStringLiteral("TMPDIR"), shared.path());
        const QString planted = shared.filePath(SingleInstance::lockFileName(QStringLiteral("zorScheduler")));
        QProcess other;
        other.startCommand(QStringLiteral("setpriv --reuid=65534 --regid=65534 --clear-groups flock \"%1\" sh -c "
                                          "\"echo held; exec sleep 600\"")
                               .arg(planted));
        const auto endOther = qScopeGuard([&other] {
            other.kill();
            other.waitForFinished(10000);
        });
        QVERIFY(other.waitForReadyRead(10000));

        const auto scheduler = start();
        const QString ownLock = m_state.filePath(QStringLiteral("zorScheduler/zorScheduler.lock"));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(ownLock).split('\n').constFirst().toLongLong(), scheduler->processId(),
                                  10000);
        QCOMPARE(modeOf(ownLock), 0600);
        const auto second = start();
        QVERIFY(second->waitForFinished(10000) && endedAtOnceAndSilently(*second));
        QVERIFY(stop(*scheduler));
#else
        QSKIP("Users and modes of the POSIX kind");
#endif
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

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
