#include "RealProgramTest.h"

#include <QtTest>

class TerminationSignalsTest : public RealProgramTest
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareFolders(); }

    void init() { clearWhatTheLastCaseLeft(); }

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
};

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "TerminationSignalsTest.moc"
