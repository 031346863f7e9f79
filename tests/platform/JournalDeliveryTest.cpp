#include "platform/SystemLog.h"
#include "scheduler/ControlValues.h"
#include "support/TestWindow.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// The events as the journal receives them: the real program and the real window write through libsystemd to
// /run/systemd/journal/socket, which in this suite's own mount namespace is a socket the suite reads.

namespace {

// Why this process has no journal socket of its own; empty once it has.
QString notIsolated;

// Before any thread is made, which unshare() requires: a mount namespace of the process's own, with an
// empty folder where journald keeps its socket. Needs root; the children (the stand-ins, the program) share it.
void isolateJournal()
{
    if (unshare(CLONE_NEWNS) != 0) {
        notIsolated = QStringLiteral("no mount namespace of its own (%1); run as root")
                          .arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    const char* const place = access("/run/systemd", F_OK) == 0 ? "/run/systemd" : "/run";
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", place, "tmpfs", 0, "mode=0755") != 0 || (mkdir("/run/systemd", 0755) != 0 && errno != EEXIST) ||
        mkdir("/run/systemd/journal", 0755) != 0)
        notIsolated =
            QStringLiteral("no private /run/systemd/journal (%1)").arg(QString::fromLocal8Bit(strerror(errno)));
}

using Fields = QMap<QByteArray, QByteArray>;

// journald's native protocol, "NAME=value" lines; a value with a line end would come in another form, which
// none of the program's values has.
Fields parseDatagram(const QByteArray& datagram)
{
    Fields fields;
    for (const QByteArray& line : datagram.split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0)
            fields.insert(line.left(equals), line.mid(equals + 1));
    }
    return fields;
}

} // namespace

class JournalDeliveryTest : public QObject
{
    Q_OBJECT

private:
    int m_socket = -1;
    QList<Fields> m_events;

    // The events received so far and those waiting on the socket.
    const QList<Fields>& events()
    {
        char buffer[65536];
        for (;;) {
            const ssize_t size = recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT);
            if (size < 0)
                return m_events;
            m_events.append(parseDatagram(QByteArray(buffer, static_cast<int>(size))));
        }
    }

    // The first event of the id received from the index on; an empty one when there is none yet.
    Fields event(SystemEventId id, int from = 0)
    {
        const QByteArray number = QByteArray::number(static_cast<int>(id));
        const QList<Fields>& all = events();
        for (int i = from; i < all.size(); ++i) {
            if (all.at(i).value("EVENT_ID") == number)
                return all.at(i);
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        if (!notIsolated.isEmpty())
            QSKIP(qPrintable(notIsolated));
        m_socket = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, "/run/systemd/journal/socket");
        QVERIFY(bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
        SystemLog::startProgramLog("zorScheduler", std::cerr);
    }

    void cleanupTestCase()
    {
        SystemLog::finishProgramLog(std::chrono::seconds(1));
        if (m_socket >= 0)
            close(m_socket);
    }

    // A job's start, and the end of what it started, or why it did not start; a start while the last one still
    // runs is said first.
    void aJobsStartAndEnd_data()
    {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<bool>("programThere");
        QTest::addColumn<int>("lastRunMinutes");
        QTest::addColumn<int>("endId");
        QTest::addColumn<QByteArray>("endPriority");
        QTest::newRow("ends with exit code 3")
            << QByteArray("3") << true << 0 << int(SystemEventId::JobEndedWithError) << QByteArray("3");
        QTest::newRow("ends well, the last start still running")
            << QByteArray("0") << true << 25 << int(SystemEventId::JobEnded) << QByteArray("6");
        QTest::newRow("no program to start")
            << QByteArray("0") << false << 0 << int(SystemEventId::JobStartFailed) << QByteArray("3");
    }

    void aJobsStartAndEnd()
    {
        QFETCH(QByteArray, exitCode);
        QFETCH(bool, programThere);
        QFETCH(int, lastRunMinutes);
        QFETCH(int, endId);
        QFETCH(QByteArray, endPriority);

        TestWindow test;
        test.platform.shell.startsForReal = true;
        const QString program = test.platform.path(QStringLiteral("Velmora.exe"));
        if (programThere)
            QVERIFY(QFile::copy(qEnvironmentVariable("ZOR_TESTS_BIN") + QStringLiteral("/zor_standin"), program));
        if (lastRunMinutes > 0) {
            const QDateTime started = test.platform.clock->now().addSecs(-60 * lastRunMinutes);
            test.window().runningJobs().add({JobRow::ProcessInternetOrders, 4242, started});
        }
        qputenv("ZOR_STANDIN_EXIT_CODE", exitCode);
        const int from = static_cast<int>(events().size());
        jobBox(test.window(), JobRow::ProcessInternetOrders)->setValue(CheckBoxValue::Checked);
        test.window().tmrScheduler_Timer();

        QTRY_VERIFY(!event(SystemEventId(endId), from).isEmpty());
        const Fields start = event(programThere ? SystemEventId::JobStarted : SystemEventId::Note, from);
        QCOMPARE(start.value("MESSAGE"), QByteArray("Process Internet Orders!"));
        QCOMPARE(start.value("SYSLOG_IDENTIFIER"), QByteArray("zorScheduler"));
        QCOMPARE(start.value("JOB"), QByteArray("ProcessInternetOrders"));
        QCOMPARE(start.value("PROGRAM"), QFile::encodeName(program));
        QCOMPARE(start.value("PARAMETERS"), QByteArray(";;;;;;;;;;;;;;;True"));
        QCOMPARE(start.value("PRIORITY"), QByteArray("6"));
        const Fields end = event(SystemEventId(endId), from);
        QCOMPARE(end.value("PRIORITY"), endPriority);
        QCOMPARE(end.value("JOB"), QByteArray("ProcessInternetOrders"));
        const Fields warning = event(SystemEventId::JobStillRunning, from);
        QCOMPARE(warning.value("RUN_TIME_MS"), lastRunMinutes ? QByteArray::number(lastRunMinutes * 60000) : "");
        if (!programThere) {
            QCOMPARE(end.value("MESSAGE"), "Start failed: File not found (53) " + QFile::encodeName(program));
            return;
        }
        QVERIFY(start.value("PROCESS_ID").toLongLong() > 0);
        QCOMPARE(end.value("PROCESS_ID"), start.value("PROCESS_ID"));
        QCOMPARE(end.value("EXIT_CODE"), exitCode);
        QVERIFY2(end.value("MESSAGE").contains(QByteArray(" ended with exit code " + exitCode)),
                 end.value("MESSAGE").constData());
    }

    // The real program says who it is and where, and how it ended.
    void theProgramsOwnStartAndEnd()
    {
        QTemporaryDir state;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(state.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        QProcess scheduler;
        const int from = static_cast<int>(events().size());
        scheduler.start(QStringLiteral(ZOR_PROGRAM), {});
        QVERIFY(scheduler.waitForStarted());

        QTRY_VERIFY_WITH_TIMEOUT(!event(SystemEventId::ProgramStarted, from).isEmpty(), 10000);
        const Fields started = event(SystemEventId::ProgramStarted, from);
        QVERIFY(!started.value("VERSION").isEmpty());
        QCOMPARE(started.value("FOLDER"), QFile::encodeName(QFileInfo(QStringLiteral(ZOR_PROGRAM)).absolutePath()));
        scheduler.terminate();
        QVERIFY(scheduler.waitForFinished(10000));
        QTRY_VERIFY(!event(SystemEventId::ProgramEnded, from).isEmpty());
        QCOMPARE(event(SystemEventId::ProgramEnded, from).value("ENDED"), QByteArray("signal"));
        QVERIFY2(!scheduler.readAllStandardError().contains("system log"), "a journal that runs is no problem");
    }
};

int main(int argc, char* argv[])
{
    isolateJournal();
    QApplication application(argc, argv);
    JournalDeliveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "JournalDeliveryTest.moc"
